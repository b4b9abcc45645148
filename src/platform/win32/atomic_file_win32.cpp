// Win32 implementation of the atomic file replacement: a temporary file in the
// same folder, flushed, then moved over the old one in one step.
#include "ports/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string>

namespace skyvigil {

namespace {

// Virus scanners, indexers and backup programs open a freshly written file for
// a moment; the move over it waits for them this long at most, in all.
constexpr DWORD kRetryDelaysMs[] = {10, 20, 40, 80, 150, 300};

// Attributes of the replaced file that the new one keeps.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), part, &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// "<folder>\.<name>.<6 hex digits>", made new (never opened if it exists).
HANDLE CreateTemporaryBeside(const std::filesystem::path& path, DWORD attributes,
                             std::wstring& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned mix =
        (::GetCurrentProcessId() * 2654435761u) ^ ::GetTickCount() ^ (counter++ * 40503u);
    std::wstring suffix = L".";
    for (int digit = 0; digit < 6; ++digit, mix >>= 4)
      suffix += L"0123456789abcdef"[mix & 0xF];
    temp = (path.parent_path() / (L"." + path.filename().native() + suffix)).native();
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
      return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool MoveOver(const std::wstring& temp, const std::filesystem::path& path) {
  for (std::size_t attempt = 0;; ++attempt) {
    if (::MoveFileExW(temp.c_str(), path.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
        attempt == std::size(kRetryDelaysMs)) {
      return false;
    }
    ::Sleep(kRetryDelaysMs[attempt]);
  }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         FileAccess /*access*/) {
  // A file here takes the access rules of its folder; no mode bits to narrow.
  // A folder, or a file the user made read-only, stays as it is.
  const DWORD old_attributes = ::GetFileAttributesW(path.c_str());
  const bool exists = old_attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (old_attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return false;

  std::wstring temp;
  HANDLE file = CreateTemporaryBeside(path, exists ? old_attributes & kKeptAttributes : 0, temp);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  bool ok = WriteAll(file, bytes) && ::FlushFileBuffers(file);
  ok = ::CloseHandle(file) && ok;
  if (ok)
    ok = MoveOver(temp, path);
  if (!ok)
    ::DeleteFileW(temp.c_str());
  return ok;
}

bool KeepForOwnerOnly(const std::filesystem::path& /*path*/) {
  // The file takes the access rules of its folder: in the user's own folders
  // the user's alone already; no mode bits to narrow.
  return true;
}

}  // namespace skyvigil
