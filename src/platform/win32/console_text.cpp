// The three places a GUI program's printed text can go, in order.
#include "platform/win32/console_text.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

std::string WithCarriageReturns(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

bool WriteToConsole(HANDLE console, const std::string& text) {
  const std::wstring wide = win32::Utf8ToUtf16(WithCarriageReturns(text));
  DWORD written = 0;
  return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) !=
         0;
}

// A handle the program was started with: a file, a pipe or a console.
bool WriteToStandardHandle(DWORD which, const std::string& text) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      GetFileType(handle) == FILE_TYPE_UNKNOWN)
    return false;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode))
    return WriteToConsole(handle, text);
  const std::string bytes = WithCarriageReturns(text);
  DWORD written = 0;
  return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
}

bool WriteToParentConsole(const std::string& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS))
    return false;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE)
    return false;
  // The prompt was drawn when the program started: the text begins on a line
  // of its own.
  const bool written = WriteToConsole(console, "\n" + text);
  CloseHandle(console);
  return written;
}

}  // namespace

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr)
    return arguments;
  for (int i = 1; i < count; ++i)
    arguments.push_back(win32::Utf16ToUtf8(argv[i]));
  LocalFree(argv);
  return arguments;
}

void ShowCommandLineText(const std::string& text, bool is_error) {
  if (text.empty())
    return;
  if (WriteToStandardHandle(is_error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text) ||
      WriteToParentConsole(text))
    return;
  MessageBoxW(nullptr, win32::Utf8ToUtf16(text).c_str(), L"Skyvigil",
              MB_OK | (is_error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace skyvigil
