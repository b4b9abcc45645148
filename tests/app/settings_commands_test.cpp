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
    SCOPED_TRACE(c.label);
    testing::AppHarness h;
    h.app.state.prefs.briefing = "07:30";
    h.clock.now = {7, 0};
    h.ui.text_answers = c.answers;
    SetDailyBriefing(h.app);
    EXPECT_EQ(h.app.state.prefs.briefing, c.saved);
    EXPECT_EQ(h.announcer.events, c.said);
    EXPECT_EQ(h.main_thread.delays.size(), c.timers);
    EXPECT_EQ(h.ui.dialogs, c.dialogs);
  }
}

// The box asks again, naming the form, until the hours are well typed or empty.
TEST(QuietHoursSetting, TakesHoursOrNothingAndAsksAgainNamingTheForm) {
  const std::string first =
      "Quiet Hours|Please enter the hours, as HH:MM-HH:MM, during which only Extreme and Severe "
      "alerts are said. Leave it empty to switch quiet hours off.|";
  const std::string again =
      "Quiet Hours|Type hours like 22:00-07:00, or leave the box empty to switch quiet hours "
      "off.|";
  const struct {
    const char* before;
    std::vector<std::string> answers;
    std::vector<std::string> dialogs;
    std::string setting;
    std::string said;
  } cases[] = {
      {"", {"22:00-07:00"}, {first}, "22:00-07:00", "say:Quiet hours from 22:00 to 07:00"},
      {"",
       {"10 pm", "21:00-21:00", "22:00 - 7:00"},
       {first, again + "10 pm", again + "21:00-21:00"},
       "22:00-07:00",
       "say:Quiet hours from 22:00 to 07:00"},
      {"23:00-06:30", {""}, {first + "23:00-06:30"}, "", "say:Quiet hours off"},
      {"", {"late", ""}, {first, again + "late"}, "", "say:Quiet hours off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers.front());
    testing::AppHarness h;
    h.app.state.prefs.quiet_hours = c.before;
    h.ui.text_answers = {c.answers.begin(), c.answers.end()};
    SetQuietHours(h.app);
    EXPECT_EQ(h.ui.dialogs, c.dialogs);
    EXPECT_EQ(h.app.state.prefs.quiet_hours, c.setting);
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAre(c.said));
    Preferences saved;
    ServiceConfig service;
    LoadPreferences(saved, service, h.app.state.paths.prefs_file);
    EXPECT_EQ(saved.quiet_hours, c.setting);
  }
  testing::AppHarness h;  // Escape leaves them as they were
  h.app.state.prefs.quiet_hours = "23:00-06:30";
  h.ui.text_answers = {std::nullopt};
  SetQuietHours(h.app);
  EXPECT_EQ(h.app.state.prefs.quiet_hours, "23:00-06:30");
  EXPECT_THAT(h.announcer.events, ::testing::IsEmpty());
}

}  // namespace
}  // namespace skyvigil
