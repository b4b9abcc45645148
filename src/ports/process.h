// The process services the core asks for: the hand-over to the updater, the
// start at login, the release of the single-instance marker and the end of
// the process.
#pragma once

#include <filesystem>

namespace skyvigil {

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // Starts `program` in the working folder without waiting for it; a failure
  // is not reported.
  virtual void StartUpdater(const std::filesystem::path& program) = 0;
  // Whether the program starts when the user logs in.
  virtual bool StartsAtLogin() const = 0;
  // Switches the start at login; false when it could not be changed.
  virtual bool SetStartAtLogin(bool on) = 0;
  // Deletes the single-instance marker.
  virtual void ReleaseMarker() = 0;
  // Hands memory the program has freed back to the system, after work that
  // held a lot of it for a moment (a refresh's answers).
  virtual void ReleaseFreedMemory() {}
  // Releases everything and ends the process with code 0. Never returns.
  [[noreturn]] virtual void EndProgram() = 0;
};

}  // namespace skyvigil
