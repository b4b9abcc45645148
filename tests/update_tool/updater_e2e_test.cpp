// updater.exe on a program folder under wine, with the portable zip that the
// packaging makes of a stand-in as Skyvigil.zip, signed by the build's
// throw-away key: the new build in place and started, or, when anything fails
// (the signature too), the old one whole and started again. Run as
// updater.exe, or from the copy in update.run that Skyvigil starts, which
// replaces updater.exe too.
#include <gtest/gtest.h>

#include "ports/announcer.h"
#include "update_tool/win32_test_support.h"

namespace skyvigil::testing {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string kZip = ReadAll(SKYVIGIL_TEST_ZIP);
const std::string kSigned = ReadAll(SKYVIGIL_TEST_ZIP ".minisig");
const std::string kReplayed = ReadAll(SKYVIGIL_TEST_REPLAYED_SIGNATURE);
const std::string kSource = SKYVIGIL_SOURCE_DIR;

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const char c : text)
    out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

const std::string kUpdater = ReadAll(SKYVIGIL_UPDATER_EXE);

// An empty `signature` is none at all. Run from the copy Skyvigil starts,
// updater.exe is an older build, which the archive's replaces.
Files OldFolder(const std::string& archive, const std::string& signature, bool from_copy) {
  Files files = {
      {"Skyvigil.exe", ReadAll(SKYVIGIL_STAND_IN_OLD)},
      {"updater.exe", from_copy ? kUpdater + std::string("\0an older build", 15) : kUpdater},
      {"snd/alert.wav", "old alert"},
      {"prefs.ini", "\xEF\xBB\xBF[general]\r\ncelcius=1\r\n"},
      {"cities.json", "[\n  {\"name\": \"Oslo\"}\n]"},
      {"Skyvigil.zip", archive}};
  if (!signature.empty())
    files["Skyvigil.zip.minisig"] = signature;
  if (from_copy)
    files["update.run/updater.exe"] = kUpdater;
  return files;
}

struct Case {
  const char* name;
  std::string archive;
  std::string signature;
  const char* file_in_use;  // held open without sharing during the update
  int exit_code;
  std::string started;     // which build was started
  bool from_copy = false;  // started as Skyvigil starts it, else as updater.exe
};

class UpdaterTest : public ::testing::TestWithParam<Case> {};

TEST_P(UpdaterTest, InstallsOrKeepsTheOldProgram) {
  const Case& c = GetParam();
  ScratchFolder folder;
  const Files old = OldFolder(c.archive, c.signature, c.from_copy);
  for (const auto& [name, bytes] : old)
    WriteAll(folder.path() / name, bytes);
  HANDLE held = c.file_in_use ? ::CreateFileW((folder.path() / c.file_in_use).c_str(), GENERIC_READ,
                                              0, nullptr, OPEN_EXISTING, 0, nullptr)
                              : nullptr;
  // As updater.exe, from another working folder, as an older Skyvigil
  // started it after a start at sign-in; its copy in the program folder.
  const fs::path updater =
      c.from_copy ? folder.path() / "update.run" / "updater.exe" : folder.path() / "updater.exe";
  EXPECT_EQ(RunToEnd(L"\"" + updater.wstring() + L"\"" + (c.from_copy ? L" --from-copy" : L""),
                     c.from_copy ? folder.path() : folder.path().parent_path()),
            c.exit_code);
  if (held)
    ::CloseHandle(held);

  Files after = Snapshot(folder.path());
  EXPECT_EQ(after["started.txt"], c.started);
  after.erase("started.txt");
  if (c.exit_code != 0) {
    EXPECT_EQ(after, old);
    return;
  }
  Files expected = old;
  expected.erase("Skyvigil.zip");
  expected.erase("Skyvigil.zip.minisig");
  expected["Skyvigil.exe"] = ReadAll(SKYVIGIL_STAND_IN_NEW);
  expected["updater.exe"] = kUpdater;
  for (const char* cue : kCueNames)
    expected["snd/" + std::string(cue) + ".wav"] = ReadAll(kSource + "/snd/" + cue + ".wav");
  expected["README.txt"] = ReadAll(SKYVIGIL_WINDOWS_README);
  expected["LICENSE.txt"] = WithCrLf(ReadAll(kSource + "/LICENSE"));
  EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UpdaterTest,
    ::testing::Values(Case{"NewBuild", kZip, kSigned, nullptr, 0, "new"},
                      Case{"FromTheCopy", kZip, kSigned, nullptr, 0, "new", true},
                      Case{"Truncated", kZip.substr(0, kZip.size() - 100), kSigned, nullptr, 5,
                           "old"},
                      Case{"Unsigned", kZip, "", nullptr, 5, "old"},
                      Case{"ReplayedBuild", kZip, kReplayed, nullptr, 5, "old"},
                      Case{"FileInUse", kZip, kSigned, "snd/alert.wav", 3, "old"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil::testing
