// The updater's port: the program folder's files, Skyvigil's marker and
// process, the program start and the error box. Win32 calls in updater.exe
// and in Skyvigil.exe's start; an in-memory folder in the tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skyvigil::update_tool {

inline constexpr std::string_view kArchiveName = "Skyvigil.zip";
inline constexpr std::string_view kSignatureName = "Skyvigil.zip.minisig";
inline constexpr std::string_view kProgramName = "Skyvigil.exe";

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
  // Takes Skyvigil's marker "running" and holds it until ReleaseMarker (or
  // the process ends), so that no Skyvigil starts while files are swapped.
  // False while a running Skyvigil holds it; true when held already, or when
  // no marker can be made there at all.
  virtual bool TakeMarker() = 0;
  // Gives the marker up and deletes it.
  virtual void ReleaseMarker() = 0;
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
  // Fails when `to` is a running program, which Windows does not replace.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  virtual bool RemoveFile(const std::string& name) = 0;
  // With everything in it, as far as it goes; links are removed, not followed.
  virtual void RemoveFolder(const std::string& name) = 0;
  // Starts the program in the program folder without waiting for it.
  virtual bool StartProgram(const std::string& name) = 0;
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace skyvigil::update_tool
