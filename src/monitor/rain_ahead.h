// Rain Ahead: a monitored city's rain or snow said once, before it comes, from
// the forecast hours each refresh brings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/app_state.h"

namespace skyvigil {

// The hour will bring rain or snow.
bool BringsRainOrSnow(const hour& h);
// "Snow" when snow is the likelier, "Rain" otherwise.
std::string RainOrSnow(const hour& h);

// What the hours from the city's own clock hold: rain or snow now, and the
// first of the next three hours that will bring either.
struct WetOutlook {
  bool known = false;    // the answer held the current hour
  bool falling = false;  // the current hour brings rain or snow
  std::optional<hour> ahead;
};
WetOutlook LookAhead(const std::vector<forecastday>& days, std::string_view localtime);

// After a refresh: says the city's rain ahead (condition cue, then
// RainAheadText) unless it falls already or the last refresh foresaw it
// already. An answer without hours changes nothing.
void TellRainAhead(App& app, const city& c, const std::vector<forecastday>& days,
                   std::string_view localtime);

// "Announce Rain Ahead" on or off.
void ToggleRainAhead(App& app);

}  // namespace skyvigil
