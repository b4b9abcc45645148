// The daily briefing: at a time the user chose, each monitored city's day
// (the selected city's when none is monitored), said with a fresh forecast.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "state/app_state.h"

namespace skyvigil {

// "HH:MM" or "H:MM", hours 0..23 and minutes 0..59; anything else is none.
std::optional<TimeOfDay> ParseBriefingTime(std::string_view text);

enum class BriefingStep { wait, give, skip };

// What to do at `now` with the briefing set for `at`, not yet given today: wait
// before its time; give it on time, or when it was missed (asleep, not
// running) and it is still the morning; skip it when missed after noon.
BriefingStep BriefingDue(TimeOfDay at, TimeOfDay now);

// Seconds until the timer should look again: the briefing's time, but never more
// than ten minutes, so a computer that slept past it notices soon after waking.
int SecondsUntilBriefingCheck(TimeOfDay at, TimeOfDay now);

// Looks at the clock: gives, skips or waits for the briefing, then sets the
// timer for the next look. Called by the timer and whenever the setting changes.
void OnBriefingTimer(App& app);

// At start: the day the briefing was last given, as prefs.ini keeps it, so it
// is not given twice that day.
void RecallBriefingDay(App& app);

// "Daily Briefing...": asks for "HH:MM", again after a message while the answer
// is neither a time nor empty; empty switches it off, Escape changes nothing.
void SetDailyBriefing(App& app);

}  // namespace skyvigil
