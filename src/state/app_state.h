// The application's state: one struct in place of process-wide globals, and the
// ports through which the core reaches the desktop, the network and the process.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ports/announcer.h"
#include "ports/clock.h"
#include "ports/http.h"
#include "ports/main_thread.h"
#include "ports/paths.h"
#include "ports/process.h"
#include "ports/ui.h"
#include "state/briefing_state.h"
#include "state/fetch_state.h"
#include "state/held_forecast.h"
#include "state/quiet_state.h"
#include "state/refresh_state.h"
#include "state/update_download.h"
#include "state/version.h"
#include "state/window_state.h"
#include "weather/prefs.h"
#include "weather/records.h"
#include "weather/service_config.h"
#include "weather/service_status.h"

namespace skyvigil {

class AnnouncementHistory;
class StartupNewsHold;

struct AppState {
  std::string app_version = kAppVersion;
  std::string version_text = kVersionText;
  ServiceConfig service = DefaultServiceConfig();
  Preferences prefs;  // the settings of prefs.ini (weather/prefs.h lists them)
  std::vector<city> cities;
  MainWindowState main_window;
  DesktopFacts desktop;
  bool starts_at_login = false;  // as the process port last said
  // The secondary window shown last; an alert opened from the forecast keeps
  // the forecast below it, which its Escape returns to. Empty: none open.
  std::vector<SecondaryWindowState> secondary;
  // The update download's window while open: its bar's percent, -1 pulsing.
  std::optional<int> download_window;
  ActiveWindow active = ActiveWindow::main;
  // What the desktop shows: the screen drawn last (views/render).
  Screen screen;
  AppPaths paths;
  RefreshState refresh;
  BriefingState briefing;
  QuietState quiet;
  // The last forecast answer per city, by run-time id, for the summary.
  std::map<uint64_t, HeldForecast> held_forecasts;
  FetchState fetch;  // the background fetches in flight
  // The cause last said of a refresh that brought no weather; none once one did.
  ServiceProblem service_problem = ServiceProblem::none;
  // Alerts heard this run: the city's run-time id and the alert's identity,
  // each with the end it was last heard with.
  std::map<std::pair<uint64_t, std::string>, std::string> spoken_alerts;
  // The end of the program, asked for by any handler (RequestExit) and carried
  // out once by the core gate after that handler: one way out for every reason.
  std::optional<int> exit_code;  // the code main returns; set by the request
  bool exited = false;           // the exit ran: nothing more reaches the core
  // The city selected in the list is saved a while later, not on every arrow key.
  bool selection_unsaved = false;
  bool selection_timer_set = false;
  // Work that waits until the user shows the hidden main window (the
  // automatic update question, which would stand unowned behind other windows).
  std::vector<CoreWork> when_window_shown;
  // From the user's Yes to an update until its hand-over or failure: another
  // check meanwhile would only offer the same download again.
  bool update_under_way = false;
  // The update download under way.
  std::shared_ptr<UpdateDownload> update_download;
  // Alerts handed to speech whose fate is not known yet, once per hand-over.
  std::multiset<std::pair<uint64_t, std::string>> alerts_in_speech;
};

// Hands core work back to the main thread from any thread; there it runs
// between handlers, never inside one. The core gate implements it.
class CorePoster {
 public:
  virtual ~CorePoster() = default;
  virtual void PostToCore(CoreWork work) = 0;
};

struct App {
  AppState state;
  UiPort& ui;
  Announcer& announcer;
  HttpClient& http;
  const Clock& clock;
  ProcessPort& process;
  MainThread& main_thread;
  CorePoster* core = nullptr;  // set by CoreGate::Attach
  // What was spoken; the composition root sets it when `announcer` records.
  const AnnouncementHistory* history = nullptr;
  // The start's news, held while the window is announced; set by the
  // composition root when `announcer` passes through it.
  StartupNewsHold* news_hold = nullptr;
};

// Asks for the program's end; the first request's code stands.
inline void RequestExit(App& app, int code = 0) {
  if (!app.state.exit_code.has_value())
    app.state.exit_code = code;
}

// The main window stays hidden, as the user left it, only where a tray icon
// can bring it back.
inline bool WindowHidden(const AppState& state) {
  return state.prefs.window_hidden == 1 && state.desktop.tray;
}

// The city selected in the city list (the first while the selection is out of
// range), or none when the list is empty.
inline city* SelectedCity(AppState& state) {
  return ItemAt(state.cities, SelectionIn(state.main_window.selected_city, state.cities.size()));
}
inline const city* SelectedCity(const AppState& state) {
  return ItemAt(state.cities, SelectionIn(state.main_window.selected_city, state.cities.size()));
}

}  // namespace skyvigil
