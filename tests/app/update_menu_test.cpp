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

struct MenuCheckCase {
  const char* label;
  std::string version;
  std::vector<std::string> dialogs;
};

TEST(UpdateMenu, TheCheckRunsOffTheMainThreadAndAsksOnIt) {
  const std::vector<MenuCheckCase> cases = {
      {"same version", "0.36", {"Alert|No update available."}},
      {"newer version declined",
       "0.37",
       {"Alert|There is a new version of Skyvigil available, 0.37. Would you like to download "
        "it now?"}},
  };
  for (const MenuCheckCase& c : cases) {
    SCOPED_TRACE(c.label);
    testing::AppHarness h;
    h.app.state.app_version = "0.36";
    h.app.state.service.update_address = "https://updates.test";
    h.app.state.paths.updater_program = "updater.exe";
    h.http.answer = [&c](const HttpRequest& r) {
      EXPECT_EQ(r.url, "https://updates.test/projects/skyvigilversion.txt");
      return HttpResponse{true, 200, c.version};
    };
    h.ui.yes_no_answers = {false};
    h.http.Hold();
    RunCommand(h.app, kCheckForUpdates);
    EXPECT_THAT(h.ui.dialogs, IsEmpty());  // the handler returned before any answer
    h.http.Release();
    h.FinishFetches();
    EXPECT_EQ(h.ui.dialogs, c.dialogs);
    EXPECT_THAT(h.http.downloads, IsEmpty());
  }
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
