// The refresh, the change check and the switches.
#include "monitor/monitor_cycle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "fakes/app_harness.h"
#include "weather/cities_store.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using testing::FakePlace;
using ::testing::IsEmpty;

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
  }

  // A monitored city whose last announced values are `temp` and `condition`
  // and whose fetched weather holds `now_temp` and `now_condition`.
  city Monitored(double temp, double now_temp, const std::string& condition = "Sunny",
                 const std::string& now_condition = "Sunny") {
    city c = h.CityAt("Springfield", 1);
    c.temp = temp;
    c.condition = condition;
    c.weather.temp_f = now_temp;
    c.weather.condition.text = now_condition;
    return c;
  }

  std::vector<city> Saved() {
    std::vector<city> saved;
    LoadCities(saved, h.app.state.paths.cities_file,
               [](std::vector<city>&) { FAIL() << "unreadable"; });
    return saved;
  }

  AppHarness h;
};

struct TemperatureCase {
  const char* label;
  double announced;
  double now;
  int64_t temp_diff;
  int64_t sounds;
  std::vector<std::string> events;
  double announced_after;
};

TEST_F(MonitorTest, TemperatureIsAnnouncedOnlyWhenItMovedByMoreThanTheDifference) {
  const std::vector<TemperatureCase> cases = {
      {"equal to the difference", 70, 80, 10, 1, {}, 70},
      {"rise past the difference",
       70,
       80.5,
       10,
       1,
       {"cue:up", "news:Springfield: 80.5 Degrees"},
       80.5},
      {"fall past the difference", 60, 45, 10, 1, {"cue:down", "news:Springfield: 45 Degrees"}, 45},
      {"rise from 45 to 60", 45, 60, 10, 1, {"cue:up", "news:Springfield: 60 Degrees"}, 60},
      {"no cue without monitor sounds", 60, 45, 10, 0, {"news:Springfield: 45 Degrees"}, 45},
      {"sounds other than exactly 1 are off", 45, 60, 10, 2, {"news:Springfield: 60 Degrees"}, 60},
      {"zero difference announces any change",
       70,
       70.1,
       0,
       1,
       {"cue:up", "news:Springfield: 70.1 Degrees"},
       70.1},
      {"unchanged", 70, 70, 0, 1, {}, 70},
      {"whole numbers lose the point",
       50,
       72.0,
       10,
       1,
       {"cue:up", "news:Springfield: 72 Degrees"},
       72},
      {"negative difference announces everything",
       70,
       70.5,
       -1,
       1,
       {"cue:up", "news:Springfield: 70.5 Degrees"},
       70.5},
  };
  for (const TemperatureCase& c : cases) {
    SCOPED_TRACE(c.label);
    h.announcer.events.clear();
    h.app.state.cities = {Monitored(c.announced, c.now)};
    h.app.state.prefs.temp_diff = c.temp_diff;
    h.app.state.prefs.monitor_sounds = c.sounds;
    MonitorCheck(h.app);
    EXPECT_EQ(h.announcer.events, c.events);
    EXPECT_EQ(h.app.state.cities[0].temp, c.announced_after);
  }
}

TEST_F(MonitorTest, SmallChangesAddUpUntilTheyPassTheDifference) {
  h.app.state.cities = {Monitored(70, 70)};
  for (double reading : {75.0, 78.0, 81.0}) {
    h.app.state.cities[0].weather.temp_f = reading;
    MonitorCheck(h.app);
  }
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:up", "news:Springfield: 81 Degrees"));
}

TEST_F(MonitorTest, ConditionComesBeforeTemperatureEachWithItsCue) {
  h.app.state.cities = {Monitored(50, 70, "Sunny", "Partly Cloudy")};
  MonitorCheck(h.app);
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:condition", "news:Springfield: Partly Cloudy",
                                              "cue:up", "news:Springfield: 70 Degrees"));
  EXPECT_EQ(h.app.state.cities[0].condition, "Partly Cloudy");
}

TEST_F(MonitorTest, AChangeIsAnnouncedOnceHoweverOftenTheCheckRuns) {
  h.app.state.cities = {Monitored(50, 70, "Partly cloudy", "Partly Cloudy")};
  MonitorCheck(h.app);
  MonitorCheck(h.app);
  MonitorCheck(h.app);
  EXPECT_EQ(h.announcer.events.size(), 4u);
}

