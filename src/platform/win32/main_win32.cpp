// Program entry on Windows: the adapters the core's start-up asks for (an
// update cut short made whole, the services, the main window with its tray
// icon, the message loop).
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/announcement_history.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/core_gate.h"
#include "app/local_clock.h"
#include "app/start_program.h"
#include "app/startup_news.h"
#include "platform/win32/desktop/accessible_names.h"
#include "platform/win32/desktop/main_window.h"
#include "platform/win32/desktop/message_loop.h"
#include "platform/win32/desktop/win_ui.h"
#include "platform/win32/http/winhttp_client.h"
#include "platform/win32/process/autostart_win32.h"
#include "platform/win32/process/console_text.h"
#include "platform/win32/process/show_requests_win32.h"
#include "platform/win32/process/win_process.h"
#include "platform/win32/speech/windows_announcer.h"
#include "platform/win32/updater/updater_launch.h"
#include "platform/win32/updater/win32_update_ops.h"
#include "platform/win32/utf16.h"
#include "ports/instance_lock.h"
#include "ports/show_requests.h"
#include "state/app_state.h"
#include "update_tool/update_journal.h"

namespace skyvigil {
namespace {

// What lives as long as the run: the adapters, the App over them, the key watch.
struct Services {
  explicit Services(const AppPaths& paths, InstanceLock& marker, CoreGate& gate)
      : announcer(paths.cues_folder),
        news_hold(announcer),
        history(news_hold, clock),
        ui(gate, names),
        process(marker, [this] { announcer.Shutdown(); }),
        app{AppState{}, ui, history, http, clock, process, main_thread},
        // A key pressed in any of our windows stops our speech first, as it
        // stops the screen reader's; from the first dialog on.
        keys([this] { history.Silence(); }) {
    app.history = &history;
    app.news_hold = &news_hold;
  }

  AccessibleNames names;
  WindowsAnnouncer announcer;
  StartupNewsHold news_hold;  // the start's news, until the window was announced
  WinHttpClient http;
  LocalClock clock;
  AnnouncementHistory history;  // what the core speaks through
  WinUi ui;
  WinProcess process;
  WinMainThread main_thread;
  App app;
  KeyDownWatch keys;
};

int Run() {
  // The files live beside the program, which is also where Windows starts it
  // from Explorer; a start at login (from another folder) finds them there.
  const AppPaths paths = PathsIn(RunningProgram().parent_path());
  // The options come before any window: /speak asks the running copy.
  CommandLine line = ReadCommandLine(CommandLineArguments(), OptionStyle::windows);
  if (line.action == CommandLine::Action::speak)
    line = AskRunningInstanceToSpeak(paths.marker_file);
  if (line.action == CommandLine::Action::exit) {
    ShowCommandLineText(line.output, line.is_error);
    return line.exit_code;
  }
  CoreGate gate;
  InstanceLock marker;
  std::unique_ptr<Services> services;
  // Last made, first gone: no request reaches the gate after the loop ends.
  ShowRequestListener show_requests;

  DesktopStart desktop;
  desktop.alert = [&paths](const std::string& title, const std::string& text) {
    // A second start's box: the right to the foreground passes to the running
    // copy while the box is up, and again after it, which the user's answer
    // reached last.
    ShowAlertHandingOnForeground(win32::Utf8ToUtf16(text).c_str(),
                                 win32::Utf8ToUtf16(title).c_str(),
                                 RunningInstanceProcess(paths.marker_file));
  };
  desktop.finish_left_update = [&paths] {
    win32::Win32UpdateOps ops(paths.updater_program.parent_path(), nullptr);
    if (update_tool::FinishLeftUpdate(ops) != update_tool::LeftUpdate::hand_over)
      return true;
    // A file would not move (Skyvigil.exe, which this process runs from, or
    // one in use): the updater retries once this process has ended, then
    // starts the program again. Should it not start, this run goes on.
    return !win32::StartUpdaterFromCopy(paths.updater_program);
  };
  desktop.build_services = [&]() -> App& {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    services = std::make_unique<Services>(paths, marker, gate);
    return services->app;
  };
  desktop.build_main_window = [&](App&, const std::string& title) {
    // The small icon at the system's size and scale, for the title bar and the tray.
    HICON small_icon = nullptr;
    LoadIconMetric(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), LIM_SMALL,
                   &small_icon);
    services->main_thread.Attach(services->ui.BuildMainWindow(title, small_icon));
    services->announcer.MakeNotificationWindow();
  };
  // desktop.facts keeps its defaults: Windows always has a notification area
  // (the icon is added again when Explorer restarts), and RegisterHotKey gives
  // the system-wide keys.
  desktop.run_event_loop = [&] { return RunMessageLoop(gate, services->ui); };
  return StartProgram(paths, marker, show_requests, gate, desktop);
}

}  // namespace
}  // namespace skyvigil

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a DLL by name: from System32 only, never from the
  // program's folder or the working folder, where anyone may have put a file
  // of that name. The link-time imports that are not the system's known DLLs
  // load at their first call (see CMakeLists.txt), so this holds for them too;
  // Tolk is loaded from the program's folder by its full path.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return skyvigil::Run();
}
