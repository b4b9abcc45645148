// The daily briefing: its clock rule on a fixed clock, its text, its setting.
#include "monitor/briefing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using testing::AppHarness;

TEST(BriefingTime, OnlyHoursAndMinutes) {
  const struct {
    const char* text;
    std::optional<TimeOfDay> at;
  } cases[] = {
      {"07:30", TimeOfDay{7, 30}},  {"7:30", TimeOfDay{7, 30}}, {"00:00", TimeOfDay{0, 0}},
      {"23:59", TimeOfDay{23, 59}}, {"24:00", std::nullopt},    {"12:60", std::nullopt},
      {"7:3", std::nullopt},        {"730", std::nullopt},      {"07:30 ", std::nullopt},
      {"-1:30", std::nullopt},      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto at = ParseBriefingTime(c.text);
    ASSERT_EQ(at.has_value(), c.at.has_value()) << c.text;
    if (at) {
      EXPECT_EQ(at->hour, c.at->hour) << c.text;
      EXPECT_EQ(at->minute, c.at->minute) << c.text;
    }
  }
}

TEST(BriefingDue, OnTimeOrMissedBeforeAndAfterNoon) {
  const struct {
    const char* label;
    TimeOfDay at, now;
    BriefingStep step;
  } cases[] = {
      {"a minute early", {7, 30}, {7, 29}, BriefingStep::wait},
      {"on time", {7, 30}, {7, 30}, BriefingStep::give},
      {"missed while asleep, still the morning", {7, 30}, {11, 59}, BriefingStep::give},
      {"missed while asleep, woken at noon", {7, 30}, {12, 0}, BriefingStep::skip},
      {"an afternoon briefing on time", {18, 0}, {18, 0}, BriefingStep::give},
      {"an afternoon briefing a little late", {18, 0}, {18, 5}, BriefingStep::give},
      {"an afternoon briefing missed", {18, 0}, {18, 6}, BriefingStep::skip},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BriefingDue(c.at, c.now), c.step) << c.label;
}

TEST(BriefingTimer, UntilTheTimeButNeverMoreThanTenMinutes) {
  EXPECT_EQ(SecondsUntilBriefingCheck({7, 30}, {7, 25}), 300);
  EXPECT_EQ(SecondsUntilBriefingCheck({7, 30}, {6, 0}), 600);
  EXPECT_EQ(SecondsUntilBriefingCheck({7, 30}, {7, 30}), 600);
  EXPECT_EQ(SecondsUntilBriefingCheck({0, 0}, {23, 59}), 60);
}

// Paris monitored, Oslo not, Oslo selected; the briefing at 07:30.
struct BriefingBed {
  BriefingBed() {
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Paris"].days = 1;
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
    h.places["Oslo"].days = 1;
    h.app.state.cities = {h.CityAt("Paris", 1), h.CityAt("Oslo", 0)};
    for (city& c : h.app.state.cities) {  // announced already: the change check stays quiet
      c.temp = c.weather.temp_f;
      c.condition = c.weather.condition.text;
    }
    h.ui.city_selection = 1;
    h.app.state.prefs.briefing = "07:30";
  }

  // The timer runs out at `now`; what is said once the forecasts came.
  std::vector<std::string> TimerAt(TimeOfDay now) {
    h.clock.now = now;
    h.announcer.events.clear();
    const size_t requests = h.http.requests.size();
    OnBriefingTimerEvent(h.app);
    h.FinishFetches();
    fetched = h.http.requests.size() - requests;
    return h.announcer.events;
  }

  AppHarness h;
  size_t fetched = 0;
};

const std::vector<std::string> kParisBriefing{
    "news:Today in Paris: Light rain, high 55 degrees F, low 45 degrees F, 0 percent chance of "
    "rain."};

TEST(Briefing, GivenOnTimeOnceADayWithAFreshForecast) {
  BriefingBed bed;
  EXPECT_EQ(bed.TimerAt({7, 20}), std::vector<std::string>{});
  EXPECT_EQ(bed.fetched, 0u);
  EXPECT_EQ(bed.TimerAt({7, 30}), kParisBriefing);
  EXPECT_EQ(bed.fetched, 1u);
  EXPECT_EQ(bed.TimerAt({7, 40}), std::vector<std::string>{}) << "once a day";
  bed.h.clock.today = {2024, 3, 7};
  EXPECT_EQ(bed.TimerAt({7, 30}), kParisBriefing) << "the next day";
  EXPECT_THAT(bed.h.ui.briefing_timers, ::testing::ElementsAre(600, 600, 600, 600));
}

