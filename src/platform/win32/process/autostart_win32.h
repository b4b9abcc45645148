// Start at login on Windows: the value "Skyvigil" under the user's
// Software\Microsoft\Windows\CurrentVersion\Run key, holding the quoted path
// of this program. The program keeps its files beside itself, so it finds
// them when Windows starts it from another folder.
#pragma once

#include <filesystem>

namespace skyvigil {

// The path of the running program.
std::filesystem::path RunningProgram();

class WinAutostart {
 public:
  explicit WinAutostart(std::filesystem::path program) : program_(std::move(program)) {}

  bool Enabled() const;
  // Writes or removes the value; false when that failed.
  bool Set(bool on);

 private:
  std::filesystem::path program_;
};

}  // namespace skyvigil
