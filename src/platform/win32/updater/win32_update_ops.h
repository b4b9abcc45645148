// The updater's file system, marker and process checks, process start and
// message box on Win32, every name below one program folder. Skyvigil's start
// uses it too, for a journal an update left.
#pragma once

#include <windows.h>

#include <filesystem>

#include "ports/instance_lock.h"
#include "update_tool/updater_ops.h"

namespace skyvigil::win32 {

class Win32UpdateOps : public update_tool::UpdaterOps {
 public:
  // `program` is the Skyvigil that started the updater, opened for waiting;
  // nullptr when there is none to wait for.
  Win32UpdateOps(std::filesystem::path folder, HANDLE program)
      : folder_(std::move(folder)), program_(program) {}
  ~Win32UpdateOps() override;
  Win32UpdateOps(const Win32UpdateOps&) = delete;
  Win32UpdateOps& operator=(const Win32UpdateOps&) = delete;

  bool TakeMarker() override;
  void ReleaseMarker() override;
  bool ProgramRunning() override;
  void Pause(int milliseconds) override;
  std::optional<std::string> ReadFile(const std::string& name) override;
  std::unique_ptr<update_tool::FileWriter> CreateFile(const std::string& name) override;
  bool Exists(const std::string& name) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& name) override;
  void RemoveFolder(const std::string& name) override;
  bool StartProgram(const std::string& name) override;
  void ShowError(const std::string& text) override;

 private:
  std::filesystem::path Full(const std::string& name) const;

  std::filesystem::path folder_;
  HANDLE program_;
  InstanceLock marker_;
  bool marker_taken_ = false;
};

}  // namespace skyvigil::win32
