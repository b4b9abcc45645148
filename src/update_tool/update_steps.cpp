// The order of the update's steps: the wait, the signature, the staging, the
// journal saved, then its carrying through.
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

// The folder is whole again, old or new: a Skyvigil may start, the user
// hears why, and the program starts again unless its files are stuck.
UpdateOutcome HandBack(UpdaterOps& ops, UpdateOutcome outcome, const std::string& error) {
  ops.ReleaseMarker();
  if (!error.empty())
    ops.ShowError(error);
  if (outcome != UpdateOutcome::rollback_failed && outcome != UpdateOutcome::still_running)
    ops.StartProgram(std::string(kProgramName));
  return outcome;
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
  // Held from here on, so that no Skyvigil starts while its files are swapped.
  for (int waited = 0; !ops.TakeMarker() || ops.ProgramRunning(); waited += timing.poll_ms) {
    if (waited >= timing.wait_limit_ms) {
      return HandBack(ops, UpdateOutcome::still_running,
                      "Skyvigil did not end within " + std::to_string(timing.wait_limit_ms / 1000) +
                          " seconds, so the update was not installed." + kUnchanged);
    }
    ops.Pause(timing.poll_ms);
  }

  if (const std::optional<std::string> saved = ops.ReadFile(kJournal)) {
    if (const std::optional<Journal> journal = ReadJournal(*saved)) {
      const Carried carried = CarryThrough(ops, *journal);
      return HandBack(ops, carried.outcome, carried.error);
    }
    return HandBack(ops, UpdateOutcome::rollback_failed, UnreadableJournalText());
  }

  const auto give_up = [&](const Failure& failure) {
    RemoveLeftovers(ops);
    return HandBack(ops, failure.outcome, failure.text);
  };
  // Left by an earlier run cut short before its journal was saved.
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
  const Carried carried = CarryThrough(ops, journal);
  return HandBack(ops, carried.outcome, carried.error);
}

UpdateOutcome RunUpdateOrRestart(UpdaterOps& ops, const UpdateTrust& trust,
                                 const UpdateTiming& timing) {
  // Whatever goes wrong, the user hears why and gets the program back.
  const auto fail = [&ops](const std::string& why) {
    return HandBack(ops, UpdateOutcome::failed,
                    kNot + why + ". If Skyvigil does not work, install it again.");
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
