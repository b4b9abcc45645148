// The lines of the forecast and alerts window: each alert in force, then each
// forecast day, as short phrases a screen reader reads one at a time.
#pragma once

#include <string>
#include <vector>

#include "present/format.h"
#include "weather/records.h"

namespace skyvigil {

// The alerts' lines, a line holding "," between two alerts.
std::vector<std::string> AlertLines(const std::vector<alert>& alerts);

// The days' lines, a line holding "..." between two days.
std::vector<std::string> ForecastDayLines(const std::vector<forecastday>& days, int64_t unit,
                                          CivilDate today);

// Everything the window lists: the alerts, then the days, with nothing between.
std::vector<std::string> ForecastWindowLines(const std::vector<alert>& alerts,
                                             const std::vector<forecastday>& days, int64_t unit,
                                             CivilDate today);

}  // namespace skyvigil
