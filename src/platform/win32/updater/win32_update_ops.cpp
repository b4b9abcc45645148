// Thin Win32 calls behind the updater's port; the decisions are in update_tool/.
#include "platform/win32/updater/win32_update_ops.h"

#include <windows.h>

#include <system_error>
#include <vector>

#include "platform/win32/utf16.h"

namespace skyvigil::win32 {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (ok())
      ::CloseHandle(handle_);
  }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class Win32FileWriter : public update_tool::FileWriter {
 public:
  explicit Win32FileWriter(HANDLE file) : file_(file) {}
  bool Write(std::string_view bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD wrote = 0;
      if (!::WriteFile(file_.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &wrote, nullptr) ||
          wrote == 0)
        return false;
      done += wrote;
    }
    return true;
  }
  // On the disk before the journal names it or an old file is replaced by it.
  bool Finish() override { return ::FlushFileBuffers(file_.get()) != 0; }

 private:
  Handle file_;
};

// Deletes `path` and what is below it. A junction or symbolic link is removed
// as a link: what it points to is not the updater's to delete.
void RemoveTree(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    std::vector<std::wstring> children;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring child = found.cFileName;
        if (child != L"." && child != L"..")
          children.push_back(path + L"\\" + child);
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
    for (const std::wstring& child : children)
      RemoveTree(child);
  }
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace

Win32UpdateOps::~Win32UpdateOps() {
  ReleaseMarker();
  if (program_)
    ::CloseHandle(program_);
}

std::filesystem::path Win32UpdateOps::Full(const std::string& name) const {
  return (folder_ / std::filesystem::path(Utf8ToUtf16(name))).make_preferred();
}

bool Win32UpdateOps::TakeMarker() {
  if (marker_taken_)
    return true;
  // Skyvigil's own single-instance marker: while it is ours, a Skyvigil
  // started by hand says it is already running instead of using the files.
  const InstanceLock::Outcome outcome = marker_.Acquire(Full("running"));
  marker_taken_ = outcome != InstanceLock::Outcome::other_instance;
  return marker_taken_;
}

void Win32UpdateOps::ReleaseMarker() {
  marker_.Release();
  marker_taken_ = false;
}

bool Win32UpdateOps::ProgramRunning() {
  return program_ && ::WaitForSingleObject(program_, 0) == WAIT_TIMEOUT;
}

void Win32UpdateOps::Pause(int milliseconds) {
  ::Sleep(static_cast<DWORD>(milliseconds));
}

std::optional<std::string> Win32UpdateOps::ReadFile(const std::string& name) {
  Handle file(::CreateFileW(Full(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file.ok() || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30))
    return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                    nullptr) ||
        got == 0)
      return std::nullopt;
    done += got;
  }
  return bytes;
}

std::unique_ptr<update_tool::FileWriter> Win32UpdateOps::CreateFile(const std::string& name) {
  const std::filesystem::path path = Full(name);
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<Win32FileWriter>(file);
}

bool Win32UpdateOps::Exists(const std::string& name) {
  return ::GetFileAttributesW(Full(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32UpdateOps::Replace(const std::string& from, const std::string& to) {
  // Only files: an archive's file must not carry away a folder of the user's.
  const DWORD attributes = ::GetFileAttributesW(Full(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  const std::filesystem::path target = Full(to);
  std::error_code ignored;
  std::filesystem::create_directories(target.parent_path(), ignored);
  // One rename: a running program's file is refused, never moved aside.
  return ::MoveFileExW(Full(from).c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32UpdateOps::RemoveFile(const std::string& name) {
  return ::DeleteFileW(Full(name).c_str()) != 0;
}

void Win32UpdateOps::RemoveFolder(const std::string& name) {
  // Not std::filesystem::remove_all, which under mingw follows junctions.
  RemoveTree(Full(name).wstring());
}

bool Win32UpdateOps::StartProgram(const std::string& name) {
  const std::filesystem::path program = Full(name);
  // CreateProcessW may write into the command line.
  std::wstring command_line = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // Held until it may take the foreground that Skyvigil handed to us: the
  // new program's window comes to the front and is announced.
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder_.c_str(), &startup, &process))
    return false;
  ::AllowSetForegroundWindow(process.dwProcessId);
  ::ResumeThread(process.hThread);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

void Win32UpdateOps::ShowError(const std::string& text) {
  ::MessageBoxW(nullptr, Utf8ToUtf16(text).c_str(), L"Skyvigil update",
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace skyvigil::win32
