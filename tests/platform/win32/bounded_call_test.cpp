// Calls given up after a limit, and a program that hung not asked again
// until it answered.
#include "platform/win32/bounded_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace skyvigil {
namespace {

using namespace std::chrono_literals;

TEST(BoundedCallTest, AnAnswerWithinTheLimitIsReturned) {
  for (const bool answer : {true, false}) {
    SCOPED_TRACE(answer);
    BoundedCaller caller(30s);
    EXPECT_EQ(caller.Run([answer] { return answer; }), answer);
    EXPECT_FALSE(caller.GivenUpCallRuns());
  }
}

TEST(BoundedCallTest, AHangingCallIsGivenUpAndNothingIsAskedUntilItReturns) {
  BoundedCaller caller(50ms);
  auto release = std::make_shared<std::promise<void>>();
  std::shared_future<void> released = release->get_future().share();
  EXPECT_FALSE(caller.Run([released] {
    released.wait();
    return true;
  }));
  EXPECT_TRUE(caller.GivenUpCallRuns());

  std::atomic<int> asked = 0;
  EXPECT_FALSE(caller.Run([&asked] {
    ++asked;
    return true;
  }));
  EXPECT_EQ(asked, 0);

  release->set_value();
  while (caller.GivenUpCallRuns())
    std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(caller.Run([&asked] {
    ++asked;
    return true;
  }));
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace skyvigil
