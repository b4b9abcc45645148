// Forecast days with hours, as the service sends them, for the next hours' tests.
#pragma once

#include <string>
#include <vector>

#include "weather/records.h"

namespace skyvigil::testing {

// One hour "yyyy-mm-dd hh:00": dry, 60 degrees F (15.6 C), 10 percent chance of rain.
inline hour HourAt(const std::string& date, int hour_of_day) {
  hour h;
  const std::string hh = (hour_of_day < 10 ? "0" : "") + std::to_string(hour_of_day);
  h.time = date + " " + hh + ":00";
  h.temp_f = 60;
  h.temp_c = 15.6;
  h.condition.text = "Partly cloudy";
  h.chance_of_rain = 10;
  return h;
}

inline hour& MakeWet(hour& h, bool snow = false) {
  h.condition.text = snow ? "Light snow" : "Light rain";
  (snow ? h.will_it_snow : h.will_it_rain) = 1;
  (snow ? h.chance_of_snow : h.chance_of_rain) = 80;
  return h;
}

// Consecutive days from `first` (e.g. {"2024-03-06", "2024-03-07"}), 24 dry hours each.
inline std::vector<forecastday> DaysWithHours(const std::vector<std::string>& dates) {
  std::vector<forecastday> days;
  for (const std::string& date : dates) {
    forecastday d;
    d.date = date;
    for (int h = 0; h < 24; ++h)
      d.hour.push_back(HourAt(date, h));
    days.push_back(d);
  }
  return days;
}

}  // namespace skyvigil::testing
