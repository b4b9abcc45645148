// The application's state: one struct in place of process-wide globals, and the
// ports through which the core reaches the desktop, the network and the process.
#pragma once

#include <string>
#include <vector>

#include "app/refresh_state.h"
#include "app/version.h"
#include "ports/announcer.h"
#include "ports/clock.h"
#include "ports/http.h"
#include "ports/main_thread.h"
#include "ports/paths.h"
#include "ports/process.h"
#include "ports/ui.h"
#include "weather/prefs.h"
#include "weather/records.h"
#include "weather/service_config.h"

namespace skyvigil {

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
  AppPaths paths;
  RefreshState refresh;
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
};

}  // namespace skyvigil
