// updater.exe on a real program folder under wine: the new build in place and
// started, or, when anything fails, the old one whole and started again.
#include <gtest/gtest.h>

#include "fakes/zip_builder.h"
#include "update_tool/win32_test_support.h"

namespace skyvigil::testing {
namespace {

using Files = std::map<std::string, std::string>;

const std::string kUpdater = ReadAll(SKYVIGIL_UPDATER_EXE);
const std::string kOldProgram = ReadAll(SKYVIGIL_STAND_IN_OLD);
const std::string kNewProgram = ReadAll(SKYVIGIL_STAND_IN_NEW);

const Files kOldFolder = {{"Skyvigil.exe", kOldProgram},
                          {"updater.exe", kUpdater},
                          {"snd/alert.wav", "old alert"},
                          {"snd/up.wav", "same up"},
                          {"prefs.ini", "\xEF\xBB\xBF[general]\r\ncelcius=1\r\n"},
                          {"cities.json", "[\n  {\"name\": \"Oslo\"}\n]"}};

const std::string kArchive = BuildZip({{"Skyvigil.exe", kNewProgram, true},
                                       {"updater.exe", kUpdater, true},
                                       {"snd/alert.wav", "new alert"},
                                       {"snd/up.wav", "same up"},
                                       {"prefs.ini", "theirs"},
                                       {"cities.json", "theirs"},
                                       {"running", ""},
                                       {"README.txt", "read me", true}});

std::string WithBadCrc() {
  std::string archive = kArchive;
  archive.replace(archive.find("new alert"), 9, "new alerT");
  return archive;
}

struct Case {
  const char* name;
  std::string archive;
  const char* file_in_use;  // held open without sharing during the update
  int exit_code;
  Files files;          // afterwards, besides started.txt
  std::string started;  // which build was started
};

Files NewFolder() {
  Files files = kOldFolder;
  files["Skyvigil.exe"] = kNewProgram;
  files["snd/alert.wav"] = "new alert";
  files["README.txt"] = "read me";
  return files;
}

Files OldFolderWith(const std::string& archive) {
  Files files = kOldFolder;
  files["Skyvigil.zip"] = archive;
  return files;
}

class UpdaterTest : public ::testing::TestWithParam<Case> {};

TEST_P(UpdaterTest, InstallsOrKeepsTheOldProgram) {
  const Case& c = GetParam();
  ScratchFolder folder;
  for (const auto& [name, bytes] : OldFolderWith(c.archive))
    WriteAll(folder.path() / name, bytes);
  HANDLE held = INVALID_HANDLE_VALUE;
  if (c.file_in_use) {
    held = ::CreateFileW((folder.path() / c.file_in_use).c_str(), GENERIC_READ, 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
  }

  const int code =
      RunToEnd(L"\"" + (folder.path() / "updater.exe").wstring() + L"\"", folder.path());
  if (held != INVALID_HANDLE_VALUE)
    ::CloseHandle(held);

  EXPECT_EQ(code, c.exit_code);
  Files after = Snapshot(folder.path());
  EXPECT_EQ(after["started.txt"], c.started);
  after.erase("started.txt");
  EXPECT_EQ(after, c.files);
}

// The archive of `make dist`, packed by Info-ZIP rather than by our builder.
TEST(UpdaterDistTest, InstallsThePortableZip) {
  ScratchFolder folder;
  for (const auto& [name, bytes] : OldFolderWith(ReadAll(SKYVIGIL_TEST_ZIP)))
    WriteAll(folder.path() / name, bytes);
  EXPECT_EQ(RunToEnd(L"\"" + (folder.path() / "updater.exe").wstring() + L"\"", folder.path()), 0);
  Files after = Snapshot(folder.path());
  EXPECT_EQ(after["started.txt"], "new");
  EXPECT_EQ(after["snd/alert.wav"], ReadAll(SKYVIGIL_SOURCE_DIR "/snd/alert.wav"));
  EXPECT_EQ(after["prefs.ini"], kOldFolder.at("prefs.ini"));
  EXPECT_EQ(after["cities.json"], kOldFolder.at("cities.json"));
  EXPECT_EQ(after.count("Skyvigil.zip"), 0u);
  EXPECT_EQ(after.count("LICENSE.txt"), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UpdaterTest,
    ::testing::Values(Case{"NewBuild", kArchive, nullptr, 0, NewFolder(), "new"},
                      Case{"Truncated", kArchive.substr(0, kArchive.size() * 2 / 3), nullptr, 2,
                           OldFolderWith(kArchive.substr(0, kArchive.size() * 2 / 3)), "old"},
                      Case{"BadCrc", WithBadCrc(), nullptr, 2, OldFolderWith(WithBadCrc()), "old"},
                      Case{"FileInUse", kArchive, "snd/alert.wav", 3, OldFolderWith(kArchive),
                           "old"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil::testing
