// An in-memory program folder behind the updater's port, with failures to
// order and a record of what the updater did.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "update_tool/update_steps.h"

namespace skyvigil::testing {

class FakeUpdateFolder : public update_tool::UpdaterOps {
 public:
  std::map<std::string, std::string> files;
  int held_polls = 0;                // MarkerHeld says yes this many times; -1 for ever
  std::set<std::string> unwritable;  // WriteFile fails for these names (a full disk)
  std::set<std::string> unmovable;   // Move fails from these names (a file in use)
  std::vector<std::string> moves;    // "from -> to"
  std::vector<std::string> started;
  std::vector<std::string> errors;
  int pauses = 0;

  bool MarkerHeld() override { return held_polls != 0 && (held_polls < 0 || held_polls-- > 0); }
  void Pause(int) override { ++pauses; }
  std::optional<std::string> ReadFile(const std::string& name) override {
    return files.count(name) ? std::optional(files[name]) : std::nullopt;
  }
  bool WriteFile(const std::string& name, std::string_view bytes) override {
    return !unwritable.count(name) &&
           files.insert_or_assign(name, std::string(bytes)).first != files.end();
  }
  bool Exists(const std::string& name) override { return files.count(name) != 0; }
  bool Move(const std::string& from, const std::string& to) override {
    if (unmovable.count(from) || !files.count(from) || files.count(to))
      return false;
    moves.push_back(from + " -> " + to);
    files[to] = files[from];
    return files.erase(from) != 0;
  }
  bool RemoveFile(const std::string& name) override { return files.erase(name) != 0; }
  void RemoveFolder(const std::string& name) override {
    std::erase_if(files, [&](const auto& file) { return file.first.starts_with(name + "/"); });
  }
  bool StartProgram(const std::string& name) override {
    started.push_back(name);
    return true;
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }
};

}  // namespace skyvigil::testing
