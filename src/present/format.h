// The small text builders shared by every report, list line and announcement:
// numbers, temperatures in the display unit, category words, dates, city names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/clock.h"
#include "weather/records.h"

namespace skyvigil {

// Decimal digits with a leading "-" when negative, no grouping.
// The number written by the `count` digits of `text` at `from`; nullopt when
// any of them is not a digit or the text is shorter.
std::optional<int> DigitsAt(std::string_view text, size_t from, size_t count);

std::string IntText(int64_t n);

// Ten correctly rounded decimals with trailing zeros and a trailing "." removed;
// "+Infinity", "-Infinity", "NaN". "." is the decimal point in every locale.
std::string RealText(double value);

// Exactly `decimals` (clamped to 0..512) correctly rounded decimals, nothing removed.
std::string FixedText(double value, int decimals);

// Nearest integer, ties to the even neighbour; NaN gives 0, values beyond the
// 64-bit range give its limits.
int64_t RoundToWhole(double value);

// The temperature in display unit `unit`: 0 Fahrenheit, 1 Celsius, 2 both with
// Celsius first, 3 both with Fahrenheit first; any other unit gives "".
std::string TemperatureText(double fahrenheit, double celsius, int64_t unit);

// "(Good)" ... "(Hazardous)" for a rounded pollutant value.
std::string AirQualityCategory(int64_t n);

// "Friday, March": week day 0 (Sunday)..6, month 1..12; a number outside its
// range gives an empty name and the ", " stays.
std::string WeekdayMonthText(int weekday, int month);

// "Tuesday" for a date "yyyy-mm-dd"; "" for any other text.
std::string WeekdayName(std::string_view date);

// "6 PM", "6:30 PM", "12 AM" at midnight, "12 PM" at noon: hour 0..23, minute 0..59.
std::string TwelveHourText(int hour, int minute);

// A condition's text without the blanks the service may send around it
// ("Clear "); the report and forecast lists show it as received.
std::string ConditionText(const condition& c);

// "Today", "Tomorrow" or "Friday, March 8" for a forecast date "yyyy-mm-dd",
// comparing days of the year only. Any other text is returned as it came.
std::string ForecastDayLabel(std::string_view date, CivilDate today);

// The lines as one text for the clipboard: each followed by a line feed, then
// the line feeds at either end removed.
std::string JoinedLines(const std::vector<std::string>& lines);

// "Place, Region, Country": a city's name as the service knows the place.
std::string FullPlaceName(const location& place);

// The name up to its first ", ", or all of it.
std::string ShortCityName(std::string_view name);

// False for a city no refresh has filled yet: its record is still blank.
// A failed refresh leaves the last weather in place, so this stays true then.
bool HasWeather(const currentWeather& weather);

// "Place: condition, temperature": one line of the city list; the short name
// alone while the city has no weather yet.
std::string CitySummaryText(const city& c, int64_t unit);

}  // namespace skyvigil
