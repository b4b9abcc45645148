// Atomic file replacement, the contract every platform's adapter keeps: exact
// bytes, any folder name, and on every failure the old file untouched and no
// temporary file left behind.
#include "ports/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

namespace fs = std::filesystem;
using platform_test::FolderEntries;
using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;
using Names = std::vector<std::string>;

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
  EXPECT_EQ(FolderEntries(dir.path()), Names{"cities.json"});
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
  EXPECT_EQ(FolderEntries(dir.path()), Names{"prefs.ini"});
}

// The folder a user runs the program from may be named in any script.
TEST(AtomicFileTest, WorksInAFolderNamedWithNonAsciiLetters) {
  TempDir dir;
  const fs::path folder =
      dir.path() / fs::path(u8"Z\u00fcrich \u6771\u4eac \u0391\u03b8\u03ae\u03bd\u03b1");
  ASSERT_TRUE(fs::create_directory(folder));
  ASSERT_TRUE(WriteFileAtomically(folder / "cities.json", "old"));
  ASSERT_TRUE(WriteFileAtomically(folder / "cities.json", "[]"));
  EXPECT_EQ(ReadBytes(folder / "cities.json"), "[]");
  EXPECT_EQ(FolderEntries(folder), Names{"cities.json"});
  EXPECT_EQ(
      FolderEntries(dir.path()),
      Names{"Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1"});
}

// Virus scanners and indexers open a file for a moment after it was written.
// On Windows such a reader blocks the replacement while it has the file open.
TEST(AtomicFileTest, AReaderThatSoonLetsGoDoesNotStopTheSave) {
  TempDir dir;
  WriteBytes(dir / "cities.json", "old");
  auto reader = std::make_unique<std::ifstream>(dir / "cities.json", std::ios::binary);
  ASSERT_TRUE(reader->is_open());
  std::thread let_go([&reader] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    reader.reset();
  });
  const bool saved = WriteFileAtomically(dir / "cities.json", "new");
  let_go.join();
  EXPECT_TRUE(saved);
  EXPECT_EQ(ReadBytes(dir / "cities.json"), "new");
  EXPECT_EQ(FolderEntries(dir.path()), Names{"cities.json"});
}

TEST(AtomicFileTest, IntoAMissingFolderFailsAndCreatesNothing) {
  TempDir dir;
  EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "cities.json", "[]"));
  EXPECT_EQ(FolderEntries(dir.path()), Names{});
}

TEST(AtomicFileTest, ReadOnlyFileIsLeftUntouchedEvenForRoot) {
  TempDir dir;
  WriteBytes(dir / "prefs.ini", "old");
  const auto read_only = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(dir / "prefs.ini", read_only);
  EXPECT_FALSE(WriteFileAtomically(dir / "prefs.ini", "new"));
  EXPECT_EQ(ReadBytes(dir / "prefs.ini"), "old");
  EXPECT_EQ(fs::status(dir / "prefs.ini").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(FolderEntries(dir.path()), Names{"prefs.ini"});
  fs::permissions(dir / "prefs.ini", fs::perms::owner_write, fs::perm_options::add);
}

TEST(AtomicFileTest, PathThatIsAFolderFailsAndStaysAFolder) {
  TempDir dir;
  fs::create_directory(dir / "cities.json");
  EXPECT_FALSE(WriteFileAtomically(dir / "cities.json", "[]"));
  EXPECT_TRUE(fs::is_directory(dir / "cities.json"));
  EXPECT_EQ(FolderEntries(dir.path()), Names{"cities.json"});
}

}  // namespace
}  // namespace skyvigil
