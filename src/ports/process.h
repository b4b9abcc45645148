// The process services the core asks for: the hand-over to the updater, the
// start at login, the release of the single-instance marker and the end of
// the event loop.
#pragma once

#include <filesystem>

namespace skyvigil {

class ProcessPort {
 public:
  virtual ~ProcessPort() = default;
  // Starts the updater `program` without waiting for it (on Windows from a
  // copy, so that an update never replaces the file its updater runs from);
  // a failure is not reported.
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
  // Ends the event loop once the running handler returns; the program's main
  // then releases everything and returns `exit_code`.
  virtual void QuitEventLoop(int exit_code) = 0;
  // Ends the process now with `exit_code`, without the adapters' teardown:
  // for after the loop, when a transfer its client could not cut short still
  // holds a worker that the teardown would wait for, or pull the client from.
  virtual void EndAtOnce(int exit_code) = 0;
};

}  // namespace skyvigil
