// The application's state: one struct in place of process-wide globals, and the
// ports through which the core reaches the desktop and the network.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/ui_port.h"
#include "monitor/announcer.h"
#include "weather/http.h"
#include "weather/prefs.h"
#include "weather/records.h"
#include "weather/service_config.h"

namespace skyvigil {

struct AppState {
  std::string app_version = "0.36";
  std::string version_text = "0.36, build 23";
  ServiceConfig service = DefaultServiceConfig();
  Preferences prefs;  // window_hidden, celcius, cities_index, temp_diff, monitor_sounds
  std::vector<city> cities;
  std::vector<location> search_results;
  std::string search_text;
  std::vector<std::string> report_lines;    // what the report list shows
  std::vector<std::string> forecast_lines;  // what the forecast list shows
  std::filesystem::path prefs_file = "prefs.ini";
  std::filesystem::path cities_file = "cities.json";
};

struct App {
  AppState state;
  UiPort& ui;
  Announcer& announcer;
  HttpClient& http;
  const Clock& clock;
};

}  // namespace skyvigil
