// The journal of an update's swaps. Saved before the first file is replaced,
// it names every move; each move is one rename, done once its source is
// gone. Whoever finds it after a cut (the updater, or Skyvigil at its start)
// finishes the update or undoes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update_tool/updater_ops.h"

namespace skyvigil::update_tool {

// Also the updater's exit codes.
enum class UpdateOutcome {
  updated = 0,
  still_running = 1,
  bad_archive = 2,
  not_installed = 3,
  rollback_failed = 4,
  bad_signature = 5,
  failed = 6,  // an unexpected error; the old program is started again
};

// The planned swaps: each new file waits in update.new, each old one has a
// copy in update.old. Forward moves the new files in, back the old ones.
struct Journal {
  struct File {
    std::string name;
    bool had_old = false;
  };
  bool forward = true;
  std::vector<File> files;
};

// Where a file's new copy waits (update.new) and its old one is kept (update.old).
std::string Staged(const std::string& name);
std::string Backed(const std::string& name);
// Writes `bytes` as the whole of file `name`; false when any step fails.
bool WriteWhole(UpdaterOps& ops, const std::string& name, std::string_view bytes);

// The journal's text, as saved; nullopt for one that is not a journal.
std::optional<Journal> ReadJournal(std::string_view text);

// Written beside the journal and renamed over it: a cut leaves the old
// journal or the new.
bool SaveJournal(UpdaterOps& ops, const Journal& journal);

// What the user is told about a journal that cannot be read.
std::string UnreadableJournalText();

// How carrying a journal through ended, and what the user is told (empty:
// nothing).
struct Carried {
  UpdateOutcome outcome = UpdateOutcome::updated;  // or not_installed, rollback_failed
  std::string error;
};

// Carries a saved journal through to its end: the new files in, or, when one
// won't go in, the old ones back. The journal and the update's folders go,
// except when an old file is stuck (rollback_failed): the journal stays for
// the next start.
Carried CarryThrough(UpdaterOps& ops, Journal journal);

// What an update cut short left: update.new, update.old and a journal half
// written. Never update.run, which an updater may be running from.
void RemoveLeftovers(UpdaterOps& ops);

// What Skyvigil's start did with an update it found.
enum class LeftUpdate {
  none,        // no journal; what an update left has gone
  finished,    // the new files are in
  undone,      // the old files are back, and the user told so
  unreadable,  // the user told where the old files are
  hand_over,   // a file would not move (Skyvigil.exe, while it runs): the
               // updater must finish it once Skyvigil has ended
};

// Run by Skyvigil at its start, holding its marker (so no updater is at
// work), before it opens any of its files.
LeftUpdate FinishLeftUpdate(UpdaterOps& ops);

}  // namespace skyvigil::update_tool
