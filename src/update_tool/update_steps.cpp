// The order of the update's steps, its journal and the way back from each step.
#include "update_tool/update_steps.h"

#include <zlib.h>

#include <exception>
#include <new>
#include <vector>

#include "update_tool/replace_plan.h"
#include "update_tool/zip_reader.h"

namespace skyvigil::update_tool {

namespace {

const std::string kUnchanged = " Skyvigil is unchanged.";
const std::string kNot = "The update could not be installed: ";
const std::string kJournal(kJournalName);
const std::string kJournalNew = kJournal + ".new";
const std::string kJournalHeading = "skyvigil update journal";

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

// The planned swaps: each new file waits in update.new, each old one has a
// copy in update.old. Forward puts the new files in, back the old ones.
struct Journal {
  struct File {
    std::string name;
    bool had_old = false;
  };
  bool forward = true;
  std::vector<File> files;
};

std::string JournalText(const Journal& journal) {
  std::string text = kJournalHeading + "\n" + (journal.forward ? "forward\n" : "back\n");
  for (const Journal::File& file : journal.files)
    text += (file.had_old ? "replace " : "add ") + file.name + "\n";
  return text;
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

// Written beside it and renamed over it: a cut leaves the old journal or the new.
bool SaveJournal(UpdaterOps& ops, const Journal& journal) {
  return WriteWhole(ops, kJournalNew, JournalText(journal)) && ops.Replace(kJournalNew, kJournal);
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

void RemoveLeftovers(UpdaterOps& ops) {
  ops.RemoveFolder(std::string(kStagingFolder));
  ops.RemoveFolder(std::string(kBackupFolder));
  ops.RemoveFile(kJournalNew);
}

// Carries a saved journal through to its end: the new files in, or, when one
// won't go in, the old ones back.
UpdateOutcome Complete(UpdaterOps& ops, Journal journal) {
  std::optional<std::string> failed;
  if (journal.forward) {
    failed = PutNewFilesIn(ops, journal);
    if (!failed) {
      // Gone before the new program starts, so that its own update check can't
      // download a newer archive that this run would then delete.
      ops.RemoveFile(std::string(kArchiveName));
      ops.RemoveFile(std::string(kSignatureName));
      ops.RemoveFile(kJournal);
      RemoveLeftovers(ops);
      ops.StartProgram(std::string(kProgramName));
      return UpdateOutcome::updated;
    }
  }
  if (journal.forward) {
    journal.forward = false;
    SaveJournal(ops, journal);
  }
  if (const std::optional<std::string> stuck = PutOldFilesBack(ops, journal)) {
    // The journal stays: the next start tries again.
    ops.ShowError("The update failed and " + *stuck +
                  " could not be put back. The old files are in the folder " +
                  std::string(kBackupFolder) + "; copy them back into the Skyvigil folder.");
    return UpdateOutcome::rollback_failed;
  }
  ops.RemoveFile(kJournal);
  RemoveLeftovers(ops);
  ops.ShowError(failed ? kNot + *failed + " could not be replaced (is it in use?)." + kUnchanged
                       : "An update that was cut short has been undone." + kUnchanged);
  ops.StartProgram(std::string(kProgramName));
  return UpdateOutcome::not_installed;
}

struct Failure {
  std::string text;
  UpdateOutcome outcome = UpdateOutcome::updated;
};

bool SameAsInstalled(UpdaterOps& ops, const ZipEntry& entry) {
  const std::optional<std::string> installed = ops.ReadFile(entry.name);
  return installed && installed->size() == entry.size &&
         crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(installed->data()),
               static_cast<uInt>(installed->size())) == entry.crc32;
}

// Streams each entry that differs from the installed file into update.new
// and copies the file it replaces into update.old.
Failure Stage(UpdaterOps& ops, std::string_view archive, Journal& journal) {
  const auto damaged = [](const std::string& why) {
    return Failure{kNot + "Skyvigil.zip is damaged (" + why + ")." + kUnchanged,
                   UpdateOutcome::bad_archive};
  };
  const auto not_written = [](const std::string& name, std::string_view folder) {
    return Failure{kNot + name + " could not be written into " + std::string(folder) +
                       " (is the disk full?)." + kUnchanged,
                   UpdateOutcome::not_installed};
  };
  const ZipDirectory directory = ReadZipDirectory(archive);
  if (!directory.error.empty())
    return damaged(directory.error);
  const ReplacePlan plan = PlanReplacement(directory.entries);
  if (!plan.error.empty())
    return damaged(plan.error);

  for (const ZipEntry* entry : plan.files) {
    if (SameAsInstalled(ops, *entry))
      continue;
    const std::unique_ptr<FileWriter> file = ops.CreateFile(Staged(entry->name));
    bool written = file != nullptr;
    const std::string error = StreamEntry(archive, *entry, [&](std::string_view part) {
      written = written && file->Write(part);
      return written;
    });
    if (!written || !file->Finish())
      return not_written(entry->name, kStagingFolder);
    if (!error.empty())
      return damaged(error);
    journal.files.push_back({entry->name, ops.Exists(entry->name)});
  }
  for (const Journal::File& staged : journal.files) {
    if (!staged.had_old)
      continue;
    const std::optional<std::string> old = ops.ReadFile(staged.name);
    if (!old)
      return {kNot + staged.name + " could not be replaced (is it in use?)." + kUnchanged,
              UpdateOutcome::not_installed};
    if (!WriteWhole(ops, Backed(staged.name), *old))
      return not_written(staged.name, kBackupFolder);
  }
  return {};
}

}  // namespace

UpdateOutcome RunUpdate(UpdaterOps& ops, const UpdateTrust& trust, const UpdateTiming& timing) {
  for (int waited = 0; ops.MarkerHeld() || ops.ProgramRunning(); waited += timing.poll_ms) {
    if (waited >= timing.wait_limit_ms) {
      ops.ShowError("Skyvigil did not end within " + std::to_string(timing.wait_limit_ms / 1000) +
                    " seconds, so the update was not installed." + kUnchanged);
      return UpdateOutcome::still_running;
    }
    ops.Pause(timing.poll_ms);
  }

  if (const std::optional<std::string> saved = ops.ReadFile(kJournal)) {
    const std::optional<Journal> journal = ReadJournal(*saved);
    if (journal)
      return Complete(ops, *journal);
    ops.ShowError("An earlier update was cut short and its record " + kJournal +
                  " cannot be read. The old files are in the folder " + std::string(kBackupFolder) +
                  "; copy them back into the Skyvigil folder.");
    return UpdateOutcome::rollback_failed;
  }

  const auto give_up = [&](const Failure& failure) {
    RemoveLeftovers(ops);
    ops.ShowError(failure.text);
    ops.StartProgram(std::string(kProgramName));
    return failure.outcome;
  };
  // Left by an earlier run that could not delete its own old updater.exe.
  RemoveLeftovers(ops);

  const std::optional<std::string> archive = ops.ReadFile(std::string(kArchiveName));
  if (!archive)
    return give_up(
        {kNot + "Skyvigil.zip could not be read." + kUnchanged, UpdateOutcome::bad_archive});
  // Checked before a byte of the archive is read as a zip.
  const std::optional<std::string> signature = ops.ReadFile(std::string(kSignatureName));
  const std::string refused = signature
                                  ? CheckUpdateSignature(*archive, *signature, kArchiveName, trust)
                                  : "it has no signature";
  if (!refused.empty())
    return give_up({kNot + "Skyvigil.zip was refused because " + refused + "." + kUnchanged,
                    UpdateOutcome::bad_signature});

  Journal journal;
  if (const Failure failure = Stage(ops, *archive, journal); !failure.text.empty())
    return give_up(failure);
  // From here on a later start can finish what a cut stops.
  if (!SaveJournal(ops, journal))
    return give_up({kNot + kJournal + " could not be written (is the disk full?)." + kUnchanged,
                    UpdateOutcome::not_installed});
  return Complete(ops, journal);
}

UpdateOutcome RunUpdateOrRestart(UpdaterOps& ops, const UpdateTrust& trust,
                                 const UpdateTiming& timing) {
  // Whatever goes wrong, the user hears why and gets the program back.
  const auto fail = [&ops](const std::string& why) {
    ops.ShowError(kNot + why + ". If Skyvigil does not work, install it again.");
    ops.StartProgram(std::string(kProgramName));
    return UpdateOutcome::failed;
  };
  try {
    return RunUpdate(ops, trust, timing);
  } catch (const std::bad_alloc&) {
    return fail("there was not enough memory");
  } catch (const std::exception& error) {
    return fail(error.what());
  } catch (...) {
    return fail("an unknown error happened");
  }
}

}  // namespace skyvigil::update_tool
