// The single-instance marker on Windows: the file "running", opened with no
// sharing at all, so that while one instance holds it no other process can
// open it or delete it.
#include "ports/instance_lock.h"

#include <windows.h>

#include <iterator>

namespace skyvigil {

namespace {

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// An instance that is ending has marked its marker for deletion; for that
// moment the file refuses every opener.
constexpr DWORD kDeniedRetryDelaysMs[] = {10, 20, 40, 80};

}  // namespace

InstanceLock::~InstanceLock() {
  if (handle_ != kNoHandle)
    ::CloseHandle(AsHandle(handle_));
}

InstanceLock::Outcome InstanceLock::Acquire(const std::filesystem::path& marker) {
  for (std::size_t attempt = 0;; ++attempt) {
    const DWORD attributes = ::GetFileAttributesW(marker.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return Outcome::unguarded;
    // A marker that can't be taken over counts as held. Asked here because
    // an administrator (and root under wine) may open it all the same.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
      return Outcome::other_instance;

    // Created when absent, kept when a crashed instance left it. DELETE access
    // lets Release delete it through this handle.
    HANDLE file = ::CreateFileW(marker.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      path_ = marker;
      return Outcome::acquired;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION)
      return Outcome::other_instance;
    if (error != ERROR_ACCESS_DENIED)
      return Outcome::unguarded;  // e.g. the folder is gone
    if (attempt == std::size(kDeniedRetryDelaysMs)) {
      // A marker that can't be opened counts as held; a folder where none
      // can be made leaves this instance unguarded, and says so.
      return exists ? Outcome::other_instance : Outcome::folder_not_writable;
    }
    ::Sleep(kDeniedRetryDelaysMs[attempt]);
  }
}

void InstanceLock::Release() {
  if (handle_ == kNoHandle)
    return;
  HANDLE file = AsHandle(handle_);
  // Deleted when the handle closes, so no other instance can open the marker
  // between the close and the deletion and then lose it.
  FILE_DISPOSITION_INFO disposition{TRUE};
  const bool marked =
      ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
  ::CloseHandle(file);
  if (!marked)
    ::DeleteFileW(path_.c_str());
  handle_ = kNoHandle;
}

}  // namespace skyvigil
