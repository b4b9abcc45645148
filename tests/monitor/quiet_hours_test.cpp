// Quiet hours: the setting's form, which news they hold at which time, each
// kind of news of a refresh held or said, and the one line at their end.
#include "monitor/quiet_hours.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/hourly_weather.h"
#include "monitor/monitor_cycle.h"
#include "monitor/refresh.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using testing::DaysWithHours;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::MakeWet;

TEST(QuietHoursTest, TheSettingIsTwoTimesApart) {
  for (const auto& [text, read] : {std::pair{"22:00-07:00", "22:00-07:00"},
                                   {"7:05 - 9:30", "07:05-09:30"},
                                   {"\t0:00-\t23:59 ", "00:00-23:59"}}) {
    const std::optional<QuietHours> hours = ParseQuietHours(text);
    ASSERT_TRUE(hours) << text;
    EXPECT_EQ(QuietHoursText(*hours), read);
  }
  for (const char* text : {"22:00-22:00", "22:00", "", "22-07", "22:00-07:60", "24:00-07:00",
                           "22:00--07:00", "22:00-07:00-08:00", "10 pm to 7 am"})
    EXPECT_FALSE(ParseQuietHours(text)) << text;
}

// Which news the setting holds at which time: across midnight, within a day;
// the severities of an alert as written (each kind held or said is the
// refresh's test below).
TEST(QuietHoursTest, BackgroundNewsIsHeldDuringTheHoursButExtremeAndSevereAlerts) {
  const struct {
    const char* setting;
    TimeOfDay now;
    News kind;
    const char* severity;
    bool held;
  } cases[] = {
      {"", {23, 30}, News::condition, "", false},
      {"22:00", {23, 30}, News::condition, "", false},
      {"22:00-07:00", {21, 59}, News::condition, "", false},
      {"22:00-07:00", {22, 0}, News::condition, "", true},
      {"22:00-07:00", {0, 0}, News::condition, "", true},
      {"22:00-07:00", {6, 59}, News::condition, "", true},
      {"22:00-07:00", {7, 0}, News::condition, "", false},
      {"13:00-15:00", {12, 59}, News::temperature, "", false},
      {"13:00-15:00", {13, 0}, News::temperature, "", true},
      {"13:00-15:00", {14, 59}, News::temperature, "", true},
      {"13:00-15:00", {15, 0}, News::temperature, "", false},
      {"22:00-07:00", {3, 0}, News::alert, "", true},
      {"22:00-07:00", {3, 0}, News::alert, "SEVERE", false},
      {"22:00-07:00", {3, 0}, News::alert, "Severe ", true},
      {"22:00-07:00", {12, 0}, News::alert, "Moderate", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + " at " + std::to_string(c.now.hour) + ":" +
                 std::to_string(c.now.minute) + " " + c.severity);
    AppHarness h;
    h.app.state.prefs.quiet_hours = c.setting;
    h.clock.now = c.now;
    EXPECT_EQ(HoldsNews(h.app, c.kind, c.severity), c.held);
  }
}

// London monitored with its alerts and Rain Ahead on; the night is quiet.
struct QuietNight {
  QuietNight() {
    h.places["London"] = {"London", "City of London", "United Kingdom", "Cloudy", 60, 15.6};
    h.places["London"].alerts = {
        {"Moderate", "Flood Watch"}, {"Severe", "Wind Warning"}, {"Extreme", "Tornado Warning"}};
    h.places["London"].localtime = "2024-03-06 13:20";
    auto days = DaysWithHours({"2024-03-06", "2024-03-07"});
    MakeWet(days[0].hour[15]);
    h.places["London"].hourly = days;
    h.app.state.prefs.rain_ahead = 1;
    h.app.state.prefs.quiet_hours = "22:00-07:00";
    city london = h.CityAt("London", 1, 1);
    london.condition = "Sunny";
    london.temp = 40;
    h.app.state.cities = {london};
    h.clock.now = {23, 30};
  }

  // A refresh, then the change check after it; what they made heard.
  std::vector<std::string> Refresh() {
    h.announcer.events.clear();
    RefreshCities(h.app, RefreshMode::all_cities);
    h.FinishRefreshes();
    MonitorCheck(h.app);
    return h.announcer.events;
  }

  // The timers asked for in whole minutes: the looks for the end.
  std::vector<std::chrono::minutes> EndChecks() const {
    std::vector<std::chrono::minutes> checks;
    for (const auto delay : h.main_thread.delays) {
      if (delay >= std::chrono::minutes(1))
        checks.push_back(std::chrono::duration_cast<std::chrono::minutes>(delay));
    }
    return checks;
  }

