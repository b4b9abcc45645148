// Where the application keeps its files. The platform decides: a program run
// from a folder of its own keeps everything in that folder; an installed one
// may keep the user's files in a data folder and read the cues from where the
// package put them.
#pragma once

#include <filesystem>

namespace skyvigil {

struct AppPaths {
  std::filesystem::path prefs_file = "prefs.ini";
  std::filesystem::path cities_file = "cities.json";
  std::filesystem::path marker_file = "running";  // the single-instance marker
  std::filesystem::path cues_folder = "snd";
  std::filesystem::path archive_file = "Skyvigil.zip";  // the downloaded update
  // Empty for a program installed by the system's package manager, which
  // brings its updates itself.
  std::filesystem::path updater_program = "updater.exe";
};

// Every file in `folder`, the cues in its "snd" folder.
inline AppPaths PathsIn(const std::filesystem::path& folder) {
  AppPaths paths;
  paths.prefs_file = folder / paths.prefs_file;
  paths.cities_file = folder / paths.cities_file;
  paths.marker_file = folder / paths.marker_file;
  paths.cues_folder = folder / paths.cues_folder;
  paths.archive_file = folder / paths.archive_file;
  paths.updater_program = folder / paths.updater_program;
  return paths;
}

}  // namespace skyvigil
