// The summary's text, the forecasts it is made from, and its one fetch.
#include "monitor/summary.h"

#include <algorithm>
#include <utility>

#include "monitor/rain_ahead.h"
#include "monitor/refresh.h"
#include "present/format.h"
#include "present/hour_lines.h"
#include "state/fetch.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

constexpr int kFreshMinutes = 60;

// A day's figure in the display unit: the number alone, since the current
// temperature before it named the unit.
std::string DayTemperature(double fahrenheit, double celsius, int64_t unit) {
  const std::string f = IntText(RoundToWhole(fahrenheit));
  const std::string c = IntText(RoundToWhole(celsius));
  switch (unit) {
    case 0:
      return f;
    case 1:
      return c;
    case 2:
      return c + " (" + f + ")";
    case 3:
      return f + " (" + c + ")";
    default:
      return "";
  }
}

std::string_view DatePart(std::string_view localtime) {
  return localtime.substr(0, localtime.find(' '));
}

// " Rain likely from 3 PM." for the first wet hour left of the day, unless it
// is raining or snowing already.
std::string RainLater(const forecastday& today, const std::string& localtime) {
  const std::vector<hour> hours = HoursFrom({today}, localtime, 24);
  if (hours.empty() || BringsRainOrSnow(hours.front()))
    return {};
  const auto wet = std::find_if(hours.begin() + 1, hours.end(), BringsRainOrSnow);
  if (wet == hours.end())
    return {};
  return " " + RainOrSnow(*wet) + " likely from " + HourLabel(wet->time) + ".";
}

// " 2 alerts: Flood Warning, Wind Advisory.": each event once, in order.
std::string AlertsInForce(const std::vector<alert>& alerts) {
  std::vector<std::string> events;
  for (const alert& a : alerts) {
    const std::string& name = a.event.empty() ? a.headline : a.event;
    if (!name.empty() && std::find(events.begin(), events.end(), name) == events.end())
      events.push_back(name);
  }
  if (events.empty())
    return {};
  std::string text =
      " " + std::to_string(events.size()) + (events.size() == 1 ? " alert: " : " alerts: ");
  for (size_t i = 0; i < events.size(); ++i)
    text += (i > 0 ? ", " : "") + events[i];
  return text + ".";
}

city* SummaryCity(App& app) {
  auto& cities = app.state.cities;
  const int index = app.ui.CitySelection();
  if (index >= 0 && static_cast<size_t>(index) < cities.size())
    return &cities[static_cast<size_t>(index)];
  return cities.empty() ? nullptr : &cities.front();
}

const HeldForecast* HeldFor(const App& app, uint64_t city_id) {
  const auto held = app.state.held_forecasts.find(city_id);
  return held == app.state.held_forecasts.end() ? nullptr : &held->second;
}

}  // namespace

std::string SummaryText(const city& c, const HeldForecast* forecast, int64_t unit) {
  if (!HasWeather(c.weather))
    return "No weather yet for " + ShortCityName(c.name) + ".";
  std::string text = CitySummaryText(c, unit) + ".";
  const std::string& localtime = c.weather.location.localtime;
  if (forecast == nullptr)
    return text;
  const forecastday& today = forecast->today;
  if (localtime.empty() || DatePart(localtime) == today.date) {
    const day& d = today.day;
    text += " Today: high " + DayTemperature(d.maxtemp_f, d.maxtemp_c, unit) + ", low " +
            DayTemperature(d.mintemp_f, d.mintemp_c, unit) + ", " +
            IntText(d.daily_chance_of_rain) + " percent chance of rain.";
    text += RainLater(today, localtime);
  }
  return text + AlertsInForce(forecast->alerts);
}

void HoldForecast(App& app, uint64_t city_id, std::vector<forecastday> days,
                  std::vector<alert> alerts) {
  if (days.empty() || city_id == 0)
    return;
  app.state.held_forecasts[city_id] = {std::move(days.front()), std::move(alerts),
                                       app.clock.Today(), app.clock.Now()};
}

bool StillFresh(const HeldForecast& held, CivilDate today, TimeOfDay now) {
  const CivilDate& on = held.fetched_on;
  if (on.year != today.year || on.month != today.month || on.day != today.day)
    return false;
  const int age =
      (now.hour * 60 + now.minute) - (held.fetched_at.hour * 60 + held.fetched_at.minute);
  return age >= 0 && age < kFreshMinutes;
}

void SpeakSummary(App& app) {
  city* c = SummaryCity(app);
  if (c == nullptr)
    return;
  const HeldForecast* held = HeldFor(app, c->id);
  if (!HasWeather(c->weather) ||
      (held != nullptr && StillFresh(*held, app.clock.Today(), app.clock.Now()))) {
    app.announcer.Speak(SummaryText(*c, held, app.state.prefs.celcius), false);
    return;
  }
  // The list may change while the answer travels: the city's id finds it again.
  const uint64_t id = CityId(app.state.refresh, *c);
  FetchAnswers(app, Asker::summary, {ForecastRequest(app.state.service, c->name, 1)},
               [id](App& a, const std::vector<HttpResponse>& answers) {
                 const std::optional<size_t> index = CityIndex(a.state.cities, id);
                 if (!index)
                   return;
                 std::vector<forecastday> days;
                 std::vector<alert> alerts;
                 if (!answers.empty())
                   ApplyForecastAnswer(answers.front(), days, alerts);
                 HoldForecast(a, id, std::move(days), std::move(alerts));
                 const HeldForecast* fetched = HeldFor(a, id);
                 const bool fresh =
                     fetched != nullptr && StillFresh(*fetched, a.clock.Today(), a.clock.Now());
                 a.announcer.Speak(SummaryText(a.state.cities[*index], fresh ? fetched : nullptr,
                                               a.state.prefs.celcius),
                                   false);
               });
}

}  // namespace skyvigil
