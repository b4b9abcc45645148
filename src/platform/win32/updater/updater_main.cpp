// updater.exe: started by Skyvigil after it downloaded Skyvigil.zip and its
// signature beside itself, or at its start to finish an update cut short.
// "--wait-for <process id>" names the Skyvigil to wait for. Skyvigil starts a
// copy of it in update.run with "--from-copy" in the program folder, which it
// installs into; started as updater.exe, it installs into its own folder,
// whatever the working folder is (a start at sign-in's is another).
#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/win32/updater/win32_update_ops.h"
#include "update_tool/update_steps.h"

namespace {

std::filesystem::path OwnFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (size < name.size()) {
      name.resize(size);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

// Opened at once, so that the process can't end and its id be reused unseen.
HANDLE ProgramToWaitFor(const wchar_t* command_line) {
  const wchar_t* option = std::wcsstr(command_line, L"--wait-for ");
  if (!option)
    return nullptr;
  const unsigned long id = std::wcstoul(option + 11, nullptr, 10);
  return id ? ::OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  // DLLs loaded by name come from System32 only, never from the folder being
  // updated. All its link-time imports are the system's known DLLs.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  std::error_code error;
  const std::filesystem::path folder = std::wcsstr(command_line, L"--from-copy")
                                           ? std::filesystem::current_path(error)
                                           : OwnFolder();
  skyvigil::win32::Win32UpdateOps ops(folder, ProgramToWaitFor(command_line));
  return static_cast<int>(
      skyvigil::update_tool::RunUpdateOrRestart(ops, skyvigil::BuiltInUpdateTrust()));
}
