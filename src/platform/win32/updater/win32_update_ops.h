// The updater's file system, marker check, process start and message box on
// Win32, every name below one program folder.
#pragma once

#include <filesystem>

#include "update_tool/update_steps.h"

namespace skyvigil::win32 {

class Win32UpdateOps : public update_tool::UpdaterOps {
 public:
  explicit Win32UpdateOps(std::filesystem::path folder) : folder_(std::move(folder)) {}

  bool MarkerHeld() override;
  void Pause(int milliseconds) override;
  std::optional<std::string> ReadFile(const std::string& name) override;
  bool WriteFile(const std::string& name, std::string_view bytes) override;
  bool Exists(const std::string& name) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& name) override;
  void RemoveFolder(const std::string& name) override;
  bool StartProgram(const std::string& name) override;
  void ShowError(const std::string& text) override;

 private:
  std::filesystem::path Full(const std::string& name) const;

  std::filesystem::path folder_;
};

}  // namespace skyvigil::win32
