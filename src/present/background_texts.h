// The texts of news nobody asked for at that moment, each naming its city
// first: an alert's new end, rain ahead, the daily briefing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "weather/records.h"

namespace skyvigil {

// "6 PM Tuesday" for an alert's time "yyyy-mm-ddThh:mm:ss+hh:mm", the clock
// as the alert writes it (its own offset); "6:30 PM Tuesday" off the hour.
// Any other text is returned as it came.
std::string AlertTimeText(std::string_view time);

// "<city>: <event> extended until 6 PM Tuesday.", for an alert re-sent with a later end.
std::string AlertExtendedText(std::string_view city_name, const alert& a);

// "<city>: rain likely from 3 PM." or "<city>: snow likely from 3 PM.": snow
// when only snow is foreseen, or both are and snow is likelier.
std::string RainAheadText(std::string_view city_name, const hour& first_wet);

// "Today in <city>: <condition>, high <t>, low <t>, <n> percent chance of rain."
std::string BriefingText(std::string_view city_name, const forecastday& today, int64_t unit);

}  // namespace skyvigil
