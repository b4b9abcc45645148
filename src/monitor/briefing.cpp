// The briefing's clock rule, its text, and its fetch beside the refresh.
#include "monitor/briefing.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "present/background_texts.h"
#include "present/format.h"
#include "state/fetch.h"
#include "weather/prefs.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

constexpr int kNoon = 12 * 60;
// A timer may fire a little late; later than this the briefing counts as missed.
constexpr int kOnTimeMinutes = 5;
constexpr int kLongestWaitSeconds = 10 * 60;

int Minutes(TimeOfDay t) {
  return t.hour * 60 + t.minute;
}

bool SameDay(const CivilDate& a, const CivilDate& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// "yyyy-mm-dd", as prefs.ini keeps the day the briefing was given.
std::string DayText(const CivilDate& d) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return text;
}

std::optional<CivilDate> ReadDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-')
    return std::nullopt;
  int parts[3] = {0, 0, 0};
  const std::pair<size_t, size_t> spans[3] = {{0, 4}, {5, 2}, {8, 2}};
  for (int i = 0; i < 3; ++i) {
    for (size_t at = spans[i].first; at < spans[i].first + spans[i].second; ++at) {
      if (text[at] < '0' || text[at] > '9')
        return std::nullopt;
      parts[i] = parts[i] * 10 + (text[at] - '0');
    }
  }
  return CivilDate{parts[0], parts[1], parts[2]};
}

constexpr char kBriefingTitle[] = "Daily Briefing";
constexpr char kBriefingPrompt[] =
    "Please enter the time of day, as HH:MM, at which the day's weather is said. Leave it empty "
    "to switch the briefing off.";
constexpr char kBriefingRefused[] =
    "Type a time like 07:30, or leave the box empty to switch the briefing off.";

// The monitored cities, or the selected one when none is.
std::vector<const city*> BriefedCities(App& app) {
  std::vector<const city*> chosen;
  for (const city& c : app.state.cities) {
    if (c.monitor == 1)
      chosen.push_back(&c);
  }
  const int index = app.ui.CitySelection();
  if (chosen.empty() && index >= 0 && static_cast<size_t>(index) < app.state.cities.size())
    chosen.push_back(&app.state.cities[static_cast<size_t>(index)]);
  return chosen;
}

void SayBriefings(App& app, const std::vector<std::string>& names,
                  const std::vector<HttpResponse>& answers) {
  for (size_t i = 0; i < names.size() && i < answers.size(); ++i) {
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    ApplyForecastAnswer(answers[i], days, alerts);
    if (!days.empty())
      app.announcer.SpeakInBackground(
          BriefingText(names[i], days.front(), app.state.prefs.celcius));
  }
}

void GiveBriefing(App& app) {
  std::vector<std::string> names;
  std::vector<HttpRequest> requests;
  for (const city* c : BriefedCities(app)) {
    names.push_back(ShortCityName(c->name));
    requests.push_back(ForecastRequest(app.state.service, c->name, 1));
  }
  if (requests.empty())
    return;
  FetchAnswers(app, Asker::briefing, std::move(requests),
               [names = std::move(names)](App& a, const std::vector<HttpResponse>& answers) {
                 SayBriefings(a, names, answers);
               });
}

}  // namespace

std::optional<TimeOfDay> ParseBriefingTime(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  int numbers[2] = {0, 0};
  const std::string_view parts[2] = {text.substr(0, colon), text.substr(colon + 1)};
  for (int i = 0; i < 2; ++i) {
    for (const char c : parts[i]) {
      if (c < '0' || c > '9')
        return std::nullopt;
      numbers[i] = numbers[i] * 10 + (c - '0');
    }
  }
  if (numbers[0] > 23 || numbers[1] > 59)
    return std::nullopt;
  return TimeOfDay{numbers[0], numbers[1]};
}

BriefingStep BriefingDue(TimeOfDay at, TimeOfDay now) {
  const int late = Minutes(now) - Minutes(at);
  if (late < 0)
    return BriefingStep::wait;
  if (late <= kOnTimeMinutes || Minutes(now) < kNoon)
    return BriefingStep::give;
  return BriefingStep::skip;
}

int SecondsUntilBriefingCheck(TimeOfDay at, TimeOfDay now) {
  int minutes = Minutes(at) - Minutes(now);
  if (minutes <= 0)
    minutes += 24 * 60;  // tomorrow's
  return std::min(minutes * 60, kLongestWaitSeconds);
}

void OnBriefingTimer(App& app) {
  const std::optional<TimeOfDay> at = ParseBriefingTime(app.state.prefs.briefing);
  if (!at)
    return;  // off: the timer is not set again
  BriefingState& b = app.state.briefing;
  const CivilDate today = app.clock.Today();
  const TimeOfDay now = app.clock.Now();
  if (!b.done_on || !SameDay(*b.done_on, today)) {
    const BriefingStep step = BriefingDue(*at, now);
    if (step != BriefingStep::wait)
      b.done_on = today;
    if (step == BriefingStep::give) {
      // Kept, so a restart or an update later today does not give it again.
      app.state.prefs.briefing_given = DayText(today);
      SavePreferences(app.state.prefs, app.state.paths.prefs_file);
      GiveBriefing(app);
    }
  }
  app.ui.StartBriefingTimer(SecondsUntilBriefingCheck(*at, now));
}

void RecallBriefingDay(App& app) {
  app.state.briefing.done_on = ReadDay(app.state.prefs.briefing_given);
}

void SetDailyBriefing(App& app) {
  Preferences& p = app.state.prefs;
  std::string answer = p.briefing;
  // Asked again, with what was typed, until it is a time or empty.
  while (true) {
    const std::optional<std::string> typed =
        app.ui.AskText(kBriefingTitle, kBriefingPrompt, answer);
    if (!typed)
      return;  // Escape: the setting stays as it was
    answer = *typed;
    if (answer.empty() || ParseBriefingTime(answer))
      break;
    app.ui.ShowMessage(kBriefingTitle, kBriefingRefused, MessageIcon::error);
  }
  p.briefing = answer;
  SavePreferences(p, app.state.paths.prefs_file);
  app.announcer.Speak(answer.empty() ? "Daily briefing off" : "Daily briefing at " + answer, false);
  // A time set for later today is given today.
  app.state.briefing.done_on.reset();
  if (answer.empty())
    return;
  const std::optional<TimeOfDay> at = ParseBriefingTime(answer);
  // Set after its time: from tomorrow, not at once.
  if (BriefingDue(*at, app.clock.Now()) != BriefingStep::wait)
    app.state.briefing.done_on = app.clock.Today();
  app.ui.StartBriefingTimer(SecondsUntilBriefingCheck(*at, app.clock.Now()));
}

}  // namespace skyvigil
