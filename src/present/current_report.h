// The texts of the current-weather report: its seventeen lines and the tray tooltip.
#pragma once

#include <string>
#include <vector>

#include "weather/records.h"

namespace skyvigil {

// The report lines of one city's last fetched weather, in the given display unit.
std::vector<std::string> CurrentReportLines(const currentWeather& weather, int64_t unit);

// The tray shows at most this many characters of its tooltip.
inline constexpr size_t kTrayTooltipLimit = 63;
// Cuts `text` after its 63rd character (not byte: a name may hold non-ASCII letters).
std::string TrayTooltipText(const std::string& text);

}  // namespace skyvigil