TEST_F(MonitorTest, AnEmptyNewConditionIsStillAnnounced) {
  h.app.state.cities = {Monitored(70, 70, "Sunny", "")};
  MonitorCheck(h.app);
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:condition", "news:Springfield: "));
}

TEST_F(MonitorTest, OnlyCitiesWithMonitorExactlyOneAreAnnounced) {
  city off = Monitored(0, 90, "", "Hail");
  off.monitor = 0;
  city two = off;
  two.monitor = 2;
  city on = h.CityAt("Paris", 1);
  h.app.state.cities = {off, two, on};
  MonitorCheck(h.app);
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:condition", "news:Paris: Light rain", "cue:up",
                                              "news:Paris: 50 Degrees"));
}

TEST_F(MonitorTest, RefreshSpeaksAlertsInListOrderWithTheNameFromBeforeTheRefresh) {
  h.places["Springfield"].alerts = {{"Moderate", "Flood Warning"}, {"", "Heat Advisory"}};
  h.places["Oslo"].alerts = {{"Severe", "Storm"}};
  city typed;
  typed.name = "Springfield";
  typed.alerts = 1;
  city quiet = h.CityAt("Paris");
  city oslo = h.CityAt("Oslo", 0, 1);
  oslo.name = "Oslo";
  h.app.state.cities = {typed, quiet, oslo};

  RefreshCities(h.app, RefreshMode::all_cities);
  h.FinishRefreshes();

  EXPECT_THAT(h.announcer.events,
              ElementsAre("cue:alert",
                          "alert:Springfield: Moderate Flood Warning. View the forecast For more.",
                          "alert:Springfield: Heat Advisory. View the forecast For more.",
                          "cue:alert", "alert:Oslo: Severe Storm. View the forecast For more."));
  EXPECT_EQ(h.app.state.cities[0].name, "Springfield, Illinois, United States of America");
  EXPECT_EQ(h.app.state.cities[2].name, "Oslo, Oslo, Norway");
  // One batch: each city's current request, then its alert request when alerts are on.
  EXPECT_THAT(h.http.batch_sizes, ElementsAre(5u));
  EXPECT_THAT(h.Queries("/current.json"),
              ElementsAre("Springfield", "Paris, Ile-de-France, France", "Oslo"));
  EXPECT_THAT(h.Queries("/forecast.json"), ElementsAre("Springfield", "Oslo"));
  EXPECT_NE(h.http.requests[1].body.find("&days=1&alerts=yes"), std::string::npos);
  EXPECT_EQ(Saved()[0].name, "Springfield, Illinois, United States of America");
  EXPECT_EQ(Saved()[0].weather.temp_f, 70);
}

TEST_F(MonitorTest, NewCitiesModeFetchesOnlyCitiesNotAboveZeroCelsius) {
  city warm = h.CityAt("Paris");
  warm.weather.temp_c = 0.5;
  city freezing = h.CityAt("Oslo");
  freezing.weather.temp_c = 0.0;
  city fresh;
  fresh.name = "Springfield";
  h.app.state.cities = {warm, freezing, fresh};
  RefreshCities(h.app, RefreshMode::new_cities);
  h.FinishRefreshes();
  EXPECT_THAT(h.Queries("/current.json"), ElementsAre("Oslo, Oslo, Norway", "Springfield"));
  EXPECT_EQ(h.app.state.cities[0].weather.temp_c, 0.5);
}

TEST_F(MonitorTest, AFailedRefreshKeepsRecordsAndNamesAndStillSaves) {
  city typed;
  typed.name = "Atlantis";
  typed.alerts = 1;
  city known = h.CityAt("Paris");
  h.app.state.cities = {typed, known};
  h.service_down = true;
  RefreshCities(h.app, RefreshMode::all_cities);
  h.FinishRefreshes();
  EXPECT_EQ(h.app.state.cities[0].name, "Atlantis");
  EXPECT_EQ(h.app.state.cities[1].name, "Paris, Ile-de-France, France");
  EXPECT_EQ(h.app.state.cities[1].weather.temp_f, 50);
  // Only why no weather came is said; the cities' data says nothing.
  EXPECT_THAT(h.announcer.events,
              ElementsAre("news:The weather service cannot be reached; check the network "
                          "connection."));
  EXPECT_EQ(Saved().size(), 2u);

  // The service answers, but does not know the typed place: its error answer changes nothing.
  h.service_down = false;
  RefreshCities(h.app, RefreshMode::all_cities);
  h.FinishRefreshes();
  EXPECT_EQ(h.app.state.cities[0].name, "Atlantis");
  EXPECT_EQ(h.app.state.cities[0].weather.temp_f, 0);
}

