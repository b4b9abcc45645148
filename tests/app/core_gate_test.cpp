// The gate that lets one core handler run at a time.
#include "app/core_gate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/app_harness.h"
#include "fakes/screen_text.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;

// A start-up dialog runs its own event loop, which delivers work posted
// meanwhile (a refresh's answers, say): it must run once the dialog closes.
TEST(CoreGateTest, WorkPostedWhileAStartUpDialogIsOpenRunsWhenItCloses) {
  testing::AppHarness h;
  std::vector<std::string> order;
  h.gate.RunBeforeLoop([&](App&) {
    order.push_back("dialog opens");
    h.gate.Run([&](App&) { order.push_back("posted work"); });
    order.push_back("dialog closes");
  });
  EXPECT_THAT(order, ElementsAre("dialog opens", "dialog closes", "posted work"));
}

// Each handler's changes reach the desktop when it returns, those of work
// that waited behind it after that work.
TEST(CoreGateTest, TheScreenIsDrawnAfterEveryHandler) {
  testing::AppHarness h;
  std::vector<std::vector<std::string>> drawn;
  h.Run([&](App& app) {
    app.state.prefs.text_size = 150;
    h.gate.Run([&](App& a) {
      drawn.push_back(testing::Described(h.ui.changes));
      a.state.prefs.text_size = 200;
    });
  });
  drawn.push_back(testing::Described(h.ui.changes));
  // The first drawing checks the monitor sounds' item, on by default.
  EXPECT_THAT(drawn, ElementsAre(ElementsAre("text size 150", "check 16"),
                                 ElementsAre("text size 150", "check 16", "text size 200")));
}

}  // namespace
}  // namespace skyvigil
