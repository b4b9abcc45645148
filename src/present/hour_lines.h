// The lines of the next hours and of one alert's details: short phrases a
// screen reader reads one at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "weather/records.h"

namespace skyvigil {

// "3 PM" for a forecast hour "yyyy-mm-dd 15:00"; "12 AM" at midnight, "12 PM" at
// noon. Any other text is returned as it came.
std::string HourLabel(std::string_view time);

// Snow is named when its chance is the greater one, rain otherwise.
bool SnowIsLikelier(const hour& h);

// Of the rain and snow the hour brings, snow is the one to name: it brings
// only snow, or both with snow the likelier.
bool SnowIsNamed(const hour& h);

// "3 PM: Light rain, 64 degrees F, 80 percent chance of rain", the condition
// trimmed and the temperature written as the current report writes it in
// display unit `unit`.
std::string HourLine(const hour& h, int64_t unit);

// Up to `count` hours of `days`, from the hour of `localtime` ("yyyy-mm-dd h:mm",
// the city's own clock) on, across midnight into the following days. A
// localtime that cannot be read gives none.
std::vector<hour> HoursFrom(const std::vector<forecastday>& days, std::string_view localtime,
                            size_t count);

// The Next Hours window's lines: 24 hours from the hour of `localtime`.
std::vector<std::string> NextHourLines(const std::vector<forecastday>& days,
                                       std::string_view localtime, int64_t unit);

// The Alert window's lines, one per field the alert has: the headline,
// "Severity: ", "Urgency: ", "Areas: ", "From ", "Until ", then the description
// and the instruction split into sentences.
std::vector<std::string> AlertDetailLines(const alert& a);

// `text` cut after each sentence's ".", "!" or "?" that a blank or the end
// follows, and at each line break; blanks around the pieces and empty pieces go.
std::vector<std::string> Sentences(std::string_view text);

}  // namespace skyvigil
