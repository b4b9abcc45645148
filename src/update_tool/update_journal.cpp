// The journal's text, its carrying through in either direction, and what
// Skyvigil's start does with one.
#include "update_tool/update_journal.h"

#include "update_tool/replace_plan.h"

namespace skyvigil::update_tool {

namespace {

const std::string kJournal(kJournalName);
const std::string kJournalNew = kJournal + ".new";
const std::string kJournalHeading = "skyvigil update journal";
const std::string kUnchanged = " Skyvigil is unchanged.";

std::string JournalText(const Journal& journal) {
  std::string text = kJournalHeading + "\n" + (journal.forward ? "forward\n" : "back\n");
  for (const Journal::File& file : journal.files)
    text += (file.had_old ? "replace " : "add ") + file.name + "\n";
  return text;
}

// A staged file that is gone is in place already. The first that would not go in.
std::optional<std::string> PutNewFilesIn(UpdaterOps& ops, const Journal& journal) {
  for (const Journal::File& file : journal.files) {
    if (ops.Exists(Staged(file.name)) && !ops.Replace(Staged(file.name), file.name))
      return file.name;
  }
  return std::nullopt;
}

// A file whose staged copy is still there was never replaced; a backup that
// is gone is back in place already. The first that is stuck.
std::optional<std::string> PutOldFilesBack(UpdaterOps& ops, const Journal& journal) {
  std::optional<std::string> stuck;
  for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file) {
    if (ops.Exists(Staged(file->name)))
      continue;
    const bool back = file->had_old ? !ops.Exists(Backed(file->name)) ||
                                          ops.Replace(Backed(file->name), file->name)
                                    : !ops.Exists(file->name) || ops.RemoveFile(file->name);
    if (!back)
      stuck = stuck.value_or(file->name);
  }
  return stuck;
}

// Every new file is in: what brought them goes. The archive goes before a
// new program starts, so that its own update check can't download a newer
// one that this run would then delete.
void CleanUpAfterSwaps(UpdaterOps& ops) {
  ops.RemoveFile(std::string(kArchiveName));
  ops.RemoveFile(std::string(kSignatureName));
  ops.RemoveFile(kJournal);
  RemoveLeftovers(ops);
}

}  // namespace

std::string Staged(const std::string& name) {
  return std::string(kStagingFolder) + "/" + name;
}

std::string Backed(const std::string& name) {
  return std::string(kBackupFolder) + "/" + name;
}

bool WriteWhole(UpdaterOps& ops, const std::string& name, std::string_view bytes) {
  const std::unique_ptr<FileWriter> file = ops.CreateFile(name);
  return file && file->Write(bytes) && file->Finish();
}

std::optional<Journal> ReadJournal(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  if (!text.empty() || lines.size() < 2 || lines[0] != kJournalHeading ||
      (lines[1] != "forward" && lines[1] != "back"))
    return std::nullopt;
  Journal journal;
  journal.forward = lines[1] == "forward";
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const bool had_old = line.starts_with("replace ");
    if (!had_old && !line.starts_with("add "))
      return std::nullopt;
    const std::string name(line.substr(had_old ? 8 : 4));
    if (!IsSafeEntryName(name))
      return std::nullopt;
    journal.files.push_back({name, had_old});
  }
  return journal;
}

bool SaveJournal(UpdaterOps& ops, const Journal& journal) {
  return WriteWhole(ops, kJournalNew, JournalText(journal)) && ops.Replace(kJournalNew, kJournal);
}

std::string UnreadableJournalText() {
  return "An earlier update was cut short and its record " + kJournal +
         " cannot be read. The old files are in the folder " + std::string(kBackupFolder) +
         "; copy them back into the Skyvigil folder.";
}

Carried CarryThrough(UpdaterOps& ops, Journal journal) {
  std::optional<std::string> failed;
  if (journal.forward) {
    failed = PutNewFilesIn(ops, journal);
    if (!failed) {
      CleanUpAfterSwaps(ops);
      return {};
    }
    journal.forward = false;
    SaveJournal(ops, journal);
  }
  if (const std::optional<std::string> stuck = PutOldFilesBack(ops, journal)) {
    return {UpdateOutcome::rollback_failed,
            "The update failed and " + *stuck +
                " could not be put back. The old files are in the folder " +
                std::string(kBackupFolder) + "; copy them back into the Skyvigil folder."};
  }
  ops.RemoveFile(kJournal);
  RemoveLeftovers(ops);
  return {UpdateOutcome::not_installed,
          failed ? "The update could not be installed: " + *failed +
                       " could not be replaced (is it in use?)." + kUnchanged
                 : "An update that was cut short has been undone." + kUnchanged};
}

void RemoveLeftovers(UpdaterOps& ops) {
  ops.RemoveFolder(std::string(kStagingFolder));
  ops.RemoveFolder(std::string(kBackupFolder));
  ops.RemoveFile(kJournalNew);
}

LeftUpdate FinishLeftUpdate(UpdaterOps& ops) {
  const std::optional<std::string> saved = ops.ReadFile(kJournal);
  if (!saved) {
    RemoveLeftovers(ops);
    // The copy of updater.exe the last update ran from, unless it still runs.
    ops.RemoveFolder(std::string(kRunFolder));
    return LeftUpdate::none;
  }
  const std::optional<Journal> journal = ReadJournal(*saved);
  if (!journal) {
    ops.ShowError(UnreadableJournalText());
    return LeftUpdate::unreadable;
  }
  // A file that won't move (Skyvigil.exe itself, which Windows does not
  // replace while it runs, or one in use) is the updater's, once this
  // process has ended: it retries, or undoes with Skyvigil.exe among the
  // rest. So nothing here turns the journal round.
  if (journal->forward) {
    if (PutNewFilesIn(ops, *journal))
      return LeftUpdate::hand_over;
    CleanUpAfterSwaps(ops);
    ops.RemoveFolder(std::string(kRunFolder));
    return LeftUpdate::finished;
  }
  if (PutOldFilesBack(ops, *journal))
    return LeftUpdate::hand_over;
  ops.RemoveFile(kJournal);
  RemoveLeftovers(ops);
  ops.RemoveFolder(std::string(kRunFolder));
  ops.ShowError("An update that was cut short has been undone." + kUnchanged);
  return LeftUpdate::undone;
}

}  // namespace skyvigil::update_tool
