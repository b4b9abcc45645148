// Builds the forecast window's lines from the fetched alerts and days.
#include "present/forecast_lines.h"

namespace skyvigil {

namespace {

void AddIfSet(std::vector<std::string>& lines, const char* label, const std::string& value) {
  if (!value.empty())
    lines.push_back(label + value);
}

}  // namespace

std::vector<std::string> AlertLines(const std::vector<alert>& alerts) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < alerts.size(); ++i) {
    const alert& a = alerts[i];
    lines.push_back(a.event + " " + a.msgType);
    lines.push_back(a.headline);
    AddIfSet(lines, "Severity: ", a.severity);
    AddIfSet(lines, "Urgency: ", a.urgency);
    lines.push_back("Effective " + a.effective);
    lines.push_back("Expires " + a.expires);
    AddIfSet(lines, "Note: ", a.note);
    lines.push_back("Description: " + a.desc);
    lines.push_back("Areas affected: " + a.areas);
    AddIfSet(lines, "Category: ", a.category);
    AddIfSet(lines, "Certainty: ", a.certainty);
    if (i + 1 < alerts.size())
      lines.push_back(",");
  }
  return lines;
}

std::optional<size_t> AlertAtLine(const std::vector<alert>& alerts, int line) {
  if (line < 0)
    return std::nullopt;
  size_t first = 0;
  for (size_t i = 0; i < alerts.size(); ++i) {
    const size_t count = AlertLines({alerts[i]}).size();
    if (static_cast<size_t>(line) < first + count)
      return i;
    first += count + 1;  // the "," line after it
    if (static_cast<size_t>(line) < first)
      return std::nullopt;
  }
  return std::nullopt;
}

std::vector<std::string> ForecastDayLines(const std::vector<forecastday>& days, int64_t unit,
                                          CivilDate today) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < days.size(); ++i) {
    const day& d = days[i].day;
    const astro& sky = days[i].astro;
    lines.push_back(ForecastDayLabel(days[i].date, today));
    lines.push_back(d.condition.text);
    lines.push_back("High of " + TemperatureText(d.maxtemp_f, d.maxtemp_c, unit) + ", low of " +
                    TemperatureText(d.mintemp_f, d.mintemp_c, unit));
    lines.push_back("Average of " + TemperatureText(d.avgtemp_f, d.avgtemp_c, unit));
    // The service's yes/no flags decide, not the percentages.
    if (d.daily_will_it_rain == 1) {
      lines.push_back("Chance of rain: " + IntText(d.daily_chance_of_rain) + "%");
    }
    if (d.daily_will_it_snow == 1) {
      lines.push_back("Chance of snow: " + IntText(d.daily_chance_of_snow) + "%");
    }
    lines.push_back("Winds: " + RealText(d.maxwind_mph) + " Miles Per Hour (" +
                    RealText(d.maxwind_kph) + " Kilometers per Hour)");
    lines.push_back("Visibility: " + RealText(d.avgvis_miles) + " Miles (" + RealText(d.avgvis_km) +
                    " Kilometers)");
    lines.push_back("Precipitation: " + RealText(d.totalprecip_in) + " Inches (" +
                    RealText(d.totalprecip_mm) + " MM)");
    lines.push_back("Humidity: " + IntText(d.avghumidity) + "%");
    lines.push_back("UV: " + RealText(d.uv));
    lines.push_back("Sunrise: " + sky.sunrise);
    lines.push_back("Sunset: " + sky.sunset);
    lines.push_back("Moonrise: " + sky.moonrise);
    lines.push_back("Moon phase: " + sky.moon_phase);
    lines.push_back("Moonset: " + sky.moonset);
    if (i + 1 < days.size())
      lines.push_back("...");
  }
  return lines;
}

std::vector<std::string> ForecastWindowLines(const std::vector<alert>& alerts,
                                             const std::vector<forecastday>& days, int64_t unit,
                                             CivilDate today) {
  std::vector<std::string> lines = AlertLines(alerts);
  std::vector<std::string> day_lines = ForecastDayLines(days, unit, today);
  lines.insert(lines.end(), std::make_move_iterator(day_lines.begin()),
               std::make_move_iterator(day_lines.end()));
  return lines;
}

}  // namespace skyvigil