TEST(Briefing, MissedWhileAsleepBeforeNoonIsGivenOnceAfterNoonSkipped) {
  BriefingBed morning;
  EXPECT_EQ(morning.TimerAt({10, 15}), kParisBriefing);
  EXPECT_EQ(morning.TimerAt({10, 25}), std::vector<std::string>{});
  BriefingBed afternoon;
  EXPECT_EQ(afternoon.TimerAt({12, 10}), std::vector<std::string>{});
  EXPECT_EQ(afternoon.fetched, 0u);
}

TEST(Briefing, TheSelectedCityWhenNoneIsMonitored) {
  BriefingBed bed;
  bed.h.app.state.cities[0].monitor = 0;
  EXPECT_EQ(bed.TimerAt({7, 30}),
            std::vector<std::string>{"news:Today in Oslo: Snow, high 28 degrees F, low 18 "
                                     "degrees F, 0 percent chance of rain."});
}

// The day it was given is kept in prefs.ini, once it was: a restart later that
// day (an update, say) does not give it again.
TEST(Briefing, TheDayGivenOutlivesARestart) {
  BriefingBed bed;
  const std::filesystem::path prefs = bed.h.app.state.paths.prefs_file;
  SavePreferences(bed.h.app.state.prefs, prefs);
  EXPECT_EQ(bed.TimerAt({7, 20}), std::vector<std::string>{});
  EXPECT_EQ(bed.h.ReadFile("prefs.ini").find("briefing_given"), std::string::npos);
  EXPECT_EQ(bed.TimerAt({7, 30}), kParisBriefing);
  EXPECT_NE(bed.h.ReadFile("prefs.ini").find("briefing = 07:30\r\nbriefing_given = 2024-03-06\r\n"),
            std::string::npos);

  BriefingBed restarted;
  restarted.h.app.state.paths.prefs_file = prefs;
  restarted.h.app.state.prefs = Preferences{};
  LoadPreferences(restarted.h.app.state.prefs, restarted.h.app.state.service, prefs);
  RecallBriefingDay(restarted.h.app);
  EXPECT_EQ(restarted.TimerAt({7, 45}), std::vector<std::string>{}) << "given today already";
  restarted.h.clock.today = {2024, 3, 7};
  EXPECT_EQ(restarted.TimerAt({7, 45}), kParisBriefing) << "the next day";
}

TEST(Briefing, TheSettingTakesATimeOrNothingAndAsksAgainForAnythingElse) {
  const std::string box =
      "Daily Briefing|Please enter the time of day, as HH:MM, at which the day's weather is said. "
      "Leave it empty to switch the briefing off.|";
  const std::string refused =
      "Daily Briefing|Type a time like 07:30, or leave the box empty to switch the briefing "
      "off.|error";
  const struct {
    const char* label;
    std::deque<std::optional<std::string>> answers;
    std::string saved;
    std::vector<std::string> said;
    size_t timers;
    std::vector<std::string> dialogs;
  } cases[] = {
      {"a time", {"08:15"}, "08:15", {"say:Daily briefing at 08:15"}, 1, {box + "07:30"}},
      {"emptied", {""}, "", {"say:Daily briefing off"}, 0, {box + "07:30"}},
      {"Escape", {std::nullopt}, "07:30", {}, 0, {box + "07:30"}},
      {"not a time, then a time",
       {"8 o'clock", "8:00"},
       "8:00",
       {"say:Daily briefing at 8:00"},
       1,
       {box + "07:30", refused, box + "8 o'clock"}},
      {"not a time, then Escape",
       {"8 o'clock", std::nullopt},
       "07:30",
       {},
       0,
       {box + "07:30", refused, box + "8 o'clock"}},
  };
  for (const auto& c : cases) {
    BriefingBed bed;
    bed.h.clock.now = {7, 0};
    bed.h.ui.text_answers = c.answers;
    RunCommand(bed.h.app, kDailyBriefing);
    EXPECT_EQ(bed.h.app.state.prefs.briefing, c.saved) << c.label;
    EXPECT_EQ(bed.h.announcer.events, c.said) << c.label;
    EXPECT_EQ(bed.h.ui.briefing_timers.size(), c.timers) << c.label;
    EXPECT_EQ(bed.h.ui.dialogs, c.dialogs) << c.label;
  }
}

}  // namespace
}  // namespace skyvigil
