// A recording stand-in for the process services.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ports/process.h"

namespace skyvigil::testing {

class FakeProcess : public ProcessPort {
 public:
  bool marker_released = false;
  int memory_releases = 0;
  std::optional<int> loop_quit_code;  // set when the event loop was asked to end
  std::optional<int> ended_at_once;   // set when the process was ended without teardown
  // Where the calls are written ("marker released", "loop quit 0") when a
  // test wants them in one list with other fakes' records.
  std::vector<std::string>* log = nullptr;
  int updater_starts = 0;
  bool starts_at_login = false;
  bool start_at_login_fails = false;

  void StartUpdater(const std::filesystem::path&) override { ++updater_starts; }
  bool StartsAtLogin() const override { return starts_at_login; }
  bool SetStartAtLogin(bool on) override {
    if (start_at_login_fails)
      return false;
    starts_at_login = on;
    return true;
  }
  void ReleaseMarker() override {
    marker_released = true;
    if (log != nullptr)
      log->push_back("marker released");
  }
  void ReleaseFreedMemory() override { ++memory_releases; }
  void QuitEventLoop(int exit_code) override {
    loop_quit_code = exit_code;
    if (log != nullptr)
      log->push_back("loop quit " + std::to_string(exit_code));
  }
  void EndAtOnce(int exit_code) override { ended_at_once = exit_code; }
};

}  // namespace skyvigil::testing
