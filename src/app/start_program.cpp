// The start-up sequence every desktop runs.
#include "app/start_program.h"

#include "app/commands.h"
#include "app/startup_news.h"
#include "app/update_chain.h"
#include "state/fetch.h"

namespace skyvigil {

namespace {

// How long the end waits for the transfers it told to stop; the process is
// gone well within two seconds of the close request either way.
constexpr std::chrono::milliseconds kTransfersEndWait{500};

// After the exit: a worker still held by a transfer its client could not cut
// short would hold up the teardown, or outlive the client it uses.
int Ended(App& app, int code) {
  if (!AwaitFetchWorkers(app, kTransfersEndWait))
    app.process.EndAtOnce(code);
  return code;
}

}  // namespace

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
    AskRunningInstance(paths.marker_file, InstanceRequest::show);
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
    return Ended(app, *app.state.exit_code);

  // The update server's address comes from prefs.ini, so the automatic check
  // starts once the settings are read. Its dialogs wait for the event loop.
  StartUpdateCheck(app, UpdateSourceFor(app.state), true);

  desktop.build_main_window(app, "Skyvigil " + app.state.version_text);
  // The saved cities fill the lists first; a first run's key dialog comes
  // before the window too, like its "New City" prompt.
  gate.RunBeforeLoop(&FirstRefresh);
  if (app.state.exited)
    return Ended(app, *app.state.exit_code);
  const bool shown = app.state.prefs.window_hidden != 1;
  if (shown)
    desktop.show_main_window();
  HoldNewsForTheWindow(app, shown);

  show_requests.Listen(paths.marker_file, [&gate](InstanceRequest request) {
    gate.PostToCore([request](App& a) {
      if (request == InstanceRequest::speak)
        OnSpeakRequest(a);
      else
        OnShowRequest(a);
    });
  });
  return Ended(app, desktop.run_event_loop());
}

}  // namespace skyvigil
