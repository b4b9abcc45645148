// The start-up sequence every desktop runs.
#include "app/start_program.h"

#include "app/commands.h"
#include "app/update_thread.h"

namespace skyvigil {

UpdateSource UpdateSourceFor(const AppState& state) {
  UpdateSource source;
  source.update_address = state.service.update_address;
  source.app_version = state.app_version;
  source.archive_file = state.paths.archive_file;
  // A program the package manager installed has no updater of its own.
  source.packaged = state.paths.updater_program.empty();
  return source;
}

int StartProgram(const AppPaths& paths, InstanceLock& marker, ShowRequestListener& show_requests,
                 CoreGate& gate, const DesktopStart& desktop) {
  const InstanceLock::Outcome held = marker.Acquire(paths.marker_file);
  if (held == InstanceLock::Outcome::other_instance) {
    desktop.alert("Alert", "The program already seems to be running.");
    // The running window may be hidden behind the tray: bring it back. Asked
    // after the box, while this process still has the right to the foreground
    // that it hands on.
    AskRunningInstanceToShow(paths.marker_file);
    return 0;
  }
  if (held == InstanceLock::Outcome::folder_not_writable)
    desktop.alert("Alert",
                  "Skyvigil cannot write in its folder, so changes to the settings and the "
                  "cities will not be kept.");
  // Otherwise unguarded (the marker can't be made): run without the guard.

  // An updater at work holds the marker, so none is now: what an update cut
  // short left is made whole before a file of it is opened.
  if (desktop.finish_left_update && !desktop.finish_left_update())
    return 0;

  App& app = desktop.build_services();
  app.state.paths = paths;
  gate.Attach(app);
  gate.RunBeforeLoop(&LoadSettingsAndCities);
  if (app.state.exited)
    return *app.state.exit_code;

  // The update server's address comes from prefs.ini, so the automatic check
  // starts once the settings are read. Its dialogs wait for the event loop.
  StartAutomaticUpdateCheck(gate, app.main_thread, app.http, app.announcer,
                            UpdateSourceFor(app.state));

  desktop.build_main_window(app, "Skyvigil " + app.state.version_text);
  // The saved cities fill the lists first; a first run's key dialog comes
  // before the window too, like its "New City" prompt.
  gate.RunBeforeLoop(&FirstRefresh);
  if (app.state.exited)
    return *app.state.exit_code;
  if (app.state.prefs.window_hidden != 1)
    desktop.show_main_window();

  show_requests.Listen(paths.marker_file,
                       [&gate] { gate.PostToCore([](App& a) { OnShowRequest(a); }); });
  return desktop.run_event_loop();
}

}  // namespace skyvigil
