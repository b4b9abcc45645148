// The updater's procedure: wait for Skyvigil to end, check Skyvigil.zip's
// signature, unpack it beside the program, swap the files in under a journal
// that a later start finishes or undoes, restart it. The file system is a port.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "update/update_signature.h"

namespace skyvigil::update_tool {

// A file being written in parts.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  virtual bool Write(std::string_view bytes) = 0;
  // On the disk when this returns true.
  virtual bool Finish() = 0;
};

// Names are relative to the program folder, '/' between folders.
class UpdaterOps {
 public:
  virtual ~UpdaterOps() = default;
  // True while a running Skyvigil holds its marker "running" open.
  virtual bool MarkerHeld() = 0;
  // True while the Skyvigil that started the updater has not ended; it
  // releases its marker before it has closed all its files.
  virtual bool ProgramRunning() = 0;
  virtual void Pause(int milliseconds) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
  // Creates (or empties) the file, and its folders; nothing when it can't.
  virtual std::unique_ptr<FileWriter> CreateFile(const std::string& name) = 0;
  virtual bool Exists(const std::string& name) = 0;
  // Renames the file `from` to `to`, replacing a `to` in one step: `to` holds
  // its old or its new content at every moment. Makes the folders of `to`.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual bool RemoveFile(const std::string& name) = 0;
  // With everything in it, as far as it goes; links are removed, not followed.
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
  bad_signature = 5,
  failed = 6,  // an unexpected error; the old program is started again
};

struct UpdateTiming {
  int wait_limit_ms = 30000;
  int poll_ms = 250;
};

inline constexpr std::string_view kArchiveName = "Skyvigil.zip";
inline constexpr std::string_view kSignatureName = "Skyvigil.zip.minisig";
inline constexpr std::string_view kProgramName = "Skyvigil.exe";

// On every failure but a program that won't end, the old program is left
// whole, the reason is shown and the old program is started again. A journal
// left by an update cut short is finished (or undone) first, and that is all
// the run does.
UpdateOutcome RunUpdate(UpdaterOps& ops, const UpdateTrust& trust, const UpdateTiming& timing = {});

// RunUpdate for the updater's entry: any exception (no memory left, a failing
// system call) is shown too, and the old program started again.
UpdateOutcome RunUpdateOrRestart(UpdaterOps& ops, const UpdateTrust& trust,
                                 const UpdateTiming& timing = {});

}  // namespace skyvigil::update_tool
