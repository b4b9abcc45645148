// updater.exe on a program folder under wine, with the portable zip that the
// packaging makes of a stand-in as Skyvigil.zip, signed by the build's
// throw-away key: the new build in place and started, or, when anything fails
// (the signature too), the old one whole and started again.
#include <gtest/gtest.h>

#include "ports/announcer.h"
#include "update_tool/win32_test_support.h"

namespace skyvigil::testing {
namespace {

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

// An empty `signature` is none at all.
Files OldFolder(const std::string& archive, const std::string& signature) {
  Files files = {{"Skyvigil.exe", ReadAll(SKYVIGIL_STAND_IN_OLD)},
                 {"updater.exe", ReadAll(SKYVIGIL_UPDATER_EXE)},
                 {"snd/alert.wav", "old alert"},
                 {"prefs.ini", "\xEF\xBB\xBF[general]\r\ncelcius=1\r\n"},
                 {"cities.json", "[\n  {\"name\": \"Oslo\"}\n]"},
                 {"Skyvigil.zip", archive}};
  if (!signature.empty())
    files["Skyvigil.zip.minisig"] = signature;
  return files;
}

struct Case {
  const char* name;
  std::string archive;
  std::string signature;
  const char* file_in_use;  // held open without sharing during the update
  int exit_code;
  std::string started;  // which build was started
};

class UpdaterTest : public ::testing::TestWithParam<Case> {};

TEST_P(UpdaterTest, InstallsOrKeepsTheOldProgram) {
  const Case& c = GetParam();
  ScratchFolder folder;
  for (const auto& [name, bytes] : OldFolder(c.archive, c.signature))
    WriteAll(folder.path() / name, bytes);
  HANDLE held = c.file_in_use ? ::CreateFileW((folder.path() / c.file_in_use).c_str(), GENERIC_READ,
                                              0, nullptr, OPEN_EXISTING, 0, nullptr)
                              : nullptr;
  // Started from another working folder, as after a start at sign-in.
  EXPECT_EQ(RunToEnd(L"\"" + (folder.path() / "updater.exe").wstring() + L"\"",
                     folder.path().parent_path()),
            c.exit_code);
  if (held)
    ::CloseHandle(held);

  Files after = Snapshot(folder.path());
  EXPECT_EQ(after["started.txt"], c.started);
  after.erase("started.txt");
  if (c.exit_code != 0) {
    EXPECT_EQ(after, OldFolder(c.archive, c.signature));
    return;
  }
  Files expected = OldFolder(c.archive, c.signature);
  expected.erase("Skyvigil.zip");
  expected.erase("Skyvigil.zip.minisig");
  expected["Skyvigil.exe"] = ReadAll(SKYVIGIL_STAND_IN_NEW);
  for (const char* cue : kCueNames)
    expected["snd/" + std::string(cue) + ".wav"] = ReadAll(kSource + "/snd/" + cue + ".wav");
  expected["README.txt"] = WithCrLf(ReadAll(kSource + "/packaging/windows/README.txt"));
  expected["LICENSE.txt"] = WithCrLf(ReadAll(kSource + "/LICENSE"));
  EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UpdaterTest,
    ::testing::Values(Case{"NewBuild", kZip, kSigned, nullptr, 0, "new"},
                      Case{"Truncated", kZip.substr(0, kZip.size() - 100), kSigned, nullptr, 5,
                           "old"},
                      Case{"Unsigned", kZip, "", nullptr, 5, "old"},
                      Case{"ReplayedBuild", kZip, kReplayed, nullptr, 5, "old"},
                      Case{"FileInUse", kZip, kSigned, "snd/alert.wav", 3, "old"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil::testing
