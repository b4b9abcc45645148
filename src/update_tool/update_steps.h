// The updater's procedure: wait for Skyvigil to end, unpack Skyvigil.zip beside
// it, swap the files in with a way back, restart it. The file system is a port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skyvigil::update_tool {

// Names are relative to the program folder, '/' between folders.
class UpdaterOps {
 public:
  virtual ~UpdaterOps() = default;
  // True while a running Skyvigil holds its marker "running" open.
  virtual bool MarkerHeld() = 0;
  virtual void Pause(int milliseconds) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
  // Creates the file, and its folders, with exactly `bytes`.
  virtual bool WriteFile(const std::string& name, std::string_view bytes) = 0;
  virtual bool Exists(const std::string& name) = 0;
  // Renames; makes the folders of `to`; never replaces an existing `to`.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  virtual bool RemoveFile(const std::string& name) = 0;
  // With everything in it, as far as it goes.
  virtual void RemoveFolder(const std::string& name) = 0;
  // Starts the program in the program folder without waiting for it.
  virtual bool StartProgram(const std::string& name) = 0;
  virtual void ShowError(const std::string& text) = 0;
};

// Also the updater's exit codes.
enum class UpdateOutcome {
  updated = 0,
  still_running = 1,
  bad_archive = 2,
  not_installed = 3,
  rollback_failed = 4,
};

struct UpdateTiming {
  int wait_limit_ms = 30000;
  int poll_ms = 250;
};

inline constexpr std::string_view kArchiveName = "Skyvigil.zip";
inline constexpr std::string_view kProgramName = "Skyvigil.exe";

// On every failure but a program that won't end, the old program is left
// whole, the reason is shown and the old program is started again.
UpdateOutcome RunUpdate(UpdaterOps& ops, const UpdateTiming& timing = {});

}  // namespace skyvigil::update_tool
