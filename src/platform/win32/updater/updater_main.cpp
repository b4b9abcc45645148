// updater.exe: started by Skyvigil after it downloaded Skyvigil.zip beside
// itself; installs it into its own folder, whatever the working folder is.
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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Skyvigil starts us in its own working folder, which at a start at sign-in
  // is not the program's folder.
  skyvigil::win32::Win32UpdateOps ops(OwnFolder());
  return static_cast<int>(skyvigil::update_tool::RunUpdate(ops));
}
