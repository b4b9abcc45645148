// Rain Ahead: said once before the rain, through refreshes of the scripted service.
#include "monitor/rain_ahead.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/hourly_weather.h"
#include "fakes/scripted_http.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using testing::DaysWithHours;
using testing::FormField;
using testing::MakeWet;

// London monitored, Rain Ahead on, its clock at 13:20 on 2024-03-06.
struct RainBed {
  RainBed() {
    h.places["London"] = {"London", "City of London", "United Kingdom", "Cloudy", 60, 15.6};
    h.places["London"].localtime = "2024-03-06 13:20";
    h.app.state.prefs.rain_ahead = 1;
    h.app.state.cities.push_back(h.CityAt("London", 1));
    // Already announced: the change check has nothing to say.
    h.app.state.cities[0].temp = 60;
    h.app.state.cities[0].condition = "Cloudy";
  }

  // The forecast's hours: dry, but rain (or snow) at these hours of the 6th.
  void WetAt(std::vector<int> hours, bool snow = false) {
    auto days = DaysWithHours({"2024-03-06", "2024-03-07"});
    for (int at : hours)
      MakeWet(days[0].hour[static_cast<size_t>(at)], snow);
    h.places["London"].hourly = days;
  }

  // One refresh; what it said.
  std::vector<std::string> Refresh() {
    h.announcer.events.clear();
    OnRefreshTimer(h.app);
    h.FinishRefreshes();
    return h.announcer.events;
  }

  AppHarness h;
};

const std::vector<std::string> kRainFrom3{"cue:condition", "news:London: rain likely from 3 PM."};

TEST(RainAhead, SaidOnceUntilADrySpellIsForeseen) {
  RainBed bed;
  const struct {
    const char* label;
    std::vector<int> wet_hours;
    std::vector<std::string> said;
  } refreshes[] = {
      {"dry ahead", {}, {}},
      {"rain four hours ahead: not yet news", {17}, {}},
      {"already falling: nothing", {13, 14, 15}, {}},
      {"the same rain goes on", {14, 15}, {}},
      {"a dry spell foreseen", {}, {}},
      {"rain at 3 PM: said", {15, 16}, kRainFrom3},
      {"still foreseen: not again", {15, 16}, {}},
      {"foreseen from 2 PM now: still the same rain", {14, 15}, {}},
      {"a dry spell again", {}, {}},
      {"rain again: said again", {15}, kRainFrom3},
  };
  for (const auto& r : refreshes) {
    bed.WetAt(r.wet_hours);
    EXPECT_EQ(bed.Refresh(), r.said) << r.label;
  }
}

TEST(RainAhead, LooksThreeHoursAheadAcrossMidnight) {
  RainBed bed;
  bed.h.places["London"].localtime = "2024-03-06 22:05";
  auto days = DaysWithHours({"2024-03-06", "2024-03-07"});
  MakeWet(days[1].hour[0], true);
  bed.h.places["London"].hourly = days;
  bed.h.app.state.prefs.monitor_sounds = 0;
  EXPECT_EQ(bed.Refresh(), std::vector<std::string>{"news:London: snow likely from 12 AM."});
}

TEST(RainAhead, ForecastRequestsPerCityAndSetting) {
  const struct {
    const char* label;
    int64_t rain_ahead;
    int64_t monitor;
    int64_t alerts;
    std::vector<std::string> forecast_days;  // the days asked for, one per forecast request
  } cases[] = {
      {"off, alerts on", 0, 1, 1, {"1"}},
      {"off, alerts off", 0, 1, 0, {}},
      {"on, monitored: two days", 1, 1, 0, {"2"}},
      {"on, monitored, alerts on: the same one request", 1, 1, 1, {"2"}},
      {"on, not monitored, alerts on", 1, 0, 1, {"1"}},
      {"on, not monitored", 1, 0, 0, {}},
  };
  for (const auto& c : cases) {
    RainBed bed;
    bed.h.app.state.prefs.rain_ahead = c.rain_ahead;
    bed.h.app.state.cities[0].monitor = c.monitor;
    bed.h.app.state.cities[0].alerts = c.alerts;
    bed.Refresh();
    std::vector<std::string> days;
    for (const HttpRequest& r : bed.h.http.requests) {
      if (r.url.ends_with("/forecast.json"))
        days.push_back(FormField(r.body, "days"));
    }
    EXPECT_EQ(days, c.forecast_days) << c.label;
  }
}

TEST(RainAhead, TheSettingIsSaidAndSaved) {
  AppHarness h;
  RunCommand(h.app, kRainAhead);
  RunCommand(h.app, kRainAhead);
  RunCommand(h.app, kRainAhead);
  EXPECT_EQ(h.announcer.events,
            (std::vector<std::string>{"say:Announce rain ahead on", "say:Announce rain ahead off",
                                      "say:Announce rain ahead on"}));
  EXPECT_NE(h.ReadFile("prefs.ini").find("rain_ahead = 1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace skyvigil
