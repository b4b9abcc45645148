// Skyvigil's hand-over to updater.exe, through a copy of it in update.run.
#include "platform/win32/updater/updater_launch.h"

#include <windows.h>

#include <string>
#include <system_error>

#include "update_tool/replace_plan.h"

namespace skyvigil::win32 {

bool StartUpdaterFromCopy(const std::filesystem::path& updater) {
  const std::filesystem::path folder = updater.parent_path();
  const std::filesystem::path copy =
      folder / std::filesystem::path(update_tool::kRunFolder) / updater.filename();
  std::error_code ignored;
  std::filesystem::create_directories(copy.parent_path(), ignored);
  const bool copied = ::CopyFileW(updater.c_str(), copy.c_str(), FALSE) != 0;
  const std::filesystem::path program = copied ? copy : updater;
  // The copy learns the program folder from its working folder; the
  // updater waits for this process to end, not only for its marker.
  std::wstring command_line = L"\"" + program.wstring() + L"\" --wait-for " +
                              std::to_wstring(::GetCurrentProcessId()) +
                              (copied ? L" --from-copy" : L"");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  // Started held, so that the right to the foreground (ours: the user just
  // said Yes) is the updater's before it runs; it hands it on to the new
  // program, whose window then comes to the front.
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &started))
    return false;
  ::AllowSetForegroundWindow(started.dwProcessId);
  ::ResumeThread(started.hThread);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return true;
}

}  // namespace skyvigil::win32
