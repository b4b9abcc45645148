// The single-instance marker: taken, refused to a second holder, released,
// taken over from a crashed run, and contended by several processes at once.
#include "ports/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using Outcome = InstanceLock::Outcome;
using platform_test::TempDir;

TEST(InstanceLockTest, FirstAcquireHoldsTheMarker) {
  TempDir dir;
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(dir / "running"), Outcome::acquired);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "running"));
}

TEST(InstanceLockTest, SecondHolderIsToldAnotherInstanceRunsAndLeavesTheMarker) {
  TempDir dir;
  InstanceLock first;
  ASSERT_EQ(first.Acquire(dir / "running"), Outcome::acquired);
  struct stat before {};
  ASSERT_EQ(::stat((dir / "running").c_str(), &before), 0);

  InstanceLock second;
  EXPECT_EQ(second.Acquire(dir / "running"), Outcome::other_instance);
  second.Release();  // holds nothing: must not delete the first one's marker
  struct stat after {};
  ASSERT_EQ(::stat((dir / "running").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  // Still held: a third try is refused as well.
  InstanceLock third;
  EXPECT_EQ(third.Acquire(dir / "running"), Outcome::other_instance);
}

TEST(InstanceLockTest, ReleaseDeletesTheMarkerAndFreesIt) {
  TempDir dir;
  InstanceLock first;
  ASSERT_EQ(first.Acquire(dir / "running"), Outcome::acquired);
  first.Release();
  EXPECT_FALSE(std::filesystem::exists(dir / "running"));

  InstanceLock next;
  EXPECT_EQ(next.Acquire(dir / "running"), Outcome::acquired);
}

TEST(InstanceLockTest, DestroyingTheHolderFreesTheMarkerButLeavesTheFile) {
  TempDir dir;
  {
    InstanceLock crashed;
    ASSERT_EQ(crashed.Acquire(dir / "running"), Outcome::acquired);
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "running"));
  InstanceLock next;
  EXPECT_EQ(next.Acquire(dir / "running"), Outcome::acquired);
}

TEST(InstanceLockTest, LeftOverMarkerNobodyHoldsIsTakenOver) {
  TempDir dir;
  platform_test::WriteBytes(dir / "running", "left by a crashed run");
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(dir / "running"), Outcome::acquired);
  lock.Release();
  EXPECT_FALSE(std::filesystem::exists(dir / "running"));
}

TEST(InstanceLockTest, MarkerThatIsAFolderLeavesTheInstanceUnguarded) {
  TempDir dir;
  std::filesystem::create_directory(dir / "running");
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(dir / "running"), Outcome::unguarded);
  lock.Release();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "running"));
}

TEST(InstanceLockTest, OfSeveralProcessesStartingAtOnceExactlyOneWins) {
  TempDir dir;
  constexpr int kRounds = 5;
  constexpr int kProcesses = 6;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    // The children block until the parent closes `go`, try once, report through
    // `tried`, and hold what they got until the parent closes `hold`; the exit
    // code tells the outcome.
    int go[2];
    int tried[2];
    int hold[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(tried), 0);
    ASSERT_EQ(::pipe(hold), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        ::close(go[1]);
        ::close(tried[0]);
        ::close(hold[1]);
        char byte = 0;
        if (::read(go[0], &byte, 1) != 0)
          ::_exit(20);
        InstanceLock lock;
        const Outcome outcome = lock.Acquire(dir / "running");
        if (::write(tried[1], "x", 1) != 1)
          ::_exit(21);
        if (::read(hold[0], &byte, 1) != 0)
          ::_exit(22);
        ::_exit(outcome == Outcome::acquired ? 0 : outcome == Outcome::other_instance ? 1 : 2);
      }
      children.push_back(pid);
    }
    ::close(go[0]);
    ::close(tried[1]);
    ::close(hold[0]);
    ::close(go[1]);  // all start at once
    char byte = 0;
    int reports = 0;
    while (reports < kProcesses && ::read(tried[0], &byte, 1) == 1)
      ++reports;
    EXPECT_EQ(reports, kProcesses);
    ::close(tried[0]);
    ::close(hold[1]);  // let them end

    int winners = 0;
    int refused = 0;
    for (pid_t pid : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(WIFEXITED(status));
      winners += WEXITSTATUS(status) == 0 ? 1 : 0;
      refused += WEXITSTATUS(status) == 1 ? 1 : 0;
    }
    EXPECT_EQ(winners, 1);
    EXPECT_EQ(refused, kProcesses - 1);
    std::filesystem::remove(dir / "running");
  }
}

}  // namespace
}  // namespace skyvigil