  // The clock reaches `now` and the timers due run.
  std::vector<std::string> At(TimeOfDay now) {
    h.announcer.events.clear();
    h.clock.now = now;
    h.main_thread.RunDelayed(std::chrono::minutes(10));
    h.main_thread.RunPosted();
    return h.announcer.events;
  }

  AppHarness h;
};

constexpr char kLondon[] = "London, City of London, United Kingdom";

TEST(QuietHoursTest, EachKindOfNewsIsKeptQuietlyButSevereAlertsAreSaidWithTheirCue) {
  QuietNight night;
  const std::string name = kLondon;
  EXPECT_THAT(
      night.Refresh(),
      ElementsAre("kept:" + name +
                      ": Moderate Flood Watch. View the forecast For more. "
                      "(quiet)",
                  "cue:alert",
                  "alert:" + name + ": Severe Wind Warning. View the forecast For more.",
                  "alert:" + name + ": Extreme Tornado Warning. View the forecast For more.",
                  "kept:London: rain likely from 3 PM. (quiet)", "kept:London: Cloudy (quiet)",
                  "kept:London: 60 Degrees (quiet)"));
  night.h.service_down = true;
  EXPECT_THAT(night.Refresh(),
              ElementsAre("kept:The weather service cannot be reached; check the network "
                          "connection. (quiet)"));
  // Only the mild ones held: no cue when no alert is said.
  night.h.service_down = false;
  night.h.places["London"].alerts = {{"Minor", "Frost"}};
  EXPECT_THAT(night.Refresh(),
              ElementsAre("kept:" + name + ": Minor Frost. View the forecast For more. (quiet)",
                          "kept:The weather service answers again. (quiet)"));
  // The history shows them as held, with their time.
  const std::vector<std::string> history = night.h.history.Lines();
  ASSERT_FALSE(history.empty());
  EXPECT_EQ(history[0], "23:30 The weather service answers again. (quiet)");
  EXPECT_EQ(night.h.app.state.quiet.held, 7);
}

// A timer looks for the end at most ten minutes apart, and only once
// something was held; the line is said once, as the hours end.
TEST(QuietHoursTest, TheEndOfQuietHoursSaysWhatWasHeldOnce) {
  QuietNight night;
  night.h.app.state.prefs.rain_ahead = 0;
  night.h.places["London"].alerts.clear();
  night.h.clock.now = {6, 45};
  EXPECT_THAT(night.Refresh(),
              ElementsAre("kept:London: Cloudy (quiet)", "kept:London: 60 Degrees (quiet)"));
  using std::chrono::minutes;
  EXPECT_THAT(night.EndChecks(), ElementsAre(minutes(10)));
  EXPECT_THAT(night.At({6, 55}), IsEmpty());
  EXPECT_THAT(night.EndChecks(), ElementsAre(minutes(10), minutes(5)));
  EXPECT_THAT(night.At({7, 0}),
              ElementsAre("news:While it was quiet: 2 changes. Open History with Control+H."));
  EXPECT_EQ(night.EndChecks().size(), 2u);
  EXPECT_THAT(night.At({7, 10}), IsEmpty());
  // A night with nothing held sets no timer and says nothing.
  night.h.clock.now = {23, 0};
  EXPECT_THAT(night.Refresh(), IsEmpty());
  EXPECT_EQ(night.EndChecks().size(), 2u);
}

// A computer asleep past the end: the next news says the line first. Quiet
// hours switched off end them too.
TEST(QuietHoursTest, NewsOrTheSettingEndsThemBeforeTheTimer) {
  QuietNight night;
  night.h.app.state.prefs.rain_ahead = 0;
  night.h.places["London"].alerts.clear();
  night.Refresh();
  night.h.clock.now = {8, 0};
  night.h.places["London"].condition = "Fog";
  EXPECT_THAT(night.Refresh(),
              ElementsAre("news:While it was quiet: 2 changes. Open History with Control+H.",
                          "cue:condition", "news:London: Fog"));

  night.h.clock.now = {23, 0};
  night.h.places["London"].condition = "Mist";
  night.Refresh();
  night.h.announcer.events.clear();
  night.h.ui.text_answers = {""};
  RunCommand(night.h.app, kQuietHours);
  EXPECT_THAT(night.h.announcer.events,
              ElementsAre("say:Quiet hours off",
                          "news:While it was quiet: 1 change. Open History with Control+H."));
}

}  // namespace
}  // namespace skyvigil
