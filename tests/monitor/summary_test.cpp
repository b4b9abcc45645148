// The spoken summary: its text from a city and the forecast held for it, and
// where that forecast comes from (the refresh, or one fetch of its own).
#include "monitor/summary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/hourly_weather.h"
#include "monitor/refresh.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using testing::DaysWithHours;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::MakeWet;

city ParisAtNoon() {
  city c;
  c.name = "Paris, Ile-de-France, France";
  c.weather.condition.text = "Sunny";
  c.weather.temp_f = 70;
  c.weather.temp_c = 21;
  c.weather.location.name = "Paris";
  c.weather.location.localtime = "2024-03-06 12:05";
  return c;
}

// The 6th: high 75.2 F (24 C), low 60 F (15.6 C), 10 percent chance of rain,
// dry hours except those given.
HeldForecast Day(std::vector<int> wet_hours = {}, bool snow = false,
                 const std::string& date = "2024-03-06") {
  HeldForecast held;
  held.today = DaysWithHours({date})[0];
  held.today.day.maxtemp_f = 75.2;
  held.today.day.maxtemp_c = 24;
  held.today.day.mintemp_f = 60;
  held.today.day.mintemp_c = 15.6;
  held.today.day.daily_chance_of_rain = 10;
  for (int at : wet_hours)
    MakeWet(held.today.hour[static_cast<size_t>(at)], snow);
  return held;
}

HeldForecast WithAlerts(HeldForecast held, std::vector<std::string> events) {
  for (const std::string& event : events) {
    alert a;
    a.event = event;
    a.headline = event + " issued";
    held.alerts.push_back(a);
  }
  return held;
}

