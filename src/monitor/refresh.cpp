// Plan, perform and apply of the background refresh.
#include "monitor/refresh.h"

#include <algorithm>
#include <utility>

#include "monitor/quiet_hours.h"
#include "monitor/rain_ahead.h"
#include "monitor/service_outcome.h"
#include "monitor/summary.h"
#include "present/background_texts.h"
#include "state/fetch.h"
#include "weather/cities_store.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

// The days of an alert request; only its alerts are used.
constexpr int kAlertForecastDays = 1;
// Rain Ahead looks three hours past the city's clock, which may be tomorrow.
constexpr int kRainAheadForecastDays = 2;

// An alert is the same one while its event and areas stay: a re-issue brings a
// new headline and start, and a later end makes it the same alert extended.
std::string AlertIdentity(const alert& a) {
  return a.event + '\n' + a.areas;
}

// Where the announcer tells what became of an alert handed to it: heard, it
// counts as spoken with the end it was told with; cut off unheard (a key
// pressed), it may be spoken again.
void NoteAlertFate(App& app, const std::pair<uint64_t, std::string>& alert_key,
                   const std::string& expires, bool heard) {
  auto& in_speech = app.state.alerts_in_speech;
  if (const auto it = in_speech.find(alert_key); it != in_speech.end())
    in_speech.erase(it);
  if (heard)
    app.state.spoken_alerts[alert_key] = expires;
}

// With alerts_once on, only alerts not heard before for this city (nor on
// their way to speech) are spoken, an extended one by its new end only, and
// the cue sounds only when one is.
void SpeakAlerts(App& app, const city& c, const std::vector<alert>& alerts) {
  AppState& s = app.state;
  struct Told {
    std::pair<uint64_t, std::string> key;
    std::string expires;
    std::string text;
    std::string severity;
  };
  std::vector<Told> told;
  for (const alert& a : alerts) {
    auto alert_key = std::make_pair(c.id, AlertIdentity(a));
    const auto heard = s.spoken_alerts.find(alert_key);
    const bool known = heard != s.spoken_alerts.end() || s.alerts_in_speech.contains(alert_key);
    // Both ends are written alike by the service, so text order is time order.
    const bool extended = heard != s.spoken_alerts.end() && a.expires > heard->second;
    const bool shortened = heard != s.spoken_alerts.end() && a.expires < heard->second;
    std::string text;
    if (s.prefs.alerts_once == 1 && extended) {
      text = AlertExtendedText(c.name, a);
    } else if (s.prefs.alerts_once != 1 || !known || shortened) {
      text = c.name + ": " + (a.severity.empty() ? "" : a.severity + " ") + a.event +
             ". View the forecast For more.";
    } else {
      continue;
    }
    told.push_back({std::move(alert_key), a.expires, std::move(text), a.severity});
  }
  // Quiet hours keep the milder ones in the history, as heard: the line at
  // their end sends the user there.
  std::erase_if(told, [&app](const Told& t) {
    if (!HoldsNews(app, News::alert, t.severity))
      return false;
    KeepQuietly(app, t.text);
    app.state.spoken_alerts[t.key] = t.expires;
    return true;
  });
  if (told.empty())
    return;
  app.announcer.PlayCue(Cue::alert);
  for (Told& t : told) {
    s.alerts_in_speech.insert(t.key);
    // The fate may come on the speech layer's thread: it is noted on the core's.
    app.announcer.SpeakAlert(t.text, [core = app.core, key = t.key,
                                      expires = t.expires](bool heard) {
      if (core != nullptr)
        core->PostToCore([key, expires, heard](App& a) { NoteAlertFate(a, key, expires, heard); });
    });
  }
}

// The city's name becomes the place the service answered for. A record that
// holds no place (the first request for a typed query failed) keeps the
// typed name, so the city can still be fetched next time.
void RewriteName(city& c) {
  const location& place = c.weather.location;
  if (place.name.empty())
    return;
  c.name = place.name + ", " + place.region + ", " + place.country;
}

const HttpResponse& AnswerAt(const std::vector<HttpResponse>& answers, size_t index) {
  static const HttpResponse kNoAnswer;
  return index < answers.size() ? answers[index] : kNoAnswer;
}

void FinishRefresh(App& app, const std::vector<HttpResponse>& answers);

void Launch(App& app, RefreshMode mode, std::vector<CoreWork> then) {
  RefreshState& r = app.state.refresh;
  r.running = true;
  r.then = std::move(then);
  r.plan = PlanRefresh(app.state, mode);
  if (r.plan.requests.empty()) {
    app.core->PostToCore([](App& a) { FinishRefresh(a, {}); });
    return;
  }
  FetchAnswers(app, Asker::refresh, r.plan.requests,
               [](App& a, const std::vector<HttpResponse>& answers) { FinishRefresh(a, answers); });
}

