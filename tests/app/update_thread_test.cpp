// The automatic update check's dialogs on the main thread: asked at once
// while the window is shown; while it is hidden, said once in the background
// and asked when the user shows the window.
#include "app/update_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/commands.h"
#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kQuestion[] =
    "Alert|There is a new version of Skyvigil available, 0.40. Would you like to download it now?";

class UpdateThreadTest : public ::testing::Test {
 protected:
  UpdateThreadTest() {
    server.answer = [](const HttpRequest&) { return HttpResponse{true, 200, "0.40"}; };
    h.ui.yes_no_answers.push_back(false);
  }

  // Starts the check and runs its first post: the question, or its wait.
  void StartCheck() {
    UpdateSource source;
    source.update_address = "https://updates.test";
    source.app_version = "0.36";
    StartAutomaticUpdateCheck(h.gate, h.main_thread, server, h.announcer, source);
    h.main_thread.AwaitPost();
    h.main_thread.RunPosted();
  }

  testing::AppHarness h;
  testing::ScriptedHttp server;  // the update server
};

TEST_F(UpdateThreadTest, AShownWindowIsAskedAtOnceWithNothingSaid) {
  StartCheck();
  EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion));
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

struct Showing {
  const char* name;
  std::function<void(App&)> show;
};

void PrintTo(const Showing& showing, std::ostream* out) {
  *out << showing.name;
}

class HiddenWindowTest : public UpdateThreadTest, public ::testing::WithParamInterface<Showing> {};

TEST_P(HiddenWindowTest, TheQuestionWaitsForTheWindowAndIsToldOnce) {
  h.app.state.prefs.window_hidden = 1;
  StartCheck();
  EXPECT_THAT(h.ui.dialogs, IsEmpty());
  EXPECT_THAT(h.announcer.events, ElementsAre("news:Skyvigil 0.40 is available."));

  // Other handlers leave the window hidden: the question still waits.
  h.gate.Run([](App& app) { RunCommand(app, kSpeakSummary); });
  h.main_thread.RunPosted();
  EXPECT_THAT(h.ui.dialogs, IsEmpty());

  h.gate.Run(GetParam().show);
  EXPECT_EQ(h.app.state.prefs.window_hidden, 0);
  h.main_thread.RunPosted();
  EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion));
  EXPECT_THAT(h.announcer.events, ElementsAre("news:Skyvigil 0.40 is available."));
  EXPECT_THAT(h.app.state.when_window_shown, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Showings, HiddenWindowTest,
    ::testing::Values(Showing{"TrayIcon", [](App& app) { OnTrayIconClick(app); }},
                      Showing{"SecondStart", [](App& app) { OnShowRequest(app); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil
