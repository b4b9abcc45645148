// The change check and the switches of the monitor.
#include "monitor/monitor_cycle.h"

#include <algorithm>
#include <cmath>

#include "monitor/quiet_hours.h"
#include "present/format.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

city* SelectedCity(App& app) {
  const int index = app.ui.CitySelection();
  if (index < 0 || static_cast<size_t>(index) >= app.state.cities.size())
    return nullptr;
  return &app.state.cities[static_cast<size_t>(index)];
}

void ToggleSwitch(App& app, int64_t city::*field, const char* label) {
  city* c = SelectedCity(app);
  if (c == nullptr)
    return;
  const bool now_on = (c->*field) != 1;
  c->*field = now_on ? 1 : 0;
  app.announcer.Speak(label + c->name + (now_on ? " on" : " off"), false);
  SaveCities(app.state.cities, app.state.paths.cities_file);
}

}  // namespace

void MonitorCheck(App& app) {
  AppState& s = app.state;
  const bool sounds = s.prefs.monitor_sounds == 1;
  for (city& c : s.cities) {
    if (c.monitor != 1)
      continue;

    const std::string& now = c.weather.condition.text;
    if (c.condition != now) {
      c.condition = now;
      TellNews(app, News::condition, ShortCityName(c.name) + ": " + c.condition,
               sounds ? std::optional(Cue::condition) : std::nullopt);
    }

    const double old_temp = c.temp;
    const double new_temp = c.weather.temp_f;
    if (old_temp != new_temp &&
        std::fabs(old_temp - new_temp) > static_cast<double>(s.prefs.temp_diff)) {
      c.temp = new_temp;
      TellNews(app, News::temperature,
               ShortCityName(c.name) + ": " + RealText(new_temp) + " Degrees",
               sounds ? std::optional(old_temp > new_temp ? Cue::down : Cue::up) : std::nullopt);
    }
  }
}

void ToggleMonitor(App& app) {
  ToggleSwitch(app, &city::monitor, "Skyvigil for ");
}

void ToggleAlerts(App& app) {
  ToggleSwitch(app, &city::alerts, "Alerts for ");
}

void TogglePreference(App& app, int64_t Preferences::*setting, std::string_view what) {
  Preferences& p = app.state.prefs;
  const bool now_on = p.*setting != 1;
  p.*setting = now_on ? 1 : 0;
  app.announcer.Speak(std::string(what) + (now_on ? " on" : " off"), false);
  SavePreferences(p, app.state.paths.prefs_file);
}

void ToggleMonitorSounds(App& app) {
  TogglePreference(app, &Preferences::monitor_sounds, "Monitor sounds");
}

void ToggleAlertsOnce(App& app) {
  TogglePreference(app, &Preferences::alerts_once, "Speak each alert once");
}

void SetTemperatureDifference(App& app) {
  Preferences& p = app.state.prefs;
  const std::string answer = app.ui
                                 .AskText("Temperature Difference",
                                          "Please enter a value in which the temperature must "
                                          "change before you are notified about it "
                                          "in a monitor.",
                                          IntText(p.temp_diff))
                                 .value_or("");
  const int64_t value = ParseIniInteger(answer);
  if (value <= 0)
    return;
  p.temp_diff = value;
  SavePreferences(p, app.state.paths.prefs_file);
}

}  // namespace skyvigil
