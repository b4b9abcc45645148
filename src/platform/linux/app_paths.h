// Where the Linux program keeps its files: an installed program
// (<prefix>/bin/skyvigil beside <prefix>/share/skyvigil/snd) keeps the user's
// files in the XDG data folder; one run from a folder of its own (make demo,
// make run) keeps everything in the working folder.
#pragma once

#include <filesystem>

#include "ports/paths.h"

namespace skyvigil {

// `program` is the running executable, `data_home` $XDG_DATA_HOME and `home`
// $HOME (either may be empty). Makes the data folder of an installed program,
// readable by its owner only. No layout has an updater program.
AppPaths LinuxAppPaths(const std::filesystem::path& program, const std::string& data_home,
                       const std::string& home);

// The same for this process, from /proc/self/exe and the environment.
AppPaths LinuxAppPaths();

}  // namespace skyvigil
