// Builds the background texts from the service's records.
#include "present/background_texts.h"

#include <optional>

#include "present/format.h"
#include "present/hour_lines.h"

namespace skyvigil {

namespace {

// The digits at [from, from + count) of `text` as a number, if all are digits.
std::optional<int> Digits(std::string_view text, size_t from, size_t count) {
  if (text.size() < from + count)
    return std::nullopt;
  int n = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9')
      return std::nullopt;
    n = n * 10 + (text[i] - '0');
  }
  return n;
}

}  // namespace

std::string AlertTimeText(std::string_view time) {
  if (time.size() < 16 || time[10] != 'T' || time[13] != ':')
    return std::string(time);
  const std::string weekday = WeekdayName(time.substr(0, 10));
  const auto hour = Digits(time, 11, 2);
  const auto minute = Digits(time, 14, 2);
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
