// Quiet hours: during the hours the user set, background news is kept in the
// history unsaid and without its cue; Extreme and Severe alerts are still
// said, and what the user asks for always is. When they end, one line says
// how much was held.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "state/app_state.h"

namespace skyvigil {

struct QuietHours {
  TimeOfDay from;
  TimeOfDay until;  // the first minute that is no longer quiet
};

// "22:00-07:00": two times as the briefing reads them, blanks allowed around
// the "-"; two equal times are no hours at all. Anything else is none.
std::optional<QuietHours> ParseQuietHours(std::string_view text);
// "22:00-07:00".
std::string QuietHoursText(const QuietHours& hours);

// From `from` up to `until`, across midnight when `until` comes first.
bool InQuietHours(const QuietHours& hours, TimeOfDay now);

// The kinds of news nobody asked for at that moment.
enum class News { condition, temperature, rain_ahead, service, alert };

// What quiet hours do with news of `kind` (an alert's `severity`): true when
// it is kept unsaid, false when it is said all the same.
bool HeldWhileQuiet(News kind, std::string_view severity);

// "While it was quiet: 4 changes. Open History with Control+H."; empty for
// nothing held.
std::string QuietEndText(int held);

// The quiet hours of the settings hold `kind` of news at the clock's time.
// Quiet hours that have ended meanwhile first say what they held.
bool HoldsNews(App& app, News kind, std::string_view severity = {});
// Keeps `text` in the history marked "(quiet)", counts it, and sets a timer
// for the end of quiet hours.
void KeepQuietly(App& app, const std::string& text);
// Background news: said after its cue, or kept quietly.
void TellNews(App& app, News kind, const std::string& text, std::optional<Cue> cue);

// The timer's look, and after the setting changed: once quiet hours are over,
// says what they held.
void CheckQuietEnd(App& app);

// "Quiet Hours...": asks for "HH:MM-HH:MM"; empty switches them off.
void SetQuietHours(App& app);

}  // namespace skyvigil
