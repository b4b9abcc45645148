// Builds the background texts from the service's records.
#include "present/background_texts.h"

#include "present/format.h"
#include "present/hour_lines.h"

namespace skyvigil {

std::string AlertTimeText(std::string_view time) {
  if (time.size() < 16 || time[10] != 'T' || time[13] != ':')
    return std::string(time);
  const std::string weekday = WeekdayName(time.substr(0, 10));
  const auto hour = DigitsAt(time, 11, 2);
  const auto minute = DigitsAt(time, 14, 2);
  if (weekday.empty() || !hour || !minute || *hour > 23 || *minute > 59)
    return std::string(time);
  return TwelveHourText(*hour, *minute) + " " + weekday;
}

std::string AlertExtendedText(std::string_view city_name, const alert& a) {
  return std::string(city_name) + ": " + a.event + " extended until " + AlertTimeText(a.expires) +
         ".";
}

std::string RainAheadText(std::string_view city_name, const hour& first_wet) {
  return std::string(city_name) + (SnowIsNamed(first_wet) ? ": snow" : ": rain") + " likely from " +
         HourLabel(first_wet.time) + ".";
}

std::string BriefingText(std::string_view city_name, const forecastday& today, int64_t unit) {
  const day& d = today.day;
  return "Today in " + std::string(city_name) + ": " + ConditionText(d.condition) + ", high " +
         TemperatureText(d.maxtemp_f, d.maxtemp_c, unit) + ", low " +
         TemperatureText(d.mintemp_f, d.mintemp_c, unit) + ", " + IntText(d.daily_chance_of_rain) +
         " percent chance of rain.";
}

}  // namespace skyvigil
