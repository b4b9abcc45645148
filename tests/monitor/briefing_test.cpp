// The daily briefing: its clock rule on a fixed clock, its cities, its timer, the day given kept.
#include "monitor/briefing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

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
    h.app.state.main_window.selected_city = 1;
    h.app.state.prefs.briefing = "07:30";
  }

  // The timer runs out at `now`; what is said once the forecasts came.
  std::vector<std::string> TimerAt(TimeOfDay now) {
    h.clock.now = now;
    h.announcer.events.clear();
    const size_t requests = h.http.requests.size();
    OnBriefingTimer(h.app);
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
  EXPECT_THAT(bed.h.main_thread.delays, ::testing::Each(std::chrono::minutes(10)));
  EXPECT_EQ(bed.h.main_thread.delays.size(), 4u);
}

// Each look sets the timer for the next; a newer timer makes an older one,
// still set, do nothing, and a briefing switched off sets none.
TEST(Briefing, OneTimerAtATime) {
  BriefingBed bed;
  bed.h.clock.now = {7, 0};
  OnBriefingTimer(bed.h.app);
  OnBriefingTimer(bed.h.app);
  bed.h.main_thread.RunDelayed(std::chrono::minutes(10));
  bed.h.main_thread.RunPosted();
  EXPECT_EQ(bed.h.main_thread.delays.size(), 3u);
  bed.h.app.state.prefs.briefing.clear();
  OnBriefingTimer(bed.h.app);
  bed.h.main_thread.RunDelayed(std::chrono::minutes(10));
  bed.h.main_thread.RunPosted();
  EXPECT_EQ(bed.h.main_thread.delays.size(), 3u);
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

}  // namespace
}  // namespace skyvigil
