// The lines of the forecast and alerts window: each alert in force, then each
// forecast day, as short phrases a screen reader reads one at a time.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "present/format.h"
#include "weather/records.h"

namespace skyvigil {

// The alerts' lines, a line holding "," between two alerts.
std::vector<std::string> AlertLines(const std::vector<alert>& alerts);

// Which alert line `line` of the window (as AlertLines lists them) belongs to;
// none for a separator or a day's line.
std::optional<size_t> AlertAtLine(const std::vector<alert>& alerts, int line);

// The days' lines, a line holding "..." between two days.
std::vector<std::string> ForecastDayLines(const std::vector<forecastday>& days, int64_t unit,
                                          CivilDate today);

// Everything the window lists: the alerts, then the days, with nothing between.
std::vector<std::string> ForecastWindowLines(const std::vector<alert>& alerts,
                                             const std::vector<forecastday>& days, int64_t unit,
                                             CivilDate today);

}  // namespace skyvigil
