// The process services on Win32: the updater started without waiting, the
// marker released, the message loop ended; and work posted to the main thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/autostart_win32.h"
#include "ports/instance_lock.h"
#include "ports/main_thread.h"
#include "ports/process.h"

namespace skyvigil {

// The private message that carries posted work (a heap-allocated
// std::function in its LPARAM) to the main window.
constexpr UINT kRunPostedWork = WM_APP + 1;
// Runs and frees the work a kRunPostedWork message carries.
void RunPostedWork(LPARAM lparam);

// The "Alert" box of a second start. While it is in front, the right to the
// foreground passes to `heir` (the running instance's process; 0: none), so
// that the window it is then asked to show can come to the front.
void ShowAlertHandingOnForeground(const wchar_t* text, const wchar_t* title, DWORD heir);

class WinProcess : public ProcessPort {
 public:
  // `last_words` runs before an EndAtOnce: speech still queued is handed over.
  WinProcess(InstanceLock& marker, std::function<void()> last_words)
      : marker_(marker), last_words_(std::move(last_words)) {}

  void StartUpdater(const std::filesystem::path& program) override;
  bool StartsAtLogin() const override { return autostart_.Enabled(); }
  bool SetStartAtLogin(bool on) override { return autostart_.Set(on); }
  void ReleaseMarker() override { marker_.Release(); }
  void QuitEventLoop(int exit_code) override;
  void EndAtOnce(int exit_code) override;

 private:
  InstanceLock& marker_;
  std::function<void()> last_words_;
  WinAutostart autostart_{RunningProgram()};
};

class WinMainThread : public MainThread {
 public:
  // Work posted before the window stands waits here and follows it in order.
  void Attach(HWND window);
  void Post(std::function<void()> work) override;  // any thread
  // A thread timer of the main thread, whose WM_TIMER the message loop dispatches.
  void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) override;

 private:
  std::mutex mutex_;
  HWND window_ = nullptr;
  std::vector<std::function<void()>*> waiting_;
};

}  // namespace skyvigil
