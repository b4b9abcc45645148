// Keeps the cities' weather fresh and announces what changed: the refresh,
// the change check, the city list rebuild and the per-city switches.
#pragma once

#include "app/app_state.h"
#include "monitor/refresh.h"

namespace skyvigil {

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
