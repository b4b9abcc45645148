// An in-memory program folder behind the updater's port, with failures to
// order, running programs, a power cut after a given number of steps and a
// record of what the updater did.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "update_tool/updater_ops.h"

namespace skyvigil::testing {

// Thrown by the step at which the power goes.
struct PowerCut {};

class FakeUpdateFolder : public update_tool::UpdaterOps {
 public:
  std::map<std::string, std::string> files;
  int held_polls = 0;                // TakeMarker finds it held this many times; -1 for ever
  int running_polls = 0;             // ProgramRunning says yes this many times; -1 for ever
  bool marker_taken = false;         // by TakeMarker, until ReleaseMarker
  std::set<std::string> unwritable;  // CreateFile fails for these names (a full disk)
  std::set<std::string> unmovable;   // Replace fails from and to these names (a file in use)
  // Programs running from these files, which as on Windows can be neither
  // replaced nor removed.
  std::set<std::string> running;
  int steps_before_cut = -1;       // changes to the folder until the power goes; -1 never
  std::vector<std::string> moves;  // "from -> to"
  std::vector<std::string> started;
  std::vector<std::string> errors;
  int pauses = 0;
  int steps = 0;  // changes made

  bool TakeMarker() override {
    if (!marker_taken && !Poll(held_polls))
      marker_taken = true;
    return marker_taken;
  }
  void ReleaseMarker() override { marker_taken = false; }
  bool ProgramRunning() override { return Poll(running_polls); }
  void Pause(int) override { ++pauses; }
  std::optional<std::string> ReadFile(const std::string& name) override {
    return files.count(name) ? std::optional(files[name]) : std::nullopt;
  }
  std::unique_ptr<update_tool::FileWriter> CreateFile(const std::string& name) override {
    if (unwritable.count(name))
      return nullptr;
    Step();
    files[name].clear();
    return std::make_unique<Writer>(*this, name);
  }
  bool Exists(const std::string& name) override { return files.count(name) != 0; }
  bool Replace(const std::string& from, const std::string& to) override {
    if (unmovable.count(from) || unmovable.count(to) || running.count(to) || !files.count(from))
      return false;
    Step();
    moves.push_back(from + " -> " + to);
    files[to] = files[from];
    return files.erase(from) != 0;
  }
  bool RemoveFile(const std::string& name) override {
    if (!files.count(name) || running.count(name))
      return false;
    Step();
    return files.erase(name) != 0;
  }
  void RemoveFolder(const std::string& name) override {
    // One file at a time, as a real removal goes.
    for (auto file = files.begin(); file != files.end();) {
      if (file->first.starts_with(name + "/") && !running.count(file->first)) {
        Step();
        file = files.erase(file);
      } else {
        ++file;
      }
    }
  }
  bool StartProgram(const std::string& name) override {
    // A Skyvigil started while the marker is held would find itself "already running".
    started.push_back(marker_taken ? name + " while the marker is held" : name);
    return true;
  }
  void ShowError(const std::string& text) override { errors.push_back(text); }

 private:
  // Each part lands in the file as it is written.
  class Writer : public update_tool::FileWriter {
   public:
    Writer(FakeUpdateFolder& folder, std::string name) : folder_(folder), name_(std::move(name)) {}
    bool Write(std::string_view bytes) override {
      folder_.Step();
      folder_.files[name_] += bytes;
      return true;
    }
    bool Finish() override { return true; }

   private:
    FakeUpdateFolder& folder_;
    std::string name_;
  };

  static bool Poll(int& polls) { return polls != 0 && (polls < 0 || polls-- > 0); }
  void Step() {
    if (steps_before_cut == steps)
      throw PowerCut{};
    ++steps;
  }
};

}  // namespace skyvigil::testing
