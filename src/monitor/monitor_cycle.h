// Keeps the cities' weather fresh and announces what changed: the refresh,
// the change check and the per-city switches.
#pragma once

#include <cstdint>
#include <string_view>

#include "monitor/refresh.h"
#include "state/app_state.h"

namespace skyvigil {

// Announces, for every monitored city, a changed condition and a temperature
// that moved by more than temp_diff since it was last announced.
void MonitorCheck(App& app);

void ToggleMonitor(App& app);
void ToggleAlerts(App& app);
// Turns a program-wide on/off setting over, says "<what> on" or "<what> off"
// and saves the settings.
void TogglePreference(App& app, int64_t Preferences::*setting, std::string_view what);
void ToggleMonitorSounds(App& app);
// "Speak Each Alert Once": an alert already spoken for a city is not spoken again.
void ToggleAlertsOnce(App& app);

}  // namespace skyvigil
