// The process services on wxWidgets: the updater started without waiting,
// the marker released, the event loop ended; and work posted to the main thread.
#pragma once

#include <chrono>
#include <functional>

#include "platform/linux/autostart.h"
#include "ports/instance_lock.h"
#include "ports/main_thread.h"
#include "ports/process.h"

namespace skyvigil {

class WxProcess : public ProcessPort {
 public:
  explicit WxProcess(InstanceLock& marker) : marker_(marker) {}

  void StartUpdater(const std::filesystem::path& program) override;
  bool StartsAtLogin() const override { return autostart_.Enabled(); }
  bool SetStartAtLogin(bool on) override { return autostart_.Set(on); }
  void ReleaseMarker() override { marker_.Release(); }
  void ReleaseFreedMemory() override;
  void QuitEventLoop(int exit_code) override;
  void EndAtOnce(int exit_code) override;

 private:
  InstanceLock& marker_;
  Autostart autostart_ = Autostart::ForThisProgram();
};

class WxMainThread : public MainThread {
 public:
  void Post(std::function<void()> work) override;
  void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) override;
};

}  // namespace skyvigil
