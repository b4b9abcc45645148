// The gate that lets one core handler run at a time.
#include "app/core_gate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/app_harness.h"

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

}  // namespace
}  // namespace skyvigil
