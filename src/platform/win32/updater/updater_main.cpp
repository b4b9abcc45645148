// updater.exe: started by Skyvigil in its working folder after it downloaded
// Skyvigil.zip, or with /start from the sign-in Run entry.
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/win32/updater/win32_update_ops.h"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  // Windows starts the programs of the Run key in its own folder; Skyvigil
  // keeps its files in its working folder, so it is started in its own.
  if (std::wstring_view(command_line) == L"/start") {
    const std::filesystem::path folder = OwnFolder();
    return skyvigil::win32::StartIn(folder / L"Skyvigil.exe", folder) ? 0 : 1;
  }
  skyvigil::win32::Win32UpdateOps ops(std::filesystem::current_path());
  return static_cast<int>(skyvigil::update_tool::RunUpdate(ops));
}
