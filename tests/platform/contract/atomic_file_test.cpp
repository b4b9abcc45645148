// Atomic file replacement: exact bytes, kept permissions, and on every failure
// the old file untouched and no temporary file left behind.
#include "ports/files.h"

#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

std::set<std::string> Entries(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

mode_t Mode(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

struct Content {
  const char* name;
  std::string bytes;
};

// Test names and failure messages show the case's name, not two megabytes.
void PrintTo(const Content& content, std::ostream* out) {
  *out << content.name;
}

class WriteExactBytesTest : public ::testing::TestWithParam<Content> {};

TEST_P(WriteExactBytesTest, FileHoldsExactlyTheBytesAndNothingElseIsLeft) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "cities.json", GetParam().bytes));
  EXPECT_EQ(ReadBytes(dir / "cities.json"), GetParam().bytes);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"cities.json"});
}

INSTANTIATE_TEST_SUITE_P(Contents, WriteExactBytesTest,
                         ::testing::Values(Content{"Empty", ""}, Content{"OneByte", "x"},
                                           Content{"BomAndCrLf",
                                                   "\xEF\xBB\xBF[general]\r\ncelcius=1\r\n"},
                                           Content{"NulBytes", std::string("a\0b\0\0c", 6)},
                                           Content{"TwoMegabytes", std::string(2 << 20, '\x7f')}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicFileTest, ReplacesALongerExistingFileWhole) {
  TempDir dir;
  WriteBytes(dir / "prefs.ini", std::string(1000, 'o'));
  ASSERT_TRUE(WriteFileAtomically(dir / "prefs.ini", "new"));
  EXPECT_EQ(ReadBytes(dir / "prefs.ini"), "new");
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"prefs.ini"});
}

TEST(AtomicFileTest, KeepsThePermissionsOfTheReplacedFile) {
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

TEST(AtomicFileTest, NewFileIsReadableByAllAndWritableByTheOwner) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "cities.json", "[]"));
  EXPECT_EQ(Mode(dir / "cities.json"), 0644u);
}

TEST(AtomicFileTest, IntoAMissingFolderFailsAndCreatesNothing) {
  TempDir dir;
  EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "cities.json", "[]"));
  EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(AtomicFileTest, ReadOnlyFileIsLeftUntouchedEvenForRoot) {
  TempDir dir;
  WriteBytes(dir / "prefs.ini", "old");
  ASSERT_EQ(::chmod((dir / "prefs.ini").c_str(), 0444), 0);
  EXPECT_FALSE(WriteFileAtomically(dir / "prefs.ini", "new"));
  EXPECT_EQ(ReadBytes(dir / "prefs.ini"), "old");
  EXPECT_EQ(Mode(dir / "prefs.ini"), 0444u);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"prefs.ini"});
}

TEST(AtomicFileTest, PathThatIsAFolderFailsAndStaysAFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir / "cities.json");
  EXPECT_FALSE(WriteFileAtomically(dir / "cities.json", "[]"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "cities.json"));
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"cities.json"});
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
  std::error_code error;
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.insert(entry.path().filename().string());
  }
  if (names != std::set<std::string>{"prefs.ini"})
    problems += "folder content changed; ";
  return problems;
}

TEST(AtomicFileTest, ReadOnlyFolderFailsAndIsLeftAsItWas) {
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
