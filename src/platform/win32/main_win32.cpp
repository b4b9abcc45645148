// Program entry on Windows: the single-instance guard, the core's services,
// the main window with its tray icon, then the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/announcement_history.h"
#include "app/commands.h"
#include "app/core_gate.h"
#include "app/local_clock.h"
#include "app/update_thread.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/autostart_win32.h"
#include "platform/win32/main_window.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win_process.h"
#include "platform/win32/win_ui.h"
#include "platform/win32/windows_announcer.h"
#include "platform/win32/winhttp_client.h"
#include "ports/instance_lock.h"
#include "ports/show_requests.h"
#include "state/app_state.h"

namespace skyvigil {
namespace {

int Run() {
  // The files live beside the program, which is also where Windows starts it
  // from Explorer; a start at login (from another folder) finds them there.
  const AppPaths paths = PathsIn(RunningProgram().parent_path());
  InstanceLock marker;
  if (marker.Acquire(paths.marker_file) == InstanceLock::Outcome::other_instance) {
    MessageBoxW(nullptr, L"The program already seems to be running.", L"Alert", MB_OK);
    // The running window may be hidden behind the tray: bring it back. Asked
    // after the box, while this process still has the right to the foreground
    // that it hands on.
    AskRunningInstanceToShow(paths.marker_file);
    return 0;
  }
  // Outcome::unguarded (the marker can't be made): run without the guard.

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  CoreGate gate;
  AccessibleNames names;
  WindowsAnnouncer announcer(paths.cues_folder);
  WinHttpClient http;
  LocalClock clock;
  AnnouncementHistory history(announcer, clock);  // what the core speaks through
  WinUi ui(gate, names);
  WinProcess process(ui, marker, [&announcer] { announcer.Shutdown(); });
  WinMainThread main_thread;
  App app{AppState{}, ui, history, http, clock, process, main_thread};
  app.history = &history;
  app.state.paths = paths;
  gate.Attach(app);
  // A key pressed in any of our windows stops our speech first, as it stops
  // the screen reader's; from the first dialog on.
  KeyDownWatch keys([&history] { history.Silence(); });

  gate.RunBeforeLoop([](App& a) { LoadSettingsAndCities(a); });

  // The update server's address comes from prefs.ini; its dialogs wait for the loop.
  UpdateSource update_source;
  update_source.update_address = app.state.service.update_address;
  update_source.app_version = app.state.app_version;
  update_source.archive_file = paths.archive_file;
  update_source.packaged = paths.updater_program.empty();
  StartAutomaticUpdateCheck(gate, main_thread, http, history, update_source);

  // The small icon at the system's size and scale, for the title bar and the tray.
  HICON small_icon = nullptr;
  LoadIconMetric(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), LIM_SMALL,
                 &small_icon);
  MainWindow window(gate, names, "Skyvigil " + app.state.version_text, small_icon);
  ui.Attach(&window);
  main_thread.Attach(window.hwnd());
  announcer.AttachWindow(window.hwnd());

  // The saved cities fill the lists first; a first run's key dialog comes
  // before the window too, like its "New City" prompt.
  gate.RunBeforeLoop([](App& a) { FirstRefresh(a); });
  if (app.state.prefs.window_hidden != 1)
    window.ShowAtStart();
  // Last made, first gone: no request reaches the gate after the loop ends.
  ShowRequestListener show_requests;
  show_requests.Listen(paths.marker_file,
                       [&gate] { gate.PostToCore([](App& a) { OnShowRequest(a); }); });
  return RunMessageLoop(gate);
}

}  // namespace
}  // namespace skyvigil

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  skyvigil::Run();
  // The process normally ends inside the core's exit; every other way out is code 0 too.
  return 0;
}
