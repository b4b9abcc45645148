// The order of the update's steps and the way back from each of them.
#include "update_tool/update_steps.h"

#include <vector>

#include "update_tool/replace_plan.h"
#include "update_tool/zip_reader.h"

namespace skyvigil::update_tool {

namespace {

const std::string kUnchanged = " Skyvigil is unchanged.";

std::string Staged(const std::string& name) {
  return std::string(kStagingFolder) + "/" + name;
}

std::string Backed(const std::string& name) {
  return std::string(kBackupFolder) + "/" + name;
}

struct Swap {
  std::string name;
  bool old_moved = false;
  bool new_placed = false;
};

// Undoes the swaps newest first; names the first file that could not be put back.
std::optional<std::string> RollBack(UpdaterOps& ops, const std::vector<Swap>& swaps) {
  std::optional<std::string> stuck;
  for (auto swap = swaps.rbegin(); swap != swaps.rend(); ++swap) {
    if (swap->new_placed && !ops.Move(swap->name, Staged(swap->name)) &&
        !ops.RemoveFile(swap->name)) {
      stuck = stuck.value_or(swap->name);
      continue;
    }
    if (swap->old_moved && !ops.Move(Backed(swap->name), swap->name)) {
      stuck = stuck.value_or(swap->name);
      // A new file in its place is better than none.
      if (swap->new_placed)
        ops.Move(Staged(swap->name), swap->name);
    }
  }
  return stuck;
}

// Unpacks the entries that differ from the installed files into the staging
// folder; their names, or the reason it failed.
struct Unpacked {
  std::vector<std::string> names;
  std::string error;
  UpdateOutcome outcome = UpdateOutcome::updated;
};

Unpacked Unpack(UpdaterOps& ops) {
  Unpacked unpacked;
  const auto damaged = [&](const std::string& why) {
    unpacked.error =
        "The update could not be installed: Skyvigil.zip is damaged (" + why + ")." + kUnchanged;
    unpacked.outcome = UpdateOutcome::bad_archive;
    return unpacked;
  };
  const std::optional<std::string> archive = ops.ReadFile(std::string(kArchiveName));
  if (!archive) {
    unpacked.error =
        "The update could not be installed: Skyvigil.zip could not be read." + kUnchanged;
    unpacked.outcome = UpdateOutcome::bad_archive;
    return unpacked;
  }
  const ZipDirectory directory = ReadZipDirectory(*archive);
  if (!directory.error.empty())
    return damaged(directory.error);
  const ReplacePlan plan = PlanReplacement(directory.entries);
  if (!plan.error.empty())
    return damaged(plan.error);

  // Every entry is checked before anything is written.
  std::vector<ZipData> contents;
  for (const ZipEntry* entry : plan.files) {
    contents.push_back(ExtractEntry(*archive, *entry));
    if (!contents.back().error.empty())
      return damaged(contents.back().error);
  }
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    const std::string& name = plan.files[i]->name;
    if (ops.ReadFile(name) == contents[i].bytes)
      continue;
    if (!ops.WriteFile(Staged(name), contents[i].bytes)) {
      unpacked.error = "The update could not be installed: " + name +
                       " could not be written into " + std::string(kStagingFolder) +
                       " (is the disk full?)." + kUnchanged;
      unpacked.outcome = UpdateOutcome::not_installed;
      return unpacked;
    }
    unpacked.names.push_back(name);
  }
  return unpacked;
}

}  // namespace

UpdateOutcome RunUpdate(UpdaterOps& ops, const UpdateTiming& timing) {
  for (int waited = 0; ops.MarkerHeld(); waited += timing.poll_ms) {
    if (waited >= timing.wait_limit_ms) {
      ops.ShowError("Skyvigil did not end within " + std::to_string(timing.wait_limit_ms / 1000) +
                    " seconds, so the update was not installed." + kUnchanged);
      return UpdateOutcome::still_running;
    }
    ops.Pause(timing.poll_ms);
  }

  const std::string staging(kStagingFolder);
  const std::string backup(kBackupFolder);
  const auto give_up = [&](const std::string& text, UpdateOutcome outcome) {
    ops.RemoveFolder(staging);
    ops.RemoveFolder(backup);
    ops.ShowError(text);
    ops.StartProgram(std::string(kProgramName));
    return outcome;
  };

  // Left by an earlier run that could not delete its own old updater.exe.
  ops.RemoveFolder(staging);
  ops.RemoveFolder(backup);
  const Unpacked unpacked = Unpack(ops);
  if (!unpacked.error.empty())
    return give_up(unpacked.error, unpacked.outcome);

  // The old files stay in the backup folder until every new one is in place.
  std::vector<Swap> swaps;
  for (const std::string& name : unpacked.names) {
    swaps.push_back({name});
    Swap& swap = swaps.back();
    if (ops.Exists(name)) {
      if (!ops.Move(name, Backed(name)))
        break;
      swap.old_moved = true;
    }
    if (!ops.Move(Staged(name), name))
      break;
    swap.new_placed = true;
  }
  if (!swaps.empty() && !swaps.back().new_placed) {
    const std::string failed = swaps.back().name;
    if (const std::optional<std::string> stuck = RollBack(ops, swaps)) {
      ops.ShowError("The update failed and " + *stuck +
                    " could not be put back. The old files are in the folder " + backup +
                    "; copy them back into the Skyvigil folder.");
      return UpdateOutcome::rollback_failed;
    }
    return give_up("The update could not be installed: " + failed +
                       " could not be replaced (is it in use?)." + kUnchanged,
                   UpdateOutcome::not_installed);
  }

  ops.RemoveFolder(staging);
  ops.RemoveFolder(backup);
  // Gone before the new program starts, so that its own update check can't
  // download a newer archive that this run would then delete.
  ops.RemoveFile(std::string(kArchiveName));
  ops.StartProgram(std::string(kProgramName));
  return UpdateOutcome::updated;
}

}  // namespace skyvigil::update_tool
