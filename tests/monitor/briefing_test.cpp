// The daily briefing: its clock rule on a fixed clock, its text, its setting.
#include "monitor/briefing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"

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

TEST(Briefing, TheSettingTakesATimeOrNothing) {
  const struct {
    const char* answer;
    std::string saved;
    std::vector<std::string> said;
    size_t timers;
  } cases[] = {
      {"08:15", "08:15", {"say:Daily briefing at 08:15"}, 1},
      {"", "", {"say:Daily briefing off"}, 0},
      {"8 o'clock", "07:30", {}, 0},
  };
  for (const auto& c : cases) {
    BriefingBed bed;
    bed.h.clock.now = {7, 0};
    bed.h.ui.text_answers = {c.answer};
    RunCommand(bed.h.app, kDailyBriefing);
    EXPECT_EQ(bed.h.app.state.prefs.briefing, c.saved) << c.answer;
    EXPECT_EQ(bed.h.announcer.events, c.said) << c.answer;
    EXPECT_EQ(bed.h.ui.briefing_timers.size(), c.timers) << c.answer;
    EXPECT_EQ(bed.h.ui.dialogs.back(),
              "Daily Briefing|Please enter the time of day, as HH:MM, at which the day's weather "
              "is said. Leave it empty to switch the briefing off.|07:30");
  }
}

}  // namespace
}  // namespace skyvigil
