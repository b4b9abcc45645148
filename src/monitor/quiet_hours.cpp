// The quiet-hours rule, its setting and the line said when they end.
#include "monitor/quiet_hours.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "monitor/briefing.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

// A computer asleep past the end notices it this soon after waking.
constexpr int kLongestWaitMinutes = 10;

int Minutes(TimeOfDay t) {
  return t.hour * 60 + t.minute;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

std::string TimeText(TimeOfDay t) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 100, t.minute % 100);
  return text;
}

std::optional<QuietHours> SetHours(const App& app) {
  return ParseQuietHours(app.state.prefs.quiet_hours);
}

void ArmEndCheck(App& app, const QuietHours& hours) {
  QuietState& q = app.state.quiet;
  if (q.end_check_set || app.core == nullptr)
    return;
  q.end_check_set = true;
  int minutes = Minutes(hours.until) - Minutes(app.clock.Now());
  if (minutes <= 0)
    minutes += 24 * 60;
  minutes = std::min(minutes, kLongestWaitMinutes);
  app.main_thread.PostAfter(std::chrono::minutes(minutes), [core = app.core] {
    core->PostToCore([](App& a) {
      a.state.quiet.end_check_set = false;
      CheckQuietEnd(a);
    });
  });
}

// Says what was held once the hours are over; true while they still hold.
bool StillQuiet(App& app) {
  const std::optional<QuietHours> hours = SetHours(app);
  if (hours && InQuietHours(*hours, app.clock.Now()))
    return true;
  QuietState& q = app.state.quiet;
  if (q.held > 0)
    app.announcer.SpeakInBackground(QuietEndText(q.held));
  q.held = 0;
  return false;
}

}  // namespace

std::optional<QuietHours> ParseQuietHours(std::string_view text) {
  const size_t dash = text.find('-');
  if (dash == std::string_view::npos)
    return std::nullopt;
  const std::optional<TimeOfDay> from = ParseBriefingTime(Trimmed(text.substr(0, dash)));
  const std::optional<TimeOfDay> until = ParseBriefingTime(Trimmed(text.substr(dash + 1)));
  if (!from || !until || Minutes(*from) == Minutes(*until))
    return std::nullopt;
  return QuietHours{*from, *until};
}

std::string QuietHoursText(const QuietHours& hours) {
  return TimeText(hours.from) + "-" + TimeText(hours.until);
}

bool InQuietHours(const QuietHours& hours, TimeOfDay now) {
  const int from = Minutes(hours.from);
  const int until = Minutes(hours.until);
  const int at = Minutes(now);
  if (from < until)
    return from <= at && at < until;
  return at >= from || at < until;
}

bool HeldWhileQuiet(News kind, std::string_view severity) {
  if (kind != News::alert)
    return true;
  std::string lower(severity);
  for (char& c : lower)
    c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return lower != "extreme" && lower != "severe";
}

std::string QuietEndText(int held) {
  if (held <= 0)
    return {};
  return "While it was quiet: " + std::to_string(held) + (held == 1 ? " change" : " changes") +
         ". Open History with Control+H.";
}

bool HoldsNews(App& app, News kind, std::string_view severity) {
  return StillQuiet(app) && HeldWhileQuiet(kind, severity);
}

void KeepQuietly(App& app, const std::string& text) {
  app.announcer.KeepUnspoken(text + " (quiet)");
  ++app.state.quiet.held;
  if (const std::optional<QuietHours> hours = SetHours(app))
    ArmEndCheck(app, *hours);
}

void TellNews(App& app, News kind, const std::string& text, std::optional<Cue> cue) {
  if (HoldsNews(app, kind)) {
    KeepQuietly(app, text);
    return;
  }
  if (cue)
    app.announcer.PlayCue(*cue);
  app.announcer.SpeakInBackground(text);
}

void CheckQuietEnd(App& app) {
  if (StillQuiet(app) && app.state.quiet.held > 0)
    ArmEndCheck(app, *SetHours(app));
}

void SetQuietHours(App& app) {
  Preferences& p = app.state.prefs;
  std::string prompt =
      "Please enter the hours, as HH:MM-HH:MM, during which only Extreme and Severe alerts are "
      "said. Leave it empty to switch quiet hours off.";
  std::string answer = p.quiet_hours;
  std::optional<QuietHours> hours;
  for (;;) {
    answer = app.ui.AskText("Quiet Hours", prompt, answer).value_or("");
    hours = ParseQuietHours(answer);
    if (answer.empty() || hours)
      break;
    prompt = "Type hours like 22:00-07:00, or leave the box empty to switch quiet hours off.";
  }
  p.quiet_hours = hours ? QuietHoursText(*hours) : std::string();
  SavePreferences(p, app.state.paths.prefs_file);
  app.announcer.Speak(
      hours ? "Quiet hours from " + TimeText(hours->from) + " to " + TimeText(hours->until)
            : std::string("Quiet hours off"),
      false);
  CheckQuietEnd(app);
}

}  // namespace skyvigil
