// The spoken summary of one city, asked for by a key, the menu or a second
// start with --speak: its weather now, its day, the rain ahead and the alerts
// in force, in one short paragraph.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/app_state.h"

namespace skyvigil {

// "Paris: Sunny, 70 degrees F. Today: high 75, low 60, 10 percent chance of
// rain. Rain likely from 3 PM. 1 alert: Flood Warning." The day and the rain
// come from `forecast` (none when null) when its day is the city's today by
// the clock of the city's weather; temperatures in display unit `unit`.
// "No weather yet for Paris." while the city has no weather.
std::string SummaryText(const city& c, const HeldForecast* forecast, int64_t unit);

// Keeps an answer's first day and its alerts for the city with `city_id`,
// stamped with the clock's time; an answer without days keeps nothing.
void HoldForecast(App& app, uint64_t city_id, std::vector<forecastday> days,
                  std::vector<alert> alerts);

// A held forecast serves a summary for an hour after it came, the same day.
bool StillFresh(const HeldForecast& held, CivilDate today, TimeOfDay now);

// Speaks the selected city's summary (the first city's when none is
// selected): at once from a fresh held forecast, otherwise when one
// background fetch of its forecast has come, or failed.
void SpeakSummary(App& app);

}  // namespace skyvigil
