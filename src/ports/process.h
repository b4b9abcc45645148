// The process services the core asks for: the hand-over to the updater, the
// release of the single-instance marker and the end of the process.
#pragma once

#include <filesystem>

namespace skyvigil {

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // Starts `program` in the working folder without waiting for it; a failure
  // is not reported.
  virtual void StartUpdater(const std::filesystem::path& program) = 0;
  // Deletes the single-instance marker.
  virtual void ReleaseMarker() = 0;
  // Releases everything and ends the process with code 0. Never returns.
  [[noreturn]] virtual void EndProgram() = 0;
};

}  // namespace skyvigil
