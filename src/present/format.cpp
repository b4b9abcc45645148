// Text builders for values, units and dates. Numbers go through std::to_chars,
// which is exact and ignores the locale, so "." is always the decimal point.
#include "present/format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

namespace skyvigil {

namespace {

constexpr int kMaxDecimals = 512;

// Enough for the sign, 309 integer digits, the point and every decimal.
using NumberBuffer = std::array<char, 1 + 309 + 1 + kMaxDecimals + 16>;

std::optional<std::string> SpecialValueText(double value) {
  if (std::isnan(value))
    return "NaN";
  if (std::isinf(value))
    return value > 0 ? "+Infinity" : "-Infinity";
  return std::nullopt;
}

// Correctly rounded fixed notation; a value that rounds to zero loses its sign.
std::string FixedDigits(double value, int decimals) {
  if (value == 0)
    value = 0;  // -0.0 becomes +0.0
  NumberBuffer buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  std::string text(buffer.data(), result.ptr);
  if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

constexpr std::array<std::string_view, 7> kWeekdayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

std::optional<std::chrono::year_month_day> ToCalendarDate(int y, int m, int d) {
  if (y < -32767 || y > 32767 || m < 1 || m > 12 || d < 1 || d > 31)
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{y},
                                         std::chrono::month{static_cast<unsigned>(m)},
                                         std::chrono::day{static_cast<unsigned>(d)}};
  if (!date.ok())
    return std::nullopt;
  return date;
}

// 1 for January 1.
int DayOfYear(const std::chrono::year_month_day& date) {
  using std::chrono::January;
  using std::chrono::sys_days;
  const sys_days first_of_year{date.year() / January / 1};
  return static_cast<int>((sys_days{date} - first_of_year).count()) + 1;
}

// Reads exactly "yyyy-mm-dd" with a real calendar date.
std::optional<std::chrono::year_month_day> ParseForecastDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-')
    return std::nullopt;
  const auto year = DigitsAt(text, 0, 4);
  const auto month = DigitsAt(text, 5, 2);
  const auto day = DigitsAt(text, 8, 2);
  if (!year || !month || !day)
    return std::nullopt;
  return ToCalendarDate(*year, *month, *day);
}

}  // namespace

std::optional<int> DigitsAt(std::string_view text, size_t from, size_t count) {
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

std::string IntText(int64_t n) {
  std::array<char, 24> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n);
  return std::string(buffer.data(), result.ptr);
}

std::string RealText(double value) {
  if (auto special = SpecialValueText(value))
    return *special;
  std::string text = FixedDigits(value, 10);
  if (text.back() == '0') {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
      text.pop_back();
  }
  return text;
}

std::string FixedText(double value, int decimals) {
  if (auto special = SpecialValueText(value))
    return *special;
  return FixedDigits(value, std::clamp(decimals, 0, kMaxDecimals));
}

int64_t RoundToWhole(double value) {
  if (std::isnan(value))
    return 0;
  // 2^63 as a double; every double below it in magnitude that is not whole is
  // small enough for the fraction arithmetic below to be exact.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (value >= kTwoTo63)
    return std::numeric_limits<int64_t>::max();
  if (value <= -kTwoTo63)
    return std::numeric_limits<int64_t>::min();
  const double below = std::floor(value);
  const double fraction = value - below;
  double whole = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
    whole = below + 1;
  return static_cast<int64_t>(whole);
}

std::string TemperatureText(double fahrenheit, double celsius, int64_t unit) {
  const std::string f = IntText(RoundToWhole(fahrenheit));
  const std::string c = IntText(RoundToWhole(celsius));
  switch (unit) {
    case 0:
      return f + " degrees F";
    case 1:
      return c + " Degrees C";
    case 2:
      return c + " degrees C (" + f + " degrees F)";
    case 3:
      return f + " degrees F (" + c + " degrees C)";
    default:
      return "";
  }
}

std::string AirQualityCategory(int64_t n) {
  if (n >= 0 && n <= 50)
    return "(Good)";
  if (n >= 51 && n <= 100)
    return "(Moderate)";
  if (n >= 101 && n <= 150)
    return "(Unhealthy for sensitive groups)";
  if (n >= 151 && n <= 200)
    return "(Unhealthy)";
  if (n >= 201 && n <= 300)
    return "(Very Unhealthy)";
  return "(Hazardous)";
}

std::string WeekdayMonthText(int weekday, int month) {
  std::string text;
  if (weekday >= 0 && weekday <= 6)
    text += kWeekdayNames[static_cast<size_t>(weekday)];
  text += ", ";
  if (month >= 1 && month <= 12)
    text += kMonthNames[static_cast<size_t>(month - 1)];
  return text;
}

std::string ForecastDayLabel(std::string_view date, CivilDate today) {
  const auto day = ParseForecastDate(date);
  if (!day)
    return std::string(date);
  // Only the days of the year are compared, so 31 December is never followed
  // by a "Tomorrow".
  if (const auto now = ToCalendarDate(today.year, today.month, today.day)) {
    const int d = DayOfYear(*day);
    const int t = DayOfYear(*now);
    if (d == t)
      return "Today";
    if (d == t + 1)
      return "Tomorrow";
  }
  const std::chrono::weekday weekday{std::chrono::sys_days{*day}};
  return WeekdayMonthText(static_cast<int>(weekday.c_encoding()),
                          static_cast<int>(static_cast<unsigned>(day->month()))) +
         " " + IntText(static_cast<unsigned>(day->day()));
}

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  const size_t first = text.find_first_not_of('\n');
  if (first == std::string::npos)
    return {};
  const size_t last = text.find_last_not_of('\n');
  return text.substr(first, last - first + 1);
}

std::string FullPlaceName(const location& place) {
  return place.name + ", " + place.region + ", " + place.country;
}

std::string WeekdayName(std::string_view date) {
  const auto day = ParseForecastDate(date);
  if (!day)
    return {};
  const std::chrono::weekday weekday{std::chrono::sys_days{*day}};
  return std::string(kWeekdayNames[weekday.c_encoding()]);
}

std::string TwelveHourText(int hour, int minute) {
  const int twelve = hour % 12 == 0 ? 12 : hour % 12;
  std::string text = IntText(twelve);
  if (minute != 0)
    text += (minute < 10 ? ":0" : ":") + IntText(minute);
  return text + (hour < 12 ? " AM" : " PM");
}

std::string ConditionText(const condition& c) {
  constexpr std::string_view kBlanks = " \t";
  const size_t first = c.text.find_first_not_of(kBlanks);
  if (first == std::string::npos)
    return {};
  return c.text.substr(first, c.text.find_last_not_of(kBlanks) - first + 1);
}

std::string ShortCityName(std::string_view name) {
  return std::string(name.substr(0, name.find(", ")));
}

bool HasWeather(const currentWeather& weather) {
  // Every answer of the service carries both; a blank record has neither.
  return !weather.last_updated.empty() || !weather.condition.text.empty();
}

std::string CitySummaryText(const city& c, int64_t unit) {
  if (!HasWeather(c.weather))
    return ShortCityName(c.name);
  return ShortCityName(c.name) + ": " + c.weather.condition.text + ", " +
         TemperatureText(c.weather.temp_f, c.weather.temp_c, unit);
}

}  // namespace skyvigil