struct ToggleCase {
  const char* label;
  void (*toggle)(App&);
  int64_t city::*field;
  int64_t before;
  int64_t after;
  std::string spoken;
};

TEST_F(MonitorTest, SwitchesFlipTheSelectedCityAnnounceAndSave) {
  const std::string name = "Paris, Ile-de-France, France";
  const std::vector<ToggleCase> cases = {
      {"monitor on", ToggleMonitor, &city::monitor, 0, 1, "say:Skyvigil for " + name + " on"},
      {"monitor off", ToggleMonitor, &city::monitor, 1, 0, "say:Skyvigil for " + name + " off"},
      {"monitor 2 counts as off", ToggleMonitor, &city::monitor, 2, 1,
       "say:Skyvigil for " + name + " on"},
      {"alerts off", ToggleAlerts, &city::alerts, 1, 0, "say:Alerts for " + name + " off"},
      {"alerts on", ToggleAlerts, &city::alerts, 0, 1, "say:Alerts for " + name + " on"},
  };
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(c.label);
    h.announcer.events.clear();
    h.app.state.cities = {h.CityAt("Springfield"), h.CityAt("Paris")};
    h.app.state.cities[1].*c.field = c.before;
    h.app.state.main_window.selected_city = 1;
    c.toggle(h.app);
    EXPECT_THAT(h.announcer.events, ElementsAre(c.spoken));
    EXPECT_EQ(h.app.state.cities[1].*c.field, c.after);
    EXPECT_EQ(Saved()[1].*c.field, c.after);
  }
}

TEST_F(MonitorTest, TurningAMonitorOnAnnouncesTheConditionAtOnce) {
  h.app.state.cities = {h.CityAt("Paris")};
  h.app.state.cities[0].temp = 45;
  ToggleMonitor(h.app);
  MonitorCheck(h.app);
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Skyvigil for Paris, Ile-de-France, France on",
                                              "cue:condition", "news:Paris: Light rain"));
}

TEST_F(MonitorTest, SwitchesWithoutACityDoNothing) {
  ToggleMonitor(h.app);
  ToggleAlerts(h.app);
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

TEST_F(MonitorTest, MonitorSoundsSwitchAnnouncesAndSaves) {
  ToggleMonitorSounds(h.app);
  EXPECT_EQ(h.app.state.prefs.monitor_sounds, 0);
  EXPECT_NE(h.ReadFile("prefs.ini").find("monitor_sounds = 0\r\n"), std::string::npos);
  ToggleMonitorSounds(h.app);
  EXPECT_EQ(h.app.state.prefs.monitor_sounds, 1);
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Monitor sounds off", "say:Monitor sounds on"));
}

TEST_F(MonitorTest, AlertsOnceSwitchAnnouncesAndSaves) {
  ToggleAlertsOnce(h.app);
  EXPECT_NE(h.ReadFile("prefs.ini")
                .find("[monitors]\r\ntemp_diff = 10\r\nmonitor_sounds = 1\r\n"
                      "alerts_once = 1\r\n"),
            std::string::npos);
  ToggleAlertsOnce(h.app);
  EXPECT_EQ(h.app.state.prefs.alerts_once, 0);
  EXPECT_NE(h.ReadFile("prefs.ini").find("alerts_once = 0\r\n"), std::string::npos);
  EXPECT_THAT(h.announcer.events,
              ElementsAre("say:Speak each alert once on", "say:Speak each alert once off"));
}

TEST_F(MonitorTest, WithAlertsOnceAnAlertIsSpokenOnlyUntilItIsNewOrChanged) {
  const std::string storm = "alert:Oslo, Oslo, Norway: Severe Storm. View the forecast For more.";
  const std::string flood = "alert:Oslo, Oslo, Norway: Flood. View the forecast For more.";
  h.app.state.cities = {h.CityAt("Oslo", 0, 1)};
  h.app.state.prefs.alerts_once = 1;
  struct Step {
    std::vector<std::pair<std::string, std::string>> alerts;
    int64_t alerts_once;
    std::vector<std::string> events;
  };
  const Step steps[] = {
      {{{"Severe", "Storm"}}, 1, {"cue:alert", storm}},
      {{{"Severe", "Storm"}}, 1, {}},
      {{{"Severe", "Storm"}, {"", "Flood"}}, 1, {"cue:alert", flood}},
      {{{"Severe", "Storm"}, {"", "Flood"}}, 0, {"cue:alert", storm, flood}},
  };
  for (const Step& step : steps) {
    h.places["Oslo"].alerts = step.alerts;
    h.app.state.prefs.alerts_once = step.alerts_once;
    h.announcer.events.clear();
    RefreshCities(h.app, RefreshMode::all_cities);
    h.FinishRefreshes();
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAreArray(step.events));
  }
}