TEST(SummaryTextTest, NowTheDayTheRainAndTheAlertsInTheDisplayUnit) {
  const std::string now = "Paris: Sunny, 70 degrees F.";
  const std::string today = " Today: high 75, low 60, 10 percent chance of rain.";
  city blank;
  blank.name = "Paris, Ile-de-France, France";
  city without_clock = ParisAtNoon();
  without_clock.weather.location.localtime.clear();
  alert headline_only;
  headline_only.headline = "Heat advisory issued";
  HeldForecast unnamed = Day();
  unnamed.alerts = {headline_only, alert{}};
  const struct {
    const char* label;
    city c;
    std::optional<HeldForecast> forecast;
    int64_t unit;
    std::string text;
  } cases[] = {
      {"no forecast", ParisAtNoon(), std::nullopt, 0, now},
      {"a dry day", ParisAtNoon(), Day(), 0, now + today},
      {"rain from 3 PM, one alert", ParisAtNoon(), WithAlerts(Day({15, 16}), {"Flood Warning"}), 0,
       "Paris: Sunny, 70 degrees F. Today: high 75, low 60, 10 percent chance of rain. Rain "
       "likely from 3 PM. 1 alert: Flood Warning."},
      {"snow from 1 PM", ParisAtNoon(), Day({13}, true), 0,
       now + today + " Snow likely from 1 PM."},
      {"the current hour counts as now", ParisAtNoon(), Day({12, 13}), 0, now + today},
      {"rain gone by", ParisAtNoon(), Day({9, 10}), 0, now + today},
      {"rain in the last hour of the day", ParisAtNoon(), Day({23}), 0,
       now + today + " Rain likely from 11 PM."},
      {"each event once, in order", ParisAtNoon(),
       WithAlerts(Day(), {"Flood Warning", "Wind Advisory", "Flood Warning"}), 0,
       now + today + " 2 alerts: Flood Warning, Wind Advisory."},
      {"an alert without event by its headline, one without either not at all", ParisAtNoon(),
       unnamed, 0, now + today + " 1 alert: Heat advisory issued."},
      {"Celsius", ParisAtNoon(), Day({15}), 1,
       "Paris: Sunny, 21 Degrees C. Today: high 24, low 16, 10 percent chance of rain. Rain "
       "likely from 3 PM."},
      {"both, Celsius first", ParisAtNoon(), Day(), 2,
       "Paris: Sunny, 21 degrees C (70 degrees F). Today: high 24 (75), low 16 (60), 10 percent "
       "chance of rain."},
      {"both, Fahrenheit first", ParisAtNoon(), Day(), 3,
       "Paris: Sunny, 70 degrees F (21 degrees C). Today: high 75 (24), low 60 (16), 10 percent "
       "chance of rain."},
      {"yesterday's forecast: its alerts only", ParisAtNoon(),
       WithAlerts(Day({15}, false, "2024-03-05"), {"Flood Warning"}), 0,
       now + " 1 alert: Flood Warning."},
      {"no clock of the city: the day, but no hours", without_clock, Day({15}), 0, now + today},
      {"no weather yet", blank, WithAlerts(Day(), {"Flood Warning"}), 0,
       "No weather yet for Paris."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(SummaryText(c.c, c.forecast ? &*c.forecast : nullptr, c.unit), c.text);
  }
}

class SpeakSummaryTest : public ::testing::Test {
 protected:
  SpeakSummaryTest() {
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Paris"].days = 1;
    h.places["Paris"].alerts = {{"Moderate", "Flood Warning"}};
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
    h.places["Oslo"].days = 1;
    h.app.state.cities = {h.CityAt("Paris"), h.CityAt("Oslo")};
    h.app.state.main_window.selected_city = 0;
  }

  // What the summary said at once, and after its fetch (if any) came back.
  std::pair<std::vector<std::string>, std::vector<std::string>> Ask() {
    h.announcer.events.clear();
    RunCommand(h.app, kSpeakSummary);
    std::vector<std::string> at_once = h.announcer.events;
    h.FinishFetches();
    return {at_once, h.announcer.events};
  }

  AppHarness h;
};

const std::string kFetched =
    "say:Paris: Light rain, 50 degrees F. Today: high 55, low 45, 0 percent chance of rain. 1 "
    "alert: Flood Warning.";

// Held forecasts serve for an hour on the day they came; otherwise one fetch.
TEST_F(SpeakSummaryTest, AFreshHeldForecastAtOnceOtherwiseOneFetch) {
  HeldForecast held = Day();
  const std::string from_held =
      "say:Paris: Light rain, 50 degrees F. Today: high 75, low 60, 10 percent chance of rain.";
  const std::string now_only = "say:Paris: Light rain, 50 degrees F.";
  // `said` at once from the held forecast, else after one fetch.
  const struct {
    const char* label;
    std::optional<TimeOfDay> held_at;
    CivilDate held_on;
    bool service_down;
    bool at_once;
    std::string said;
  } cases[] = {
      {"held 59 minutes ago", TimeOfDay{11, 1}, {2024, 3, 6}, false, true, from_held},
      {"held an hour ago", TimeOfDay{11, 0}, {2024, 3, 6}, false, false, kFetched},
      {"held yesterday", TimeOfDay{11, 30}, {2024, 3, 5}, false, false, kFetched},
      {"held in a minute (clock set back)", TimeOfDay{12, 1}, {2024, 3, 6}, false, false, kFetched},
      {"nothing held", std::nullopt, {}, false, false, kFetched},
      {"nothing held, no answer", std::nullopt, {}, true, false, now_only},
      {"an old one held, no answer", TimeOfDay{9, 0}, {2024, 3, 6}, true, false, now_only},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    h.app.state.held_forecasts.clear();
    h.http.requests.clear();
    h.service_down = c.service_down;
    if (c.held_at) {
      held.fetched_at = *c.held_at;
      held.fetched_on = c.held_on;
      h.app.state.held_forecasts[CityId(h.app.state.refresh, h.app.state.cities[0])] = held;
    }
    const auto [at_once, after] = Ask();
    EXPECT_EQ(at_once, c.at_once ? std::vector<std::string>{c.said} : std::vector<std::string>{});
    EXPECT_THAT(after, ElementsAre(c.said));
    EXPECT_EQ(h.Queries("/forecast.json").size(), c.at_once ? 0u : 1u);
  }
}

TEST_F(SpeakSummaryTest, TheSelectedCityOrTheFirstAndNoFetchWithoutWeather) {
  city blank;
  blank.name = "Lima";
  h.app.state.cities.push_back(blank);
  const struct {
    int selection;
    std::vector<std::string> said;
  } cases[] = {
      {1, {"say:Oslo: Snow, 23 degrees F. Today: high 28, low 18, 0 percent chance of rain."}},
      {-1, {kFetched}},
      {7, {kFetched}},
      {2, {"say:No weather yet for Lima."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selection);
    h.app.state.held_forecasts.clear();
    h.app.state.main_window.selected_city = c.selection;
    EXPECT_EQ(Ask().second, c.said);
  }
  EXPECT_THAT(h.Queries("/forecast.json"),
              ElementsAre("Oslo, Oslo, Norway", "Paris, Ile-de-France, France",
                          "Paris, Ile-de-France, France"));
}

// A refresh that asks for a city's alerts holds its forecast: the summary
// needs no request of its own then. A second start's --speak asks the same.
TEST_F(SpeakSummaryTest, TheRefreshsForecastServesAndSpeakRequestsSayTheSame) {
  h.app.state.cities[0].alerts = 1;
  RefreshCities(h.app, RefreshMode::all_cities);
  h.FinishRefreshes();
  ASSERT_THAT(h.Queries("/forecast.json"), ElementsAre("Paris, Ile-de-France, France"));
  h.announcer.events.clear();
  OnSpeakRequest(h.app);
  EXPECT_THAT(h.announcer.events, ElementsAre(kFetched));
  EXPECT_EQ(h.Queries("/forecast.json").size(), 1u);
}

// Asked twice while the fetch travels: said once, when the later answer comes;
// a city removed meanwhile is not spoken of.
TEST_F(SpeakSummaryTest, OneFetchAwaitedAtATime) {
  RunCommand(h.app, kSpeakSummary);
  RunCommand(h.app, kSpeakSummary);
  h.FinishFetches();
  h.main_thread.RunPosted();
  EXPECT_THAT(h.announcer.events, ElementsAre(kFetched));

  h.announcer.events.clear();
  h.app.state.main_window.selected_city = 1;
  RunCommand(h.app, kSpeakSummary);
  h.app.state.cities.pop_back();
  h.FinishFetches();
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

}  // namespace
}  // namespace skyvigil
