// Thin Win32 calls behind the updater's port; the decisions are in update_tool/.
#include "platform/win32/updater/win32_update_ops.h"

#include <windows.h>

#include <system_error>

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

}  // namespace

std::filesystem::path Win32UpdateOps::Full(const std::string& name) const {
  return (folder_ / std::filesystem::path(Utf8ToUtf16(name))).make_preferred();
}

bool Win32UpdateOps::MarkerHeld() {
  // Skyvigil holds its marker with no sharing at all; an ending instance has
  // it marked for deletion, which refuses openers too.
  Handle marker(::CreateFileW(Full("running").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (marker.ok())
    return false;
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
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

bool Win32UpdateOps::WriteFile(const std::string& name, std::string_view bytes) {
  const std::filesystem::path path = Full(name);
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok())
    return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                     &wrote, nullptr) ||
        wrote == 0)
      return false;
    done += wrote;
  }
  // On the disk before the old file is moved away for it.
  return ::FlushFileBuffers(file.get()) != 0;
}

bool Win32UpdateOps::Exists(const std::string& name) {
  return ::GetFileAttributesW(Full(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32UpdateOps::Move(const std::string& from, const std::string& to) {
  // Only files: an archive's file must not carry away a folder of the user's.
  const DWORD attributes = ::GetFileAttributesW(Full(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  const std::filesystem::path target = Full(to);
  std::error_code ignored;
  std::filesystem::create_directories(target.parent_path(), ignored);
  return ::MoveFileExW(Full(from).c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32UpdateOps::RemoveFile(const std::string& name) {
  return ::DeleteFileW(Full(name).c_str()) != 0;
}

void Win32UpdateOps::RemoveFolder(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove_all(Full(name), ignored);
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
