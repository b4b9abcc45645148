// The start-up sequence every desktop runs, and the exit.
#include "app/start_program.h"

#include "app/commands.h"
#include "app/main_window.h"
#include "app/service_key.h"
#include "app/startup_news.h"
#include "app/update_chain.h"
#include "cities/city_add.h"
#include "monitor/briefing.h"
#include "monitor/refresh.h"
#include "state/fetch.h"
#include "views/render.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

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

void LoadSettingsAndCities(App& app) {
  LoadPreferences(app.state.prefs, app.state.service, app.state.paths.prefs_file);
  RecallBriefingDay(app);
  app.state.starts_at_login = app.process.StartsAtLogin();
  LoadCities(app.state.cities, app.state.paths.cities_file, [&app](std::vector<city>&) {
    PromptNewCity(app);
    // Kept at once: the key dialog that may follow can be cancelled.
    if (!app.state.cities.empty())
      SaveCities(app.state.cities, app.state.paths.cities_file);
  });
}

void FirstRefresh(App& app) {
  AppState& s = app.state;
  if (s.cities.empty()) {
    EndWithoutCities(app);
    return;
  }
  // Remembered even when unchanged: the first report completes a file that
  // lacks the settings, and a file already holding them is not rewritten.
  ShowCurrentWeather(app, SelectionIn(s.prefs.cities_index, s.cities.size()));
  StartRefreshTimer(app);
  // Without a key the service would refuse every request: no weather then.
  if (HasOwnServiceKey(s.service) || AskForServiceKey(app)) {
    s.refresh.first_pending = true;
    // The refresh's alerts come first: the briefing waits for its end.
    RefreshCities(app, RefreshMode::all_cities, &OnBriefingTimer);
  }
  s.main_window.started = true;
  if (!WindowHidden(s))
    ++s.main_window.front_requests;
}

void ExitProgram(App& app) {
  // Said first, so the user hears at once that the request was taken.
  app.announcer.Speak("Exiting", true);
  app.state.exited = true;
  // Nothing the work in flight would apply or say follows.
  StopRefresh(app);
  SaveSelection(app);
  Redraw(app);  // the tray icon removed, the main window closed
  app.process.ReleaseMarker();
  app.process.QuitEventLoop(app.state.exit_code.value_or(0));
}

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
  app.state.desktop = desktop.facts;
  gate.Attach(app);
  gate.RunBeforeLoop(&LoadSettingsAndCities);
  if (app.state.exited)
    return Ended(app, *app.state.exit_code);

  // The update server's address comes from prefs.ini, so the automatic check
  // starts once the settings are read. Its dialogs wait for the event loop.
  StartUpdateCheck(app, UpdateSourceFor(app.state), true);

  desktop.build_main_window(app, "Skyvigil " + app.state.version_text);
  app.state.main_window.built = true;
  // The saved cities fill the window, still hidden; a first run's key dialog
  // comes before the window is shown, like its "New City" prompt.
  gate.RunBeforeLoop(&FirstRefresh);
  if (app.state.exited)
    return Ended(app, *app.state.exit_code);
  // Shown by the screen drawn after the first refresh, unless it starts hidden.
  HoldNewsForTheWindow(app, !WindowHidden(app.state));

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
