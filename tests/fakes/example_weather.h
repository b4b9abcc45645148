// Current-weather records that tests start from.
#pragma once

#include <string>
#include <vector>

#include "weather/record_json.h"
#include "weather/records.h"

namespace skyvigil::testing {

inline currentWeather ExampleWeather() {
  currentWeather w;
  w.last_updated = "2024-03-06 12:45";
  w.condition.text = "Partly cloudy";
  w.temp_c = 21.4;
  w.temp_f = 70.5;
  w.feelslike_c = 20.6;
  w.feelslike_f = 69.1;
  w.humidity = 81;
  w.wind_dir = "WSW";
  w.wind_mph = 8.1;
  w.wind_kph = 13.0;
  w.gust_mph = 11.4;
  w.gust_kph = 18.4;
  w.pressure_in = 29.92;
  w.pressure_mb = 1013.0;
  w.uv = 4;
  w.aqi = {230.3f, 50.5f, 51.5f, -1.0f, 300.5f, 0.0f, 2, 3};
  return w;
}

// The whole record as JSON text, to compare records field by field at once.
inline std::string RecordText(const currentWeather& weather) {
  return RecordListJsonText(std::vector<currentWeather>{weather});
}

// A record holding something in every part, as an earlier refresh leaves it.
inline currentWeather EarlierWeather() {
  currentWeather weather;
  weather.last_updated = "2024-07-08 17:45";
  weather.last_updated_epoch = 1720460700;
  weather.temp_c = 5.5;
  weather.temp_f = 41.9;
  weather.condition = {"Old sky", "//cdn/old.png", 1009};
  weather.humidity = 44;
  weather.wind_dir = "NW";
  weather.location.name = "Old Town";
  weather.location.region = "Old Region";
  weather.location.country = "Old Country";
  weather.aqi.us_epa_index = 6;
  weather.aqi.pm10 = 12.5f;
  return weather;
}

}  // namespace skyvigil::testing
