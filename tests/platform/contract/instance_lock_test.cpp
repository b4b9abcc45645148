// The single-instance marker, the contract every platform's adapter keeps:
// taken, refused to a second holder, released, taken over from a crashed run,
// contended by several holders at once, in a folder of any name.
#include "ports/instance_lock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
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

  InstanceLock second;
  EXPECT_EQ(second.Acquire(dir / "running"), Outcome::other_instance);
  second.Release();  // holds nothing: must not delete the first one's marker
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "running"));

  // Still held, the same marker: a third try is refused as well.
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

// A folder no instance may write in, holding no marker: the owner-read-only
// temporary folder when that holds for this process, else the system's own
// sysfs, which refuses new files even to root (under wine, seen as Z:\sys).
// Empty when neither can be had here.
std::filesystem::path UnwritableFolder(const std::filesystem::path& temporary) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_exec,
                  fs::perm_options::replace, error);
#ifdef _WIN32
  const fs::path candidates[] = {temporary, "Z:\\sys"};
#else
  const fs::path candidates[] = {temporary, "/sys"};
#endif
  for (const fs::path& folder : candidates) {
    if (!fs::is_directory(folder, error) || fs::exists(folder / "running", error))
      continue;
    if (std::FILE* probe = std::fopen((folder / "skyvigil-probe").string().c_str(), "wb")) {
      std::fclose(probe);
      fs::remove(folder / "skyvigil-probe", error);
      continue;
    }
    return folder;
  }
  return {};
}

// Another instance and a folder that refuses files are told apart: only the
// first keeps this one from starting.
TEST(InstanceLockTest, ReadOnlyFolderWithoutAMarkerIsNoOtherInstance) {
  TempDir dir;
  const std::filesystem::path folder = UnwritableFolder(dir.path());
  if (folder.empty()) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    GTEST_SKIP() << "no folder here refuses this process a new file";
  }
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(folder / "running"), Outcome::folder_not_writable);
  lock.Release();
  EXPECT_FALSE(std::filesystem::exists(folder / "running"));
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
}

// The folder a user runs the program from may be named in any script.
TEST(InstanceLockTest, WorksInAFolderNamedWithNonAsciiLetters) {
  TempDir dir;
  const auto folder = dir.path() / std::filesystem::path(u8"\u00c5lesund \u65e5\u672c \u0416");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  InstanceLock first;
  ASSERT_EQ(first.Acquire(folder / "running"), Outcome::acquired);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "running"));
  InstanceLock second;
  EXPECT_EQ(second.Acquire(folder / "running"), Outcome::other_instance);
  first.Release();
  EXPECT_FALSE(std::filesystem::exists(folder / "running"));
}

TEST(InstanceLockTest, OfSeveralHoldersStartingAtOnceExactlyOneWins) {
  TempDir dir;
  constexpr int kRounds = 20;
  constexpr int kHolders = 8;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    std::vector<InstanceLock> locks(kHolders);
    std::vector<Outcome> outcomes(kHolders, Outcome::unguarded);
    std::atomic<int> waiting{kHolders};
    std::vector<std::thread> threads;
    for (int i = 0; i < kHolders; ++i) {
      threads.emplace_back([&, i] {
        // All start at once.
        for (--waiting; waiting > 0;)
          std::this_thread::yield();
        outcomes[i] = locks[i].Acquire(dir / "running");
      });
    }
    for (std::thread& thread : threads)
      thread.join();
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), Outcome::acquired), 1);
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), Outcome::other_instance), kHolders - 1);
    for (InstanceLock& lock : locks)
      lock.Release();
    EXPECT_FALSE(std::filesystem::exists(dir / "running"));
  }
}

}  // namespace
}  // namespace skyvigil
