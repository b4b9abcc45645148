// Plain records of the weather service's answers. Field names are the JSON
// member names of the answers, so one generic rule fills them (record_json.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skyvigil {

struct condition {
  std::string text;
  std::string icon;
  int64_t code = 0;
};

struct location {
  double lat = 0;
  double lon = 0;
  std::string name;
  std::string region;
  std::string country;
  std::string tz_id;
  int64_t localtime_epoch = 0;
  std::string localtime;
};

// Filled from the answer member "air_quality"; written back as "aqi".
struct aqi {
  float co = 0;
  float o3 = 0;
  float no2 = 0;
  float so2 = 0;
  float pm2_5 = 0;
  float pm10 = 0;
  int64_t us_epa_index = 0;
  int64_t gb_defra_index = 0;
};

struct currentWeather {
  std::string last_updated;
  int64_t last_updated_epoch = 0;
  double temp_c = 0;
  double temp_f = 0;
  double feelslike_c = 0;
  double feelslike_f = 0;
  struct condition condition;
  double wind_mph = 0;
  double wind_kph = 0;
  int64_t wind_degree = 0;
  std::string wind_dir;
  double pressure_mb = 0;
  double pressure_in = 0;
  double precip_mm = 0;
  double precip_in = 0;
  int64_t humidity = 0;
  int64_t cloud = 0;
  int64_t is_day = 0;
  double uv = 0;
  double gust_mph = 0;
  double gust_kph = 0;
  struct location location;
  struct aqi aqi;
};

struct day {
  double maxtemp_c = 0;
  double maxtemp_f = 0;
  double mintemp_c = 0;
  double mintemp_f = 0;
  double avgtemp_c = 0;
  double avgtemp_f = 0;
  double maxwind_mph = 0;
  double maxwind_kph = 0;
  double totalprecip_mm = 0;
  double totalprecip_in = 0;
  double totalsnow_in = 0;
  double totalsnow_cm = 0;
  double avgvis_km = 0;
  double avgvis_miles = 0;
  int64_t avghumidity = 0;
  struct condition condition;
  double uv = 0;
  int64_t daily_will_it_rain = 0;
  int64_t daily_will_it_snow = 0;
  int64_t daily_chance_of_rain = 0;
  int64_t daily_chance_of_snow = 0;
};

struct astro {
  std::string sunrise;
  std::string sunset;
  std::string moonrise;
  std::string moonset;
  std::string moon_phase;
  std::string moon_illumination;
};

// One hour of a forecast day; `time` is the city's own clock, "yyyy-mm-dd hh:mm".
struct hour {
  std::string time;
  double temp_f = 0;
  double temp_c = 0;
  struct condition condition;
  int64_t chance_of_rain = 0;
  int64_t will_it_rain = 0;
  int64_t chance_of_snow = 0;
  int64_t will_it_snow = 0;
  double precip_mm = 0;
  double gust_mph = 0;
  double uv = 0;
};

struct forecastday {
  std::string date;
  int64_t date_epoch = 0;
  struct day day;
  struct astro astro;
  std::vector<struct hour> hour;
};

struct alert {
  std::string headline;
  std::string msgType;
  std::string severity;
  std::string urgency;
  std::string areas;
  std::string category;
  std::string certainty;
  std::string event;
  std::string note;
  std::string effective;
  std::string expires;
  std::string desc;
  std::string instruction;
};

// One saved city: the query sent to the service, its two switches, the values
// last announced for it and the last current conditions fetched for it.
struct city {
  std::string name;
  double temp = 0;        // last announced temperature, Fahrenheit
  int64_t monitor = 0;    // exactly 1: changes are announced
  int64_t alerts = 0;     // exactly 1: alerts are fetched and spoken
  std::string condition;  // last announced condition text
  currentWeather weather;
  uint64_t id = 0;  // run-time identity for answers in flight; 0 until given, never saved
};

}  // namespace skyvigil
