// The updater's steps over an in-memory program folder: the order of the
// swaps, the way back from each failure and what the user is told.
#include "update_tool/update_steps.h"

#include <gtest/gtest.h>

#include "fakes/fake_update_folder.h"
#include "fakes/zip_builder.h"

namespace skyvigil::update_tool {
namespace {

using testing::BuildZip;
using testing::FakeUpdateFolder;
using Files = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;

const std::string kArchive = BuildZip({{"Skyvigil.exe", "new program", true},
                                       {"snd/up.wav", "same cue"},
                                       {"snd/down.wav", "new cue"},
                                       {"prefs.ini", "their prefs"},
                                       {"cities.json", "their cities"},
                                       {"README.txt", "read me"}});

FakeUpdateFolder Folder(const std::string& archive = kArchive) {
  FakeUpdateFolder folder;
  folder.files = {{"Skyvigil.exe", "old program"}, {"snd/up.wav", "same cue"},
                  {"snd/down.wav", "old cue"},     {"prefs.ini", "my prefs"},
                  {"cities.json", "my cities"},    {"Skyvigil.zip", archive}};
  return folder;
}

TEST(UpdateStepsTest, SwapsChangedFilesKeepsTheUsersAndRestarts) {
  FakeUpdateFolder folder = Folder();
  EXPECT_EQ(RunUpdate(folder), UpdateOutcome::updated);
  EXPECT_EQ(folder.files, (Files{{"Skyvigil.exe", "new program"},
                                 {"snd/up.wav", "same cue"},
                                 {"snd/down.wav", "new cue"},
                                 {"prefs.ini", "my prefs"},
                                 {"cities.json", "my cities"},
                                 {"README.txt", "read me"}}));
  EXPECT_EQ(
      folder.moves,
      (Texts{"Skyvigil.exe -> update.old/Skyvigil.exe", "update.new/Skyvigil.exe -> Skyvigil.exe",
             "snd/down.wav -> update.old/snd/down.wav", "update.new/snd/down.wav -> snd/down.wav",
             "update.new/README.txt -> README.txt"}));
  EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
}

TEST(UpdateStepsTest, WaitsForTheMarkerWithinTheLimit) {
  for (const auto& [held, outcome, pauses] : {std::tuple{0, UpdateOutcome::updated, 0},
                                              {3, UpdateOutcome::updated, 3},
                                              {-1, UpdateOutcome::still_running, 120}}) {
    FakeUpdateFolder folder = Folder();
    folder.held_polls = held;
    EXPECT_EQ(RunUpdate(folder, {30000, 250}), outcome);
    EXPECT_EQ(folder.pauses, pauses);
    if (held < 0) {
      EXPECT_EQ(folder.files, Folder().files);
      EXPECT_EQ(folder.started, Texts{});
      EXPECT_EQ(folder.errors, Texts{"Skyvigil did not end within 30 seconds, so the update was "
                                     "not installed. Skyvigil is unchanged."});
    }
  }
}

struct FailureCase {
  const char* name;
  std::string archive;
  std::set<std::string> unwritable, unmovable;
  UpdateOutcome outcome;
  std::string error;
};

class UpdateFailureTest : public ::testing::TestWithParam<FailureCase> {};

// The old program stays whole, with the archive, and is started again.
TEST_P(UpdateFailureTest, LeavesTheOldProgramAndSaysWhy) {
  const FailureCase& c = GetParam();
  FakeUpdateFolder folder = Folder(c.archive);
  folder.unwritable = c.unwritable;
  folder.unmovable = c.unmovable;
  EXPECT_EQ(RunUpdate(folder), c.outcome);
  EXPECT_EQ(folder.files, Folder(c.archive).files);
  EXPECT_EQ(folder.errors, Texts{c.error});
  EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
}

std::string BadCrc() {
  std::string archive = kArchive;
  return archive.replace(archive.find("new cue"), 7, "new cux");
}

const std::string kNot = "The update could not be installed: ";

INSTANTIATE_TEST_SUITE_P(
    Failures, UpdateFailureTest,
    ::testing::Values(
        FailureCase{"BadCrc",
                    BadCrc(),
                    {},
                    {},
                    UpdateOutcome::bad_archive,
                    kNot + "Skyvigil.zip is damaged (snd/down.wav: its CRC-32 does not match). "
                           "Skyvigil is unchanged."},
        FailureCase{"DiskFull",
                    kArchive,
                    {"update.new/README.txt"},
                    {},
                    UpdateOutcome::not_installed,
                    kNot + "README.txt could not be written into update.new (is the disk "
                           "full?). Skyvigil is unchanged."},
        FailureCase{"FileInUse",
                    kArchive,
                    {},
                    {"snd/down.wav"},
                    UpdateOutcome::not_installed,
                    kNot + "snd/down.wav could not be replaced (is it in use?). Skyvigil is "
                           "unchanged."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateStepsTest, AFailedWayBackSaysWhereTheOldFilesAre) {
  FakeUpdateFolder folder = Folder();
  folder.unmovable = {"snd/down.wav", "update.old/Skyvigil.exe"};
  EXPECT_EQ(RunUpdate(folder), UpdateOutcome::rollback_failed);
  EXPECT_EQ(folder.files.at("update.old/Skyvigil.exe"), "old program");
  EXPECT_EQ(folder.files.at("Skyvigil.exe"), "new program");
  EXPECT_EQ(folder.errors, Texts{"The update failed and Skyvigil.exe could not be put back. The "
                                 "old files are in the folder update.old; copy them back into "
                                 "the Skyvigil folder."});
  EXPECT_EQ(folder.started, Texts{});
}

}  // namespace
}  // namespace skyvigil::update_tool
