// "Check for Updates" from the menu: the check runs off the main thread, its
// dialogs come to the main thread.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The service holds its answer until the handler has returned: a check made on
// the main thread would never return from RunCommand here.
TEST(UpdateMenu, TheCheckRunsOffTheMainThreadAndAsksOnIt) {
  testing::AppHarness h;
  h.app.state.app_version = "0.36";
  h.app.state.service.update_address = "https://updates.test";
  h.app.state.paths.updater_program = "updater.exe";
  h.http.answer = [](const HttpRequest&) { return HttpResponse{true, 200, "0.37"}; };
  h.ui.yes_no_answers = {false};
  h.http.Hold();
  RunCommand(h.app, kCheckForUpdates);
  h.http.Release();
  h.FinishFetches();
  EXPECT_THAT(h.ui.dialogs,
              ElementsAre("Alert|There is a new version of Skyvigil available, 0.37. Would you "
                          "like to download it now?"));
  EXPECT_THAT(h.http.downloads, IsEmpty());
}

// At exit the desktop drops work posted to its gone window: the question is
// then a "no" and the check ends quietly (an exception on its thread would
// end the process), asking nothing.
TEST(UpdateMenu, AQuestionDroppedAtExitEndsTheCheck) {
  testing::AppHarness h;
  h.app.state.app_version = "0.36";
  h.app.state.service.update_address = "https://updates.test";
  h.http.answer = [](const HttpRequest&) { return HttpResponse{true, 200, "0.37"}; };
  RunCommand(h.app, kCheckForUpdates);
  h.main_thread.AwaitPost();
  h.main_thread.DropPosted();
  h.FinishFetches();  // the worker ended and handed back its (empty) answer
  EXPECT_THAT(h.ui.dialogs, IsEmpty());
  EXPECT_THAT(h.http.downloads, IsEmpty());
}

}  // namespace
}  // namespace skyvigil
