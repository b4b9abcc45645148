// Twenty instances started at the same moment in one folder: the single-instance
// marker lets exactly one of them run, and the others leave it alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ports/instance_lock.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;

constexpr int kStarts = 20;

// What one started process reports through the result pipe.
struct Report {
  pid_t pid;
  InstanceLock::Outcome outcome;
};

bool ReadAll(int fd, void* data, size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, bytes, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Blocks until every writer of `fd` has closed it.
void WaitForEnd(int fd) {
  char byte = 0;
  for (;;) {
    const ssize_t n = ::read(fd, &byte, 1);
    if (n == 0 || (n < 0 && errno != EINTR))
      return;
  }
}

ino_t Inode(const fs::path& file) {
  struct stat info {};
  return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

// One started instance: waits at the start barrier, takes the marker, reports,
// and when it won holds the marker until the test lets it go, then exits as
// the program does.
[[noreturn]] void Start(const fs::path& marker, int barrier, int results, int hold) {
  WaitForEnd(barrier);
  InstanceLock lock;
  const Report report{::getpid(), lock.Acquire(marker)};
  if (::write(results, &report, sizeof report) != sizeof report)
    ::_exit(2);
  if (report.outcome == InstanceLock::Outcome::acquired) {
    WaitForEnd(hold);
    lock.Release();
  }
  ::_exit(0);
}

class RacingStartsTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "skyvigil-race-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }

  fs::path folder_;
};

TEST_P(RacingStartsTest, ExactlyOneOfTwentyRunsAndItsMarkerStays) {
  const bool stale_marker = GetParam();
  const fs::path marker = folder_ / "running";
  constexpr int kRounds = 10;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(::testing::Message() << "round " << round);
    if (stale_marker) {
      // Left behind by an instance that crashed: nobody holds it.
      std::ofstream(marker) << "left over";
    }

    int barrier[2];
    int results[2];
    int hold[2];
    ASSERT_EQ(::pipe(barrier), 0);
    ASSERT_EQ(::pipe(results), 0);
    ASSERT_EQ(::pipe(hold), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kStarts; ++i) {
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::close(barrier[1]);
        ::close(results[0]);
        ::close(hold[1]);
        Start(marker, barrier[0], results[1], hold[0]);
      }
      children.push_back(child);
    }
    ::close(barrier[0]);
    ::close(results[1]);
    ::close(hold[0]);
    ::close(barrier[1]);  // all twenty go at once

    std::vector<Report> reports(kStarts);
    for (Report& report : reports)
      ASSERT_TRUE(ReadAll(results[0], &report, sizeof report));
    ::close(results[0]);

    pid_t winner = -1;
    int others = 0;
    for (const Report& report : reports) {
      if (report.outcome == InstanceLock::Outcome::acquired) {
        EXPECT_EQ(winner, -1) << "two instances hold the marker";
        winner = report.pid;
      } else {
        EXPECT_EQ(report.outcome, InstanceLock::Outcome::other_instance);
        ++others;
      }
    }
    ASSERT_NE(winner, -1) << "no instance holds the marker";
    EXPECT_EQ(others, kStarts - 1);

    // The others end with code 0 and leave the winner's marker in place.
    const ino_t held = Inode(marker);
    EXPECT_NE(held, 0u);
    for (pid_t child : children) {
      if (child == winner)
        continue;
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    EXPECT_EQ(Inode(marker), held);
    InstanceLock late;
    EXPECT_EQ(late.Acquire(marker), InstanceLock::Outcome::other_instance);

    // The winner's exit removes the marker; the next start runs.
    ::close(hold[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(winner, &status, 0), winner);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_FALSE(fs::exists(marker));
    InstanceLock next;
    EXPECT_EQ(next.Acquire(marker), InstanceLock::Outcome::acquired);
    next.Release();
  }
}

INSTANTIATE_TEST_SUITE_P(Marker, RacingStartsTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "LeftOverMarker" : "NoMarker";
                         });

}  // namespace
}  // namespace skyvigil
