// The single-instance marker contended by separate processes started at once,
// as the contract suite contends it with threads.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "fakes/temp_dir.h"
#include "ports/instance_lock.h"

namespace skyvigil {
namespace {

using Outcome = InstanceLock::Outcome;
using platform_test::TempDir;

TEST(InstanceLockPosixTest, OfSeveralProcessesStartingAtOnceExactlyOneWins) {
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
