// The boxes of the Settings menu: a value taken, or the setting left as it was.
#include "app/settings_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "fakes/app_harness.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

TEST(TemperatureDifference, TakesOnlyNumbersAboveZero) {
  testing::AppHarness h;
  const std::vector<std::pair<std::optional<std::string>, int64_t>> answers = {
      {"12.5", 12}, {" +7", 7},  {"$1F", 31}, {"0", 31},
      {"-3", 31},   {"abc", 31}, {"", 31},    {std::nullopt, 31}};
  for (const auto& [answer, expected] : answers) {
    SCOPED_TRACE(answer.value_or("Escape"));
    h.ui.text_answers = {answer};
    SetTemperatureDifference(h.app);
    EXPECT_EQ(h.app.state.prefs.temp_diff, expected);
  }
  EXPECT_EQ(h.ui.dialogs[0],
            "Temperature Difference|Please enter a value in which the temperature must change "
            "before you are notified about it in a monitor.|10");
  EXPECT_EQ(h.ui.dialogs[1].substr(h.ui.dialogs[1].rfind('|')), "|12");
  EXPECT_NE(h.ReadFile("prefs.ini").find("temp_diff = 31\r\n"), std::string::npos);
}

// A time sets the briefing's timer; empty switches it off; Escape leaves the
// setting as it was; anything else is refused with a message and asked again.
TEST(DailyBriefingSetting, TakesATimeOrNothingAndAsksAgainForAnythingElse) {
  const std::string box =
      "Daily Briefing|Please enter the time of day, as HH:MM, at which the day's weather is said. "
      "Leave it empty to switch the briefing off.|";
  const std::string refused =
      "Daily Briefing|Type a time like 07:30, or leave the box empty to switch the briefing "
      "off.|error";
  const struct {
    std::deque<std::optional<std::string>> answers;
    std::string saved;
    std::vector<std::string> said;
    size_t timers;
  } cases[] = {
      {{"8 o'clock", "8:00"}, "8:00", {"say:Daily briefing at 8:00"}, 1},
      {{"8 o'clock", std::nullopt}, "07:30", {}, 0},
      {{""}, "", {"say:Daily briefing off"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers.back().value_or("Escape"));
    testing::AppHarness h;
    h.app.state.prefs.briefing = "07:30";
    h.clock.now = {7, 0};
    h.ui.text_answers = c.answers;
    SetDailyBriefing(h.app);
    EXPECT_EQ(h.app.state.prefs.briefing, c.saved);
    EXPECT_EQ(h.announcer.events, c.said);
    EXPECT_EQ(h.main_thread.delays.size(), c.timers);
    EXPECT_EQ(h.ui.dialogs.front(), box + "07:30");
    if (c.answers.size() > 1) {
      EXPECT_THAT(h.ui.dialogs, ::testing::ElementsAre(box + "07:30", refused, box + "8 o'clock"));
    }
  }
}

// A message names the form and the box asks again until the hours are well
// typed (saved in their one form) or empty; Escape leaves them as they were.
TEST(QuietHoursSetting, TakesHoursOrNothingAndRefusesAnythingElse) {
  const std::string first =
      "Quiet Hours|Please enter the hours, as HH:MM-HH:MM, during which only Extreme and Severe "
      "alerts are said. Leave it empty to switch quiet hours off.|23:00-06:30";
  const std::string refused =
      "Quiet Hours|Type hours like 22:00-07:00, or leave the box empty to switch quiet hours "
      "off.|error";
  const std::string again = first.substr(0, first.rfind('|')) + "|10 pm";
  const struct {
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> dialogs;
    std::string setting;
    std::vector<std::string> said;
  } cases[] = {
      {{"10 pm", "22:00 - 7:00"},
       {first, refused, again},
       "22:00-07:00",
       {"say:Quiet hours from 22:00 to 07:00"}},
      {{""}, {first}, "", {"say:Quiet hours off"}},
      {{std::nullopt}, {first}, "23:00-06:30", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    testing::AppHarness h;
    h.app.state.prefs.quiet_hours = "23:00-06:30";
    SavePreferences(h.app.state.prefs, h.app.state.paths.prefs_file);
    h.ui.text_answers = c.answers;
    SetQuietHours(h.app);
    EXPECT_EQ(h.ui.dialogs, c.dialogs);
    EXPECT_EQ(h.announcer.events, c.said);
    Preferences saved;
    ServiceConfig service;
    LoadPreferences(saved, service, h.app.state.paths.prefs_file);
    EXPECT_EQ(saved.quiet_hours, c.setting);
  }
}

}  // namespace
}  // namespace skyvigil
