// What Skyvigil's start does with the journal of an update cut short: finish
// it or undo it when that leaves Skyvigil.exe alone, else hand it to the updater.
#include "update_tool/update_journal.h"

#include <gtest/gtest.h>

#include "fakes/fake_update_folder.h"

namespace skyvigil::update_tool {
namespace {

using testing::FakeUpdateFolder;
using Files = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;

const std::string kHeading = "skyvigil update journal\n";
const std::string kUndone = "An update that was cut short has been undone. Skyvigil is unchanged.";

// Skyvigil.exe, snd/down.wav and README.txt swapped by an update whose
// journal says `direction`, each file's state given by which copies are left.
Files Swapping(const std::string& direction, const Files& state) {
  Files files = {{"update.journal", kHeading + direction +
                                        "\nreplace Skyvigil.exe\nreplace snd/down.wav\n"
                                        "add README.txt\n"},
                 {"updater.exe", "updater"},
                 {"prefs.ini", "my prefs"},
                 {"Skyvigil.zip", "archive"},
                 {"Skyvigil.zip.minisig", "signature"}};
  files.insert(state.begin(), state.end());
  return files;
}

const Files kNothingMoved = {{"Skyvigil.exe", "old program"},
                             {"update.new/Skyvigil.exe", "new program"},
                             {"update.old/Skyvigil.exe", "old program"},
                             {"snd/down.wav", "old cue"},
                             {"update.new/snd/down.wav", "new cue"},
                             {"update.old/snd/down.wav", "old cue"},
                             {"update.new/README.txt", "read me"}};
const Files kProgramMoved = {{"Skyvigil.exe", "new program"},
                             {"update.old/Skyvigil.exe", "old program"},
                             {"snd/down.wav", "old cue"},
                             {"update.new/snd/down.wav", "new cue"},
                             {"update.old/snd/down.wav", "old cue"},
                             {"update.new/README.txt", "read me"}};
const Files kAllButProgramMovedBack = {{"Skyvigil.exe", "new program"},
                                       {"update.old/Skyvigil.exe", "old program"},
                                       {"snd/down.wav", "old cue"}};
const Files kProgramMovedBack = {{"Skyvigil.exe", "old program"},
                                 {"snd/down.wav", "new cue"},
                                 {"update.old/snd/down.wav", "old cue"},
                                 {"README.txt", "read me"}};

const Files kNew = {{"Skyvigil.exe", "new program"},
                    {"snd/down.wav", "new cue"},
                    {"README.txt", "read me"},
                    {"updater.exe", "updater"},
                    {"prefs.ini", "my prefs"}};
const Files kOld = {{"Skyvigil.exe", "old program"}, {"snd/down.wav", "old cue"},
                    {"updater.exe", "updater"},      {"prefs.ini", "my prefs"},
                    {"Skyvigil.zip", "archive"},     {"Skyvigil.zip.minisig", "signature"}};

TEST(UpdateJournalTest, SkyvigilsStartFinishesWhatLeavesItsOwnFileAlone) {
  using enum LeftUpdate;
  const struct {
    const char* name;
    Files before;
    LeftUpdate outcome;
    Files after;  // empty: as before
    Texts errors;
  } cases[] = {
      {"no journal: what an update left goes",
       {{"Skyvigil.exe", "old program"},
        {"update.new/snd/down.wav", "new cue"},
        {"update.old/snd/down.wav", "old cue"},
        {"update.journal.new", "skyvigil upd"},
        {"update.run/updater.exe", "updater"}},
       none,
       {{"Skyvigil.exe", "old program"}},
       {}},
      {"forward, its own new copy waiting", Swapping("forward", kNothingMoved), hand_over, {}, {}},
      {"forward, itself in place", Swapping("forward", kProgramMoved), finished, kNew, {}},
      {"back, its old copy waiting", Swapping("back", kAllButProgramMovedBack), hand_over, {}, {}},
      {"back, itself back already", Swapping("back", kProgramMovedBack), undone, kOld, {kUndone}},
      {"unreadable journal",
       {{"Skyvigil.exe", "old program"}, {"update.journal", kHeading + "sideways\n"}},
       unreadable,
       {},
       {"An earlier update was cut short and its record update.journal cannot be read. The old "
        "files are in the folder update.old; copy them back into the Skyvigil folder."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeUpdateFolder folder;
    folder.files = c.before;
    folder.running = {"Skyvigil.exe"};
    EXPECT_EQ(FinishLeftUpdate(folder), c.outcome);
    // A hand-over waits for the updater with the journal as it stands.
    if (c.outcome == hand_over) {
      EXPECT_EQ(folder.files.at("update.journal"), c.before.at("update.journal"));
    } else {
      EXPECT_EQ(folder.files, c.after.empty() ? c.before : c.after);
    }
    EXPECT_EQ(folder.errors, c.errors);
    EXPECT_EQ(folder.started, Texts{});
  }
}

}  // namespace
}  // namespace skyvigil::update_tool
