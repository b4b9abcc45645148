// The last forecast answer the program holds for a city, kept for its spoken
// summary: the day the service gave first (the city's own today then) and
// the alerts in force.
#pragma once

#include <vector>

#include "ports/clock.h"
#include "weather/records.h"

namespace skyvigil {

struct HeldForecast {
  forecastday today;
  std::vector<alert> alerts;
  CivilDate fetched_on;  // the user's clock when the answer came
  TimeOfDay fetched_at;
};

}  // namespace skyvigil
