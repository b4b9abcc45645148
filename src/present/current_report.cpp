// Builds the current-weather report from the stored record; makes no request.
#include "present/current_report.h"

#include "present/format.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

std::string Pollutant(const char* label, float value) {
  const double widened = value;
  return label + FixedText(widened, 2) + " " + AirQualityCategory(RoundToWhole(widened));
}

}  // namespace

std::vector<std::string> CurrentReportLines(const currentWeather& w, int64_t unit) {
  const aqi& air = w.aqi;
  return {
      "Last updated: " + w.last_updated,
      w.condition.text,
      "Temperature: " + TemperatureText(w.temp_f, w.temp_c, unit),
      "Feels like: " + TemperatureText(w.feelslike_f, w.feelslike_c, unit),
      "Humidity: " + IntText(w.humidity) + "%",
      "Wind: " + w.wind_dir + " at " + RealText(w.wind_mph) + " Miles Per Hour (" +
          RealText(w.wind_kph) + " Kilometers Per Hour) with gusts of " + RealText(w.gust_mph) +
          " Miles Per Hour (" + RealText(w.gust_kph) + " Kilometers per Hour)",
      "Pressure: " + RealText(w.pressure_in) + " in (" + RealText(w.pressure_mb) + " mb)",
      "UV index: " + RealText(w.uv),
      "Air Quality",
      "EPA index: " + IntText(air.us_epa_index),
      "DEFRA index: " + IntText(air.gb_defra_index),
      Pollutant("Carbon Monoxide (Co): ", air.co),
      Pollutant("Ozone (O3): ", air.o3),
      Pollutant("Nitrogen dioxide (no2): ", air.no2),
      Pollutant("Sulphur dioxide (so2): ", air.so2),
      Pollutant("pm2.5: ", air.pm2_5),
      Pollutant("pm10: ", air.pm10),
  };
}

std::string TrayTooltipText(const std::string& text) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // Count lead bytes only, so a UTF-8 sequence is never split.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (characters == kTrayTooltipLimit)
        return text.substr(0, i);
      ++characters;
    }
  }
  return text;
}

}  // namespace skyvigil