void FinishRefresh(App& app, const std::vector<HttpResponse>& answers) {
  RefreshState& r = app.state.refresh;
  if (r.stopped || !r.running)
    return;
  ApplyRefresh(app, r.plan, answers);
  r.plan = {};
  r.running = false;
  r.first_pending = false;
  const std::vector<CoreWork> then = std::exchange(r.then, {});
  for (const CoreWork& step : then)
    step(app);
  // Once this task and the answers it holds are gone.
  app.core->PostToCore([](App& a) { a.process.ReleaseFreedMemory(); });
  if (r.queued && !r.running) {
    const RefreshMode mode = *r.queued;
    r.queued.reset();
    Launch(app, mode, std::exchange(r.queued_then, {}));
  }
}

}  // namespace

uint64_t CityId(RefreshState& refresh, city& c) {
  if (c.id == 0)
    c.id = ++refresh.last_city_id;
  return c.id;
}

std::optional<size_t> CityIndex(const std::vector<city>& cities, uint64_t id) {
  const auto it = std::find_if(cities.begin(), cities.end(),
                               [id](const city& c) { return id != 0 && c.id == id; });
  if (it == cities.end())
    return std::nullopt;
  return static_cast<size_t>(it - cities.begin());
}

RefreshPlan PlanRefresh(AppState& state, RefreshMode mode) {
  RefreshPlan plan;
  for (city& c : state.cities) {
    if (mode == RefreshMode::new_cities && c.weather.temp_c > 0.0)
      continue;
    PlannedCity planned;
    planned.city_id = CityId(state.refresh, c);
    planned.current_answer = plan.requests.size();
    plan.requests.push_back(CurrentWeatherRequest(state.service, c.name));
    planned.speak_alerts = c.alerts == 1;
    planned.rain_ahead = state.prefs.rain_ahead == 1 && c.monitor == 1;
    // One forecast request serves both: its answer always holds the alerts.
    if (planned.speak_alerts || planned.rain_ahead) {
      planned.forecast_answer = plan.requests.size();
      plan.requests.push_back(ForecastRequest(
          state.service, c.name, planned.rain_ahead ? kRainAheadForecastDays : kAlertForecastDays));
    }
    plan.cities.push_back(planned);
  }
  return plan;
}

void ApplyRefresh(App& app, const RefreshPlan& plan, const std::vector<HttpResponse>& answers) {
  AppState& s = app.state;
  // An empty list comes only from a cities.json that holds no list (the last
  // city can't be removed without ending the program): saving "[]" over that
  // file would destroy whatever it holds.
  if (s.cities.empty())
    return;
  // Planned cities keep their list order: the list only grows at its end or loses cities.
  for (const PlannedCity& planned : plan.cities) {
    const std::optional<size_t> index = CityIndex(s.cities, planned.city_id);
    if (!index)
      continue;  // removed while its answers travelled
    city& c = s.cities[*index];
    const HttpResponse& current = AnswerAt(answers, planned.current_answer);
    ApplyCurrentWeatherAnswer(current, c.weather);
    if (ClassifyAnswer(current) == ServiceProblem::unknown_place)
      s.refresh.unknown_places.insert(c.id);
    else
      s.refresh.unknown_places.erase(c.id);
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    location place;
    if (planned.forecast_answer) {
      ApplyForecastAnswer(AnswerAt(answers, *planned.forecast_answer), days, alerts, &place);
      if (planned.speak_alerts)
        SpeakAlerts(app, c, alerts);
    }
    RewriteName(c);
    if (planned.rain_ahead)
      TellRainAhead(app, c, days, place.localtime);
    HoldForecast(app, c.id, std::move(days), std::move(alerts));
  }
  SaveCities(s.cities, s.paths.cities_file);
  TellRefreshOutcome(app, answers);
}

void RefreshCities(App& app, RefreshMode mode, CoreWork then) {
  RefreshState& r = app.state.refresh;
  if (r.stopped)
    return;
  std::vector<CoreWork> steps;
  if (then)
    steps.push_back(std::move(then));
  if (!r.running) {
    Launch(app, mode, std::move(steps));
    return;
  }
  const bool all = mode == RefreshMode::all_cities || r.queued == RefreshMode::all_cities;
  r.queued = all ? RefreshMode::all_cities : RefreshMode::new_cities;
  for (CoreWork& step : steps)
    r.queued_then.push_back(std::move(step));
}

void StopRefresh(App& app) {
  app.state.refresh.stopped = true;
  app.state.refresh.running = false;
  StopFetches(app);
}

}  // namespace skyvigil
