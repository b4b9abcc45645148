// The channel a second start uses to bring the running window back, the
// contract every platform's adapter keeps: a request reaches the listener of
// the same marker, once per request, and nobody else's.
#include "ports/show_requests.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using platform_test::TempDir;

// Counts the requests a listener was given; waits for them without polling.
class Requests {
 public:
  std::function<void()> Callback() {
    return [this] {
      std::lock_guard lock(mutex_);
      ++count_;
      changed_.notify_all();
    };
  }
  // The count once it reaches `expected`, or what it is after 10 s.
  int WaitFor(int expected) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return count_ >= expected; });
    return count_;
  }
  int Now() {
    std::lock_guard lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

TEST(ShowRequestsTest, NobodyListeningIsReported) {
  TempDir dir;
  EXPECT_FALSE(AskRunningInstanceToShow(dir / "running"));
}

TEST(ShowRequestsTest, EachRequestReachesTheListenerOnce) {
  TempDir dir;
  Requests requests;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(dir / "running", requests.Callback()));

  EXPECT_TRUE(AskRunningInstanceToShow(dir / "running"));
  EXPECT_EQ(requests.WaitFor(1), 1);
  EXPECT_TRUE(AskRunningInstanceToShow(dir / "running"));
  EXPECT_TRUE(AskRunningInstanceToShow(dir / "running"));
  EXPECT_EQ(requests.WaitFor(3), 3);
}

TEST(ShowRequestsTest, AnotherMarkersListenerIsNotReached) {
  TempDir first;
  TempDir second;
  Requests requests;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(first / "running", requests.Callback()));

  EXPECT_FALSE(AskRunningInstanceToShow(second / "running"));
  // A request to the right marker after it arrives alone.
  EXPECT_TRUE(AskRunningInstanceToShow(first / "running"));
  EXPECT_EQ(requests.WaitFor(1), 1);
  EXPECT_EQ(requests.Now(), 1);
}

TEST(ShowRequestsTest, AStoppedListenerIsNoLongerReached) {
  TempDir dir;
  Requests requests;
  {
    ShowRequestListener listener;
    ASSERT_TRUE(listener.Listen(dir / "running", requests.Callback()));
  }
  EXPECT_FALSE(AskRunningInstanceToShow(dir / "running"));
  EXPECT_EQ(requests.Now(), 0);

  // The next instance listens on the same marker again.
  ShowRequestListener next;
  ASSERT_TRUE(next.Listen(dir / "running", requests.Callback()));
  EXPECT_TRUE(AskRunningInstanceToShow(dir / "running"));
  EXPECT_EQ(requests.WaitFor(1), 1);
}

TEST(ShowRequestsTest, AMarkerDeepInALongFolderWorks) {
  TempDir dir;
  // Longer than a unix socket's address can hold.
  const std::filesystem::path deep = dir / std::string(90, 'd') / std::string(90, 'e');
  std::filesystem::create_directories(deep);
  Requests requests;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(deep / "running", requests.Callback()));
  EXPECT_TRUE(AskRunningInstanceToShow(deep / "running"));
  EXPECT_EQ(requests.WaitFor(1), 1);
}

}  // namespace
}  // namespace skyvigil
