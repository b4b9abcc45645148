// Start at login on a freedesktop desktop: an entry in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart).
#pragma once

#include <filesystem>
#include <string>

namespace skyvigil {

// The autostart entry's file, from $XDG_CONFIG_HOME and $HOME; empty when neither is set.
std::filesystem::path AutostartFile(const std::string& config_home, const std::string& home);

// The entry that starts `program` in `folder`, the folder that holds its files.
std::string AutostartEntry(const std::filesystem::path& program,
                           const std::filesystem::path& folder);

class Autostart {
 public:
  Autostart(std::filesystem::path file, std::filesystem::path program, std::filesystem::path folder)
      : file_(std::move(file)), program_(std::move(program)), folder_(std::move(folder)) {}
  // For this process: the running program in the working folder.
  static Autostart ForThisProgram();

  bool Enabled() const;
  // Writes or removes the entry; false when that failed.
  bool Set(bool on);

 private:
  std::filesystem::path file_, program_, folder_;
};

}  // namespace skyvigil
