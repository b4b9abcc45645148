// The process services on wxWidgets: the updater started without waiting,
// the marker released, the process ended; and work posted to the main thread.
#pragma once

#include <functional>

#include "platform/linux/autostart.h"
#include "ports/instance_lock.h"
#include "ports/main_thread.h"
#include "ports/process.h"

namespace skyvigil {

class WxUi;

class WxProcess : public ProcessPort {
 public:
  // `release` frees what the program holds outside wx (speech, sound) at the end.
  WxProcess(WxUi& ui, InstanceLock& marker, std::function<void()> release)
      : ui_(ui), marker_(marker), release_(std::move(release)) {}

  void StartUpdater(const std::filesystem::path& program) override;
  bool StartsAtLogin() const override { return autostart_.Enabled(); }
  bool SetStartAtLogin(bool on) override { return autostart_.Set(on); }
  void ReleaseMarker() override { marker_.Release(); }
  void ReleaseFreedMemory() override;
  [[noreturn]] void EndProgram() override;

 private:
  WxUi& ui_;
  InstanceLock& marker_;
  std::function<void()> release_;
  Autostart autostart_ = Autostart::ForThisProgram();
};

class WxMainThread : public MainThread {
 public:
  void Post(std::function<void()> work) override;
};

}  // namespace skyvigil
