// Keeps the cities' weather fresh and announces what changed: the refresh,
// the change check, the city list rebuild and the per-city switches.
#pragma once

#include "app/app_state.h"

namespace skyvigil {

enum class RefreshMode {
  all_cities = 0,
  new_cities = 1,  // only cities whose stored Celsius temperature is not above 0
};

// Fetches current weather (and alerts, for cities with alerts on) of the
// cities in one concurrent batch, then in list order speaks each city's alerts
// and rewrites its name from the answer; saves the list at the end.
void RefreshCities(App& app, RefreshMode mode);

// Announces, for every monitored city, a changed condition and a temperature
// that moved by more than temp_diff since it was last announced.
void MonitorCheck(App& app);

// Rebuilds the city list. With `restore` the saved cities_index is selected,
// otherwise the entry that was selected before. Ends the program when no city is left.
void RefreshCityList(App& app, bool restore);

void ToggleMonitor(App& app);
void ToggleAlerts(App& app);
void ToggleMonitorSounds(App& app);
// Asks for a new temperature difference; a value above 0 replaces it.
void SetTemperatureDifference(App& app);

}  // namespace skyvigil
