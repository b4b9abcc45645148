// The channel a second start uses to bring the running window back or to
// have the summary spoken, the contract every platform's adapter keeps: a
// request reaches the listener of the same marker, once per request and as
// asked, and nobody else's.
#include "ports/show_requests.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using platform_test::TempDir;

constexpr InstanceRequest kShow = InstanceRequest::show;
constexpr InstanceRequest kSpeak = InstanceRequest::speak;

// Records the requests a listener was given; waits for them without polling.
class Requests {
 public:
  std::function<void(InstanceRequest)> Callback() {
    return [this](InstanceRequest request) {
      std::lock_guard lock(mutex_);
      given_.push_back(request);
      changed_.notify_all();
    };
  }
  // The count once it reaches `expected`, or what it is after 10 s.
  int WaitFor(int expected) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10),
                      [&] { return static_cast<int>(given_.size()) >= expected; });
    return static_cast<int>(given_.size());
  }
  int Now() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(given_.size());
  }
  std::vector<InstanceRequest> Given() {
    std::lock_guard lock(mutex_);
    return given_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<InstanceRequest> given_;
};

TEST(ShowRequestsTest, NobodyListeningIsReported) {
  TempDir dir;
  EXPECT_FALSE(AskRunningInstance(dir / "running", kShow));
  EXPECT_FALSE(AskRunningInstance(dir / "running", kSpeak));
}

TEST(ShowRequestsTest, EachRequestReachesTheListenerOnceAsAsked) {
  TempDir dir;
  Requests requests;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(dir / "running", requests.Callback()));

  EXPECT_TRUE(AskRunningInstance(dir / "running", kShow));
  EXPECT_EQ(requests.WaitFor(1), 1);
  EXPECT_TRUE(AskRunningInstance(dir / "running", kSpeak));
  EXPECT_TRUE(AskRunningInstance(dir / "running", kSpeak));
  EXPECT_TRUE(AskRunningInstance(dir / "running", kShow));
  EXPECT_EQ(requests.WaitFor(4), 4);
  EXPECT_EQ(requests.Given(), (std::vector{kShow, kSpeak, kSpeak, kShow}));
}

TEST(ShowRequestsTest, AnotherMarkersListenerIsNotReached) {
  TempDir first;
  TempDir second;
  Requests requests;
  ShowRequestListener listener;
  ASSERT_TRUE(listener.Listen(first / "running", requests.Callback()));

  EXPECT_FALSE(AskRunningInstance(second / "running", kSpeak));
  // A request to the right marker after it arrives alone.
  EXPECT_TRUE(AskRunningInstance(first / "running", kShow));
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
  EXPECT_FALSE(AskRunningInstance(dir / "running", kShow));
  EXPECT_EQ(requests.Now(), 0);

  // The next instance listens on the same marker again.
  ShowRequestListener next;
  ASSERT_TRUE(next.Listen(dir / "running", requests.Callback()));
  EXPECT_TRUE(AskRunningInstance(dir / "running", kShow));
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
  EXPECT_TRUE(AskRunningInstance(deep / "running", kShow));
  EXPECT_EQ(requests.WaitFor(1), 1);
}

}  // namespace
}  // namespace skyvigil
