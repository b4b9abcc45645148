// The installed and the portable layout of the Linux program.
#include "platform/linux/app_paths.h"

#include <cstdlib>
#include <system_error>

namespace skyvigil {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::filesystem::path RunningProgram() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program;
}

}  // namespace

AppPaths LinuxAppPaths(const std::filesystem::path& program, const std::string& data_home,
                       const std::string& home) {
  namespace fs = std::filesystem;
  // No Linux build replaces itself: a new version is only told about, and no
  // program found in the working folder is ever started for it.
  AppPaths portable;
  portable.updater_program.clear();

  const fs::path bin = program.parent_path();
  const fs::path cues = bin.parent_path() / "share" / "skyvigil" / "snd";
  std::error_code error;
  if (bin.filename() != "bin" || !fs::is_directory(cues, error))
    return portable;

  // XDG: a relative $XDG_DATA_HOME is ignored.
  fs::path data;
  if (!data_home.empty() && fs::path(data_home).is_absolute())
    data = fs::path(data_home) / "skyvigil";
  else if (!home.empty())
    data = fs::path(home) / ".local" / "share" / "skyvigil";
  else
    return portable;
  fs::create_directories(data, error);
  // prefs.ini holds the service key: the folder is for its owner alone.
  fs::permissions(data, fs::perms::owner_all, fs::perm_options::replace, error);

  AppPaths installed = PathsIn(data);
  installed.cues_folder = cues;
  installed.updater_program.clear();  // the package source brings updates
  return installed;
}

AppPaths LinuxAppPaths() {
  return LinuxAppPaths(RunningProgram(), Environment("XDG_DATA_HOME"), Environment("HOME"));
}

}  // namespace skyvigil
