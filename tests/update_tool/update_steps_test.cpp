// The updater's steps over an in-memory program folder: the order of the
// swaps, the way back from each failure and what the user is told.
#include "update_tool/update_steps.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "fakes/fake_update_folder.h"
#include "fakes/update_signer.h"
#include "fakes/zip_builder.h"

namespace skyvigil::update_tool {
namespace {

using testing::BuildZip;
using testing::FakeUpdateFolder;
using Files = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;
constexpr auto npos = std::string::npos;

const std::string kArchive = BuildZip({{"Skyvigil.exe", "new program", true},
                                       {"updater.exe", "new updater"},
                                       {"snd/up.wav", "same cue"},
                                       {"snd/down.wav", "new cue"},
                                       {"prefs.ini", "their prefs"},
                                       {"cities.json", "their cities"},
                                       {"README.txt", "read me"}});

const testing::TestSigningKey kKey = testing::MakeTestSigningKey(0x5a);
const UpdateTrust kTrust{{kKey.public_key}, 23};

// The program's files before the update, and the archive with its signature.
// The updater runs from the copy Skyvigil made of updater.exe.
FakeUpdateFolder Folder(const std::string& archive = kArchive,
                        const std::string& comment = "file:Skyvigil.zip build:24") {
  FakeUpdateFolder folder;
  folder.running = {"update.run/updater.exe"};
  folder.files = {{"Skyvigil.exe", "old program"},
                  {"updater.exe", "old updater"},
                  {"update.run/updater.exe", "old updater"},
                  {"snd/up.wav", "same cue"},
                  {"snd/down.wav", "old cue"},
                  {"prefs.ini", "my prefs"},
                  {"cities.json", "my cities"},
                  {"Skyvigil.zip", archive},
                  {"Skyvigil.zip.minisig", testing::SignForTest(kKey, archive, comment)}};
  return folder;
}

// The running copy stays until Skyvigil's next start removes it.
const Files kUpdated = {{"Skyvigil.exe", "new program"},
                        {"updater.exe", "new updater"},
                        {"update.run/updater.exe", "old updater"},
                        {"snd/up.wav", "same cue"},
                        {"snd/down.wav", "new cue"},
                        {"prefs.ini", "my prefs"},
                        {"cities.json", "my cities"},
                        {"README.txt", "read me"}};

TEST(UpdateStepsTest, SwapsChangedFilesKeepsTheUsersAndRestarts) {
  FakeUpdateFolder folder = Folder();
  EXPECT_EQ(RunUpdate(folder, kTrust), UpdateOutcome::updated);
  EXPECT_EQ(folder.files, kUpdated);
  // One rename each, updater.exe's too: the updater runs from its copy.
  EXPECT_EQ(
      folder.moves,
      (Texts{"update.journal.new -> update.journal", "update.new/Skyvigil.exe -> Skyvigil.exe",
             "update.new/updater.exe -> updater.exe", "update.new/snd/down.wav -> snd/down.wav",
             "update.new/README.txt -> README.txt"}));
  // The marker, held from Skyvigil's end, is given back before it starts.
  EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
  EXPECT_FALSE(folder.marker_taken);
  EXPECT_EQ(folder.errors, Texts{});
}

TEST(UpdateStepsTest, WaitsForTheMarkerAndTheProgramWithinTheLimit) {
  for (const auto& [held, running, outcome, pauses] :
       {std::tuple{0, 0, UpdateOutcome::updated, 0},
        {3, 0, UpdateOutcome::updated, 3},
        {0, 2, UpdateOutcome::updated, 2},
        {2, 5, UpdateOutcome::updated, 7},
        {0, -1, UpdateOutcome::still_running, 120},
        {-1, 0, UpdateOutcome::still_running, 120}}) {
    FakeUpdateFolder folder = Folder();
    folder.held_polls = held;
    folder.running_polls = running;
    EXPECT_EQ(RunUpdate(folder, kTrust, {30000, 250}), outcome);
    EXPECT_EQ(folder.pauses, pauses);
    EXPECT_FALSE(folder.marker_taken);
    if (outcome == UpdateOutcome::still_running) {
      EXPECT_EQ(folder.files, Folder().files);
      EXPECT_EQ(folder.started, Texts{});
      EXPECT_EQ(folder.errors, Texts{"Skyvigil did not end within 30 seconds, so the update was "
                                     "not installed. Skyvigil is unchanged."});
    }
  }
}

struct FailureCase {
  const char* name;
  FakeUpdateFolder folder;
  std::set<std::string> unwritable, unmovable;
  UpdateOutcome outcome;
  std::string error;
};

class UpdateFailureTest : public ::testing::TestWithParam<FailureCase> {};

// The old program stays whole, with the archive, and is started again.
TEST_P(UpdateFailureTest, LeavesTheOldProgramAndSaysWhy) {
  const FailureCase& c = GetParam();
  FakeUpdateFolder folder = c.folder;
  folder.unwritable = c.unwritable;
  folder.unmovable = c.unmovable;
  EXPECT_EQ(RunUpdate(folder, kTrust), c.outcome);
  EXPECT_EQ(folder.files, c.folder.files);
  EXPECT_EQ(folder.errors, Texts{c.error});
  EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
}

std::string BadCrc() {
  std::string archive = kArchive;
  return archive.replace(archive.find("new cue"), 7, "new cux");
}

const std::string kNot = "The update could not be installed: ";

FakeUpdateFolder WithoutSignature() {
  FakeUpdateFolder folder = Folder();
  folder.files.erase("Skyvigil.zip.minisig");
  return folder;
}

FakeUpdateFolder SignatureOf(const std::string& other) {
  FakeUpdateFolder folder = Folder();
  folder.files["Skyvigil.zip.minisig"] = Folder(other).files["Skyvigil.zip.minisig"];
  return folder;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, UpdateFailureTest,
    ::testing::Values(
        FailureCase{"BadCrc",
                    Folder(BadCrc()),
                    {},
                    {},
                    UpdateOutcome::bad_archive,
                    kNot + "Skyvigil.zip is damaged (snd/down.wav: its CRC-32 does not match). "
                           "Skyvigil is unchanged."},
        FailureCase{"DiskFull",
                    Folder(),
                    {"update.new/README.txt"},
                    {},
                    UpdateOutcome::not_installed,
                    kNot + "README.txt could not be written into update.new (is the disk "
                           "full?). Skyvigil is unchanged."},
        FailureCase{"BackupDiskFull",
                    Folder(),
                    {"update.old/snd/down.wav"},
                    {},
                    UpdateOutcome::not_installed,
                    kNot + "snd/down.wav could not be written into update.old (is the disk "
                           "full?). Skyvigil is unchanged."},
        FailureCase{"NoSignature",
                    WithoutSignature(),
                    {},
                    {},
                    UpdateOutcome::bad_signature,
                    kNot + "Skyvigil.zip was refused because it has no signature. Skyvigil is "
                           "unchanged."},
        FailureCase{"ReplayedOlderBuild",
                    Folder(kArchive, "file:Skyvigil.zip build:23"),
                    {},
                    {},
                    UpdateOutcome::bad_signature,
                    kNot + "Skyvigil.zip was refused because it is build 23, not newer than "
                           "this build 23. Skyvigil is unchanged."},
        FailureCase{"SignatureOfAnotherArchive",
                    SignatureOf(BadCrc()),
                    {},
                    {},
                    UpdateOutcome::bad_signature,
                    kNot + "Skyvigil.zip was refused because its signature does not match it. "
                           "Skyvigil is unchanged."},
        FailureCase{"FileInUse",
                    Folder(),
                    {},
                    {"snd/down.wav"},
                    UpdateOutcome::not_installed,
                    kNot + "snd/down.wav could not be replaced (is it in use?). Skyvigil is "
                           "unchanged."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateStepsTest, AFailedWayBackSaysWhereTheOldFilesAre) {
  FakeUpdateFolder folder = Folder();
  folder.unmovable = {"snd/down.wav", "update.old/Skyvigil.exe"};
  EXPECT_EQ(RunUpdate(folder, kTrust), UpdateOutcome::rollback_failed);
  EXPECT_EQ(folder.files.at("update.old/Skyvigil.exe"), "old program");
  EXPECT_EQ(folder.files.at("Skyvigil.exe"), "new program");
  EXPECT_EQ(folder.errors, Texts{"The update failed and Skyvigil.exe could not be put back. The "
                                 "old files are in the folder update.old; copy them back into "
                                 "the Skyvigil folder."});
  EXPECT_EQ(folder.started, Texts{});
  EXPECT_FALSE(folder.marker_taken);
}

// A folder whose archive read fails with `fault`.
struct FaultyFolder : FakeUpdateFolder {
  std::function<void()> fault;
  std::optional<std::string> ReadFile(const std::string& name) override {
    if (name == "Skyvigil.zip")
      fault();
    return FakeUpdateFolder::ReadFile(name);
  }
};

TEST(UpdateStepsTest, AnyExceptionIsShownAndTheOldProgramStartedAgain) {
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {[] { throw std::bad_alloc(); }, "there was not enough memory"},
      {[] { throw std::runtime_error("the disk went away"); }, "the disk went away"},
      {[] { throw 7; }, "an unknown error happened"}};
  for (const auto& [fault, why] : cases) {
    SCOPED_TRACE(why);
    FaultyFolder folder;
    folder.files = Folder().files;
    folder.fault = fault;
    EXPECT_EQ(RunUpdateOrRestart(folder, kTrust), UpdateOutcome::failed);
    EXPECT_EQ(folder.errors, Texts{kNot + why + ". If Skyvigil does not work, install it again."});
    EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
  }
}

// A journal an updater is handed decides: forward puts the new files in,
// back the old.
TEST(UpdateStepsTest, AJournalFoundIsFollowed) {
  for (const auto& [direction, expected] :
       {std::pair{std::string("forward"), "new cue"}, {std::string("back"), "old cue"}}) {
    FakeUpdateFolder folder = Folder();
    folder.files["update.journal"] =
        "skyvigil update journal\n" + direction + "\nreplace snd/down.wav\nadd README.txt\n";
    folder.files["update.new/README.txt"] = "read me";
    folder.files["update.old/snd/down.wav"] = "old cue";
    folder.files["snd/down.wav"] = "new cue";
    RunUpdate(folder, kTrust);
    EXPECT_EQ(folder.files.at("snd/down.wav"), expected);
    EXPECT_EQ(folder.files.count("README.txt"), direction == "forward" ? 1u : 0u);
    EXPECT_EQ(folder.files.count("update.journal"), 0u);
    EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
  }
}

const Texts kProgramFiles = {"Skyvigil.exe", "updater.exe", "snd/up.wav", "snd/down.wav",
                             "README.txt",   "prefs.ini",   "cities.json"};

// "old" or "new" when the program's files are all of one build, "mixed" when
// each is whole but of either, or the first that is neither.
std::string BuildOf(const Files& files) {
  const Files old = Folder().files;
  bool all_old = true;
  bool all_new = true;
  for (const std::string& name : kProgramFiles) {
    const auto found = files.find(name);
    const bool is_old = old.count(name) ? found != files.end() && found->second == old.at(name)
                                        : found == files.end();
    const bool is_new = found != files.end() && found->second == kUpdated.at(name);
    if (!is_old && !is_new)
      return name + " is neither old nor new";
    all_old = all_old && is_old;
    all_new = all_new && is_new;
  }
  return all_new ? "new" : all_old ? "old" : "mixed";
}

// A power cut after each single step of an update, whether it goes through
// or is undone because a file is in use; then Skyvigil's next start, which
// finishes the update or undoes it, itself or through the updater.
TEST(PowerCutTest, EveryFileStaysWholeAndTheNextStartFinishes) {
  for (const std::set<std::string>& in_use : {std::set<std::string>{}, {"snd/down.wav"}}) {
    FakeUpdateFolder uncut = Folder();
    uncut.unmovable = in_use;
    RunUpdate(uncut, kTrust);
    ASSERT_GT(uncut.steps, 20);
    for (int step = 0; step <= uncut.steps; ++step) {
      SCOPED_TRACE("in use: " + std::to_string(in_use.size()) + ", cut after step " +
                   std::to_string(step));
      FakeUpdateFolder folder = Folder();
      folder.unmovable = in_use;
      folder.steps_before_cut = step;
      bool cut = false;
      try {
        RunUpdate(folder, kTrust);
      } catch (const testing::PowerCut&) {
        cut = true;
      }
      EXPECT_EQ(cut, step < uncut.steps);
      // updater.exe among them, old or new.
      const std::string after_cut = BuildOf(folder.files);
      ASSERT_TRUE(after_cut == "old" || after_cut == "new" || after_cut == "mixed") << after_cut;
      // A journal names the build the start must end with; without one the
      // cut came before the first swap or after the last.
      const auto journal = folder.files.find("update.journal");
      const std::string expected = journal == folder.files.end()                 ? after_cut
                                   : journal->second.find("\nforward\n") != npos ? "new"
                                                                                 : "old";
      ASSERT_NE(expected, "mixed");

      // The cut ended every program; Skyvigil starts, from Skyvigil.exe.
      folder.marker_taken = false;
      folder.steps_before_cut = -1;
      folder.unmovable.clear();
      folder.started.clear();
      folder.running = {"Skyvigil.exe"};
      if (FinishLeftUpdate(folder) == LeftUpdate::hand_over) {
        // It starts a copy of updater.exe, which waits for it to end.
        folder.files["update.run/updater.exe"] = folder.files.at("updater.exe");
        folder.running = {"update.run/updater.exe"};
        RunUpdate(folder, kTrust);
        EXPECT_EQ(folder.started, Texts{"Skyvigil.exe"});
      } else {
        EXPECT_EQ(folder.started, Texts{});
      }
      EXPECT_EQ(BuildOf(folder.files), expected);
      for (const auto& [name, bytes] : folder.files) {
        EXPECT_TRUE(!name.starts_with("update.") || folder.running.count(name)) << name;
      }
    }
  }
}

}  // namespace
}  // namespace skyvigil::update_tool
