// What the POSIX adapter of the atomic file replacement adds to the contract:
// the replaced file's permissions are kept, and a read-only folder holds even
// against root.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "ports/files.h"
#include "weather/prefs.h"

namespace skyvigil {
namespace {

using platform_test::FolderEntries;
using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

mode_t Mode(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(AtomicFilePosixTest, KeepsThePermissionsOfTheReplacedFile) {
  for (mode_t mode : {0600, 0640, 0664, 0604}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    WriteBytes(dir / "cities.json", "old");
    ASSERT_EQ(::chmod((dir / "cities.json").c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(dir / "cities.json", "new"));
    EXPECT_EQ(Mode(dir / "cities.json"), mode);
    EXPECT_EQ(ReadBytes(dir / "cities.json"), "new");
  }
}

TEST(AtomicFilePosixTest, NewFileIsReadableByAllAndWritableByTheOwner) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "cities.json", "[]"));
  EXPECT_EQ(Mode(dir / "cities.json"), 0644u);
}

TEST(AtomicFilePosixTest, ASecretIsForItsOwnerAloneWhateverTheOldFileAllowed) {
  const struct {
    mode_t old_mode;  // 0: no old file
    mode_t mode;
  } cases[] = {{0, 0600}, {0644, 0600}, {0666, 0600}, {0600, 0600}, {0700, 0700}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.old_mode);
    TempDir dir;
    if (c.old_mode != 0) {
      WriteBytes(dir / "prefs.ini", "old");
      ASSERT_EQ(::chmod((dir / "prefs.ini").c_str(), c.old_mode), 0);
    }
    ASSERT_TRUE(WriteFileAtomically(dir / "prefs.ini", "key", FileAccess::owner_only));
    EXPECT_EQ(Mode(dir / "prefs.ini"), c.mode);
  }
}

TEST(AtomicFilePosixTest, PrefsIniIsTheOwnersAloneOnceItHoldsTheKey) {
  TempDir dir;
  SavePreferences(Preferences{}, dir / "prefs.ini");
  EXPECT_EQ(Mode(dir / "prefs.ini"), 0644u);
  SaveServiceKey("0f1e2d3c4b5a69788796a5b4c3d2e1f", dir / "prefs.ini");
  EXPECT_EQ(Mode(dir / "prefs.ini"), 0600u);
  SavePreferences(Preferences{}, dir / "prefs.ini");  // the key stays, so does the mode
  EXPECT_EQ(Mode(dir / "prefs.ini"), 0600u);
}

TEST(AtomicFilePosixTest, KeepingAFileForItsOwnerTakesEveryRightFromTheOthers) {
  const struct {
    mode_t old_mode;
    mode_t mode;
  } cases[] = {{0644, 0600}, {0640, 0600}, {0604, 0600}, {0755, 0700}, {0444, 0400}, {02664, 0600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.old_mode);
    TempDir dir;
    WriteBytes(dir / "prefs.ini", "key");
    ASSERT_EQ(::chmod((dir / "prefs.ini").c_str(), c.old_mode), 0);
    EXPECT_TRUE(KeepForOwnerOnly(dir / "prefs.ini"));
    EXPECT_EQ(Mode(dir / "prefs.ini"), c.mode);
    EXPECT_EQ(ReadBytes(dir / "prefs.ini"), "key");
  }
}

TEST(AtomicFilePosixTest, KeepingForItsOwnerLeavesAFolderOrNothingAlone) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder");
  ASSERT_EQ(::chmod((dir / "folder").c_str(), 0755), 0);
  EXPECT_FALSE(KeepForOwnerOnly(dir / "folder"));
  EXPECT_EQ(Mode(dir / "folder"), 0755u);
  EXPECT_FALSE(KeepForOwnerOnly(dir / "missing"));
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"folder"});
}

// At start, whatever mode an older build or the user left it with.
TEST(AtomicFilePosixTest, ALoadedPrefsIniHoldingTheKeyIsTheOwnersAlone) {
  const struct {
    const char* name;
    std::string bytes;
    mode_t mode;
  } cases[] = {
      {"key", "[service]\r\napi_key = 0f1e2d3c\r\n", 0600},
      {"key among other settings",
       "[general]\r\ncelcius = 1\r\n[Service]\r\nAPI_KEY=k\r\n[monitors]\r\n", 0600},
      {"empty key", "[service]\r\napi_key =\r\n", 0644},
      {"key outside its group", "[general]\r\napi_key = 0f1e2d3c\r\n", 0644},
      {"no key", "[general]\r\ncelcius = 1\r\n", 0644},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteBytes(dir / "prefs.ini", c.bytes);
    ASSERT_EQ(::chmod((dir / "prefs.ini").c_str(), 0644), 0);
    Preferences prefs;
    ServiceConfig service;
    LoadPreferences(prefs, service, dir / "prefs.ini");
    EXPECT_EQ(Mode(dir / "prefs.ini"), c.mode);
    EXPECT_EQ(ReadBytes(dir / "prefs.ini"), c.bytes);
  }
}

// In a read-only folder neither a new file nor a replacement can be made.
// Returns a description of what went wrong, empty when all held.
std::string WriteIntoReadOnlyFolder(const std::filesystem::path& folder) {
  std::string problems;
  if (WriteFileAtomically(folder / "new.json", "[]"))
    problems += "new file written; ";
  if (WriteFileAtomically(folder / "prefs.ini", "new"))
    problems += "file replaced; ";
  if (ReadBytes(folder / "prefs.ini") != "old")
    problems += "old file changed; ";
  if (FolderEntries(folder) != std::vector<std::string>{"prefs.ini"})
    problems += "folder content changed; ";
  return problems;
}

TEST(AtomicFilePosixTest, ReadOnlyFolderFailsAndIsLeftAsItWas) {
  TempDir dir;
  const auto folder = dir / "data";
  std::filesystem::create_directory(folder);
  WriteBytes(folder / "prefs.ini", "old");

  if (::geteuid() != 0) {
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    if (::access(folder.c_str(), W_OK) == 0) {
      ::chmod(folder.c_str(), 0755);
      GTEST_SKIP() << "this process may write into a folder of mode 0555 (it has "
                      "CAP_DAC_OVERRIDE), so a read-only folder cannot be made";
    }
    EXPECT_EQ(WriteIntoReadOnlyFolder(folder), "");
    ::chmod(folder.c_str(), 0755);
    return;
  }

  // Root writes into any folder. Run the check in a child that has given up
  // root for "nobody", owner of the folder, which is read-only to its owner.
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chown((folder / "prefs.ini").c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(3);
    }
    if (::access(folder.c_str(), W_OK) == 0)
      ::_exit(4);
    const std::string problems = WriteIntoReadOnlyFolder(folder);
    const ssize_t written = ::write(report[1], problems.data(), problems.size());
    ::_exit(written == static_cast<ssize_t>(problems.size()) ? 0 : 5);
  }
  ::close(report[1]);
  std::string problems;
  char buffer[256];
  for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
    problems.append(buffer, n);
  ::close(report[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::chmod(folder.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 3 || WEXITSTATUS(status) == 4) {
    GTEST_SKIP() << "running as root and could not drop to an unprivileged user that is "
                    "denied writing into a folder of mode 0555";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(problems, "");
}

}  // namespace
}  // namespace skyvigil
