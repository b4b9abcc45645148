// Plan, perform and apply of the background refresh.
#include "monitor/refresh.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "monitor/rain_ahead.h"
#include "monitor/service_outcome.h"
#include "present/hour_lines.h"
#include "weather/cities_store.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

// The days of an alert request; only its alerts are used.
constexpr int kAlertForecastDays = 1;
// Rain Ahead looks three hours past the city's clock, which may be tomorrow.
constexpr int kRainAheadForecastDays = 2;

// An alert is the same one while its event, headline and start stay; a later
// end makes it the same alert extended.
std::string AlertIdentity(const alert& a) {
  return a.event + '\n' + a.headline + '\n' + a.effective;
}

// With alerts_once on, only alerts not spoken before for this city are spoken,
// an extended one by its new end only, and the cue sounds only when one is.
void SpeakAlerts(App& app, const city& c, const std::vector<alert>& alerts) {
  AppState& s = app.state;
  std::vector<std::string> texts;
  for (const alert& a : alerts) {
    const auto [spoken, new_one] = s.spoken_alerts.try_emplace({c.id, AlertIdentity(a)}, a.expires);
    const bool once = s.prefs.alerts_once == 1;
    // Both ends are written alike by the service, so text order is time order.
    const bool extended = !new_one && a.expires > spoken->second;
    const bool changed = !new_one && a.expires != spoken->second;
    spoken->second = a.expires;
    if (once && extended) {
      texts.push_back(c.name + ": " + AlertExtendedText(a));
      continue;
    }
    if (once && !new_one && !changed)
      continue;
    std::string text = c.name + ": ";
    if (!a.severity.empty())
      text += a.severity + " ";
    text += a.event + ". View the forecast For more.";
    texts.push_back(text);
  }
  if (texts.empty())
    return;
  app.announcer.PlayCue(Cue::alert);
  for (const std::string& text : texts)
    app.announcer.SpeakAlert(text);
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
  if (r.worker.joinable())
    r.worker.join();
  CorePoster* core = app.core;
  if (r.plan.requests.empty()) {
    core->PostToCore([](App& a) { FinishRefresh(a, {}); });
    return;
  }
  // The worker sees only the client and its copy of the requests, never the state.
  r.worker_done = std::make_shared<WorkerDone>();
  r.worker =
      std::thread([&http = app.http, core, requests = r.plan.requests, done = r.worker_done] {
        std::vector<HttpResponse> answers = http.PerformBatch(requests);
        core->PostToCore([answers = std::move(answers)](App& a) { FinishRefresh(a, answers); });
        std::lock_guard lock(done->mutex);
        done->done = true;
        done->signal.notify_all();
      });
}

void FinishRefresh(App& app, const std::vector<HttpResponse>& answers) {
  RefreshState& r = app.state.refresh;
  if (r.stopped || !r.running)
    return;
  if (r.worker.joinable())
    r.worker.join();
  ApplyRefresh(app, r.plan, answers);
  r.plan = {};
  r.running = false;
  r.first_pending = false;
  const std::vector<CoreWork> then = std::exchange(r.then, {});
  for (const CoreWork& step : then)
    step(app);
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
    location place;
    if (planned.forecast_answer) {
      std::vector<alert> alerts;
      ApplyForecastAnswer(AnswerAt(answers, *planned.forecast_answer), days, alerts, &place);
      if (planned.speak_alerts)
        SpeakAlerts(app, c, alerts);
    }
    RewriteName(c);
    if (planned.rain_ahead)
      TellRainAhead(app, c, days, place.localtime);
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
  RefreshState& r = app.state.refresh;
  r.stopped = true;
  r.running = false;
  app.http.Abort();
  if (!r.worker.joinable())
    return;
  // A client that cannot cut a request short would hold the exit until that
  // request's own time limit; the process ends right after this, so a worker
  // still waiting then is left to it.
  constexpr auto kExitWait = std::chrono::seconds(2);
  std::unique_lock lock(r.worker_done->mutex);
  if (r.worker_done->signal.wait_for(lock, kExitWait, [&r] { return r.worker_done->done; })) {
    lock.unlock();
    r.worker.join();
  } else {
    lock.unlock();
    r.worker.detach();
  }
}

}  // namespace skyvigil
