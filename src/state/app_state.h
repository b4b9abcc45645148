// The application's state: one struct in place of process-wide globals, and the
// ports through which the core reaches the desktop, the network and the process.
#pragma once

#include <map>
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
#include "state/refresh_state.h"
#include "state/version.h"
#include "weather/prefs.h"
#include "weather/records.h"
#include "weather/service_config.h"
#include "weather/service_status.h"

namespace skyvigil {

class AnnouncementHistory;

struct AppState {
  std::string app_version = kAppVersion;
  std::string version_text = kVersionText;
  ServiceConfig service = DefaultServiceConfig();
  Preferences prefs;  // window_hidden, celcius, cities_index, temp_diff, monitor_sounds
  std::vector<city> cities;
  std::vector<location> search_results;
  std::string search_text;
  std::vector<std::string> report_lines;    // what the report list shows
  std::vector<std::string> forecast_lines;  // what the forecast list shows
  std::vector<std::string> history_lines;   // what the history list shows
  std::vector<alert> forecast_alerts;       // the alerts the forecast list begins with
  std::vector<std::string> list_lines;      // what a list window (Next Hours, Alert) shows
  AppPaths paths;
  RefreshState refresh;
  BriefingState briefing;
  // The cause last said of a refresh that brought no weather; none once one did.
  ServiceProblem service_problem = ServiceProblem::none;
  // Alerts spoken this run: the city's run-time id and the alert's identity,
  // each with the end it was last spoken with.
  std::map<std::pair<uint64_t, std::string>, std::string> spoken_alerts;
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
};

}  // namespace skyvigil
