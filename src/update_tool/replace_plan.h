// Which entries of an update archive may replace the program's files: safe
// names only, never the user's files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "update_tool/zip_reader.h"

namespace skyvigil::update_tool {

// The folders beside the program that hold the unpacked update and the files
// it replaces until every new file is in place.
inline constexpr std::string_view kStagingFolder = "update.new";
inline constexpr std::string_view kBackupFolder = "update.old";
// The plan of a started swap, beside the program until it is done or undone.
inline constexpr std::string_view kJournalName = "update.journal";
// Where the updater runs from: a copy of updater.exe that Skyvigil makes, so
// that no update has to replace the file its updater runs from.
inline constexpr std::string_view kRunFolder = "update.run";

// A relative name below the program folder that names that file alone:
// parts of [A-Za-z0-9._ -] only, no "..", no device (also "nul .txt"), no
// trailing dot or space, not our own folders or journal.
bool IsSafeEntryName(std::string_view name);

// prefs.ini, cities.json and running in the program folder, in any case.
bool IsUserFile(std::string_view name);

struct ReplacePlan {
  std::vector<const ZipEntry*> files;  // in archive order
  std::string error;                   // empty when the archive may be installed
};

// Every file entry except the user's files; refuses the whole archive when
// one name is unsafe, a name comes twice or Skyvigil.exe is missing.
ReplacePlan PlanReplacement(const std::vector<ZipEntry>& entries);

}  // namespace skyvigil::update_tool