TEST_F(MonitorTest, WithAlertsOnceAnAlertResentWithALaterEndIsToldAsExtended) {
  const std::string full =
      "alert:Oslo, Oslo, Norway: Moderate Flood Warning. View the forecast "
      "For more.";
  h.app.state.cities = {h.CityAt("Oslo", 0, 1)};
  alert flood;
  flood.event = "Flood Warning";
  flood.severity = "Moderate";
  // A re-issue comes with a headline and a start of its own (issued on the
  // `day` of March): the same event for the same areas is the same alert.
  const std::vector<std::string> told = {"cue:alert", full};
  const std::vector<std::string> extended = {
      "cue:alert", "alert:Oslo, Oslo, Norway: Flood Warning extended until 6 PM Saturday."};
  const struct {
    int day;
    const char* areas;
    const char* expires;
    int64_t alerts_once;
    std::vector<std::string> events;
  } steps[] = {
      {6, "Oslo", "2024-03-08T12:00", 1, told},
      {7, "Oslo", "2024-03-09T18:00", 1, extended},
      {7, "Oslo", "2024-03-09T18:00", 1, {}},
      {8, "Oslo", "2024-03-09T18:00", 1, {}},
      {8, "Oslo", "2024-03-09T06:00", 1, told},            // shortened: told in full
      {8, "Oslo; Akershus", "2024-03-10T06:00", 1, told},  // other areas: another alert
      {8, "Oslo; Akershus", "2024-03-10T06:00", 0, told},  // every refresh, in full
  };
  for (const auto& step : steps) {
    const std::string day = std::to_string(step.day);
    flood.headline = "Flood Warning issued March " + day;
    flood.effective = "2024-03-0" + day + "T08:00:00+01:00";
    flood.areas = step.areas;
    flood.expires = step.expires + std::string(":00+01:00");
    h.places["Oslo"].full_alerts = {flood};
    h.app.state.prefs.alerts_once = step.alerts_once;
    h.announcer.events.clear();
    RefreshCities(h.app, RefreshMode::all_cities);
    h.FinishRefreshes();
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAreArray(step.events))
        << flood.headline << " " << flood.expires;
  }
}

// An alert counts as spoken once it was heard: one cut off unheard by a key
// comes again with the next refresh; one still on its way does not come twice.
TEST_F(MonitorTest, WithAlertsOnceAnAlertCutOffUnheardIsSpokenAgain) {
  const std::string storm = "alert:Oslo, Oslo, Norway: Severe Storm. View the forecast For more.";
  h.app.state.cities = {h.CityAt("Oslo", 0, 1)};
  h.app.state.prefs.alerts_once = 1;
  h.places["Oslo"].alerts = {{"Severe", "Storm"}};
  h.announcer.hold_fates = true;
  const struct {
    std::optional<bool> heard;  // the fate told after the refresh; none: still in speech
    std::vector<std::string> events;
  } steps[] = {
      {std::nullopt, {"cue:alert", storm}},
      {false, {}},  // still in speech: not queued twice; then a key drops it
      {true, {"cue:alert", storm}},
      {std::nullopt, {}},
  };
  for (const auto& step : steps) {
    h.announcer.events.clear();
    RefreshCities(h.app, RefreshMode::all_cities);
    h.FinishRefreshes();
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAreArray(step.events));
    if (step.heard) {
      ASSERT_FALSE(h.announcer.fates.empty());
      h.announcer.fates.back()(*step.heard);
      h.main_thread.RunPosted();
    }
  }
}

}  // namespace
}  // namespace skyvigil
