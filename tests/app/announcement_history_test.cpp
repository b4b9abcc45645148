// Announcement history: what is spoken is kept with its time, newest first,
// and the history window shows it and copies a line.
#include "app/announcement_history.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;

TEST(AnnouncementHistory, KeepsTheLast500TextsWithTheirTimeNewestFirstAndPassesThemOn) {
  testing::FakeAnnouncer speech;
  testing::FixedClock clock;
  AnnouncementHistory history(speech, clock);
  clock.now = {7, 5};
  history.Speak("Copied", true);
  clock.now = {23, 59};
  for (int i = 0; i < 500; ++i)
    history.Speak("line " + std::to_string(i), false);
  history.PlayCue(Cue::alert);

  const std::vector<std::string> lines = history.Lines();
  ASSERT_EQ(lines.size(), 500u);
  EXPECT_EQ(lines.front(), "23:59 line 499");
  EXPECT_EQ(lines.back(), "23:59 line 0");  // "Copied" was the 501st from the end
  EXPECT_EQ(speech.events.front(), "SAY!:Copied");
  EXPECT_EQ(speech.events.back(), "cue:alert");
}

// The window shows the announcements as they were when it opened.
TEST(AnnouncementHistory, ItsWindowShowsTheTextsSpokenUntilItOpened) {
  AppHarness h;
  h.clock.now = {9, 30};
  h.app.announcer.Speak("Monitor sounds off", false);
  h.app.announcer.Speak("Celcius", false);
  h.Run([](App& app) { RunCommand(app, kAnnouncementHistory); });
  h.app.announcer.Speak("Copied", true);
  const Screen screen = h.Drawn();
  ASSERT_TRUE(screen.secondary.has_value());
  EXPECT_EQ(screen.secondary->kind, WindowKind::history);
  EXPECT_THAT(screen.secondary->list.lines,
              ElementsAre("09:30 Celcius", "09:30 Monitor sounds off"));
  EXPECT_EQ(screen.secondary->list.selected, 0);
  EXPECT_EQ(screen.focus, kHistoryList);
}

}  // namespace
}  // namespace skyvigil
