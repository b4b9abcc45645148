// The current-weather report of the selected city: heading, seventeen lines,
// detail box and tray tooltip.
#pragma once

#include <string>
#include <vector>

#include "app/app_state.h"

namespace skyvigil {

// The report lines of one city's last fetched weather, in the given display unit.
std::vector<std::string> CurrentReportLines(const currentWeather& weather, int64_t unit);

// The tray shows at most this many characters of its tooltip.
inline constexpr size_t kTrayTooltipLimit = 63;
// Cuts `text` after its 63rd character (not byte: a name may hold non-ASCII letters).
std::string TrayTooltipText(const std::string& text);

// Rebuilds the report for the city selected in the city list, remembers the
// selection in prefs.ini and updates the tooltip.
void ShowCurrentWeather(App& app);

// Copies the selected report line into the detail box (empty when none).
void ShowSelectedLine(App& app);

}  // namespace skyvigil
