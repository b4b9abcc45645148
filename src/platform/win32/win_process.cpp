// Process services and the main-thread queue over Win32 messages.
#include "platform/win32/win_process.h"

#include <map>
#include <memory>
#include <string>

#include "platform/win32/updater/updater_launch.h"

namespace skyvigil {

namespace {

// The delayed work by timer id; timers are set and fire on the main thread only.
std::map<UINT_PTR, std::function<void()>>& DelayedWork() {
  static std::map<UINT_PTR, std::function<void()>> work;
  return work;
}

void CALLBACK RunDelayedWork(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  const auto it = DelayedWork().find(id);
  if (it == DelayedWork().end())
    return;
  const std::function<void()> work = std::move(it->second);
  DelayedWork().erase(it);
  work();
}

}  // namespace

void RunPostedWork(LPARAM lparam) {
  std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lparam));
  (*work)();
}

void WinProcess::StartUpdater(const std::filesystem::path& program) {
  // A failure is not reported; nothing waits for the updater.
  win32::StartUpdaterFromCopy(program);
}

namespace {

DWORD foreground_heir = 0;  // a timer procedure carries no data of its own

void CALLBACK PassForeground(HWND, UINT, UINT_PTR, DWORD) {
  DWORD owner = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &owner);
  if (owner == GetCurrentProcessId())
    AllowSetForegroundWindow(foreground_heir);
}

}  // namespace

void ShowAlertHandingOnForeground(const wchar_t* text, const wchar_t* title, DWORD heir) {
  // The box's modal loop runs the thread's timer; while the box is in front,
  // this process holds the foreground and may hand it on. A user who moves
  // away and back to the box hands it on again.
  foreground_heir = heir;
  const UINT_PTR timer = heir != 0 ? SetTimer(nullptr, 0, 100, &PassForeground) : 0;
  MessageBoxW(nullptr, text, title, MB_OK);
  if (timer != 0)
    KillTimer(nullptr, timer);
}

void WinProcess::QuitEventLoop(int exit_code) {
  // The loop returns once the running handler has; main returns the code.
  PostQuitMessage(exit_code);
}

void WinProcess::EndAtOnce(int exit_code) {
  if (last_words_)
    last_words_();  // "Exiting" reaches the screen reader first
  // The threads still inside WinHTTP end with the process.
  ExitProcess(static_cast<UINT>(exit_code));
}

void WinMainThread::Attach(HWND window) {
  std::lock_guard lock(mutex_);
  window_ = window;
  for (std::function<void()>* work : waiting_)
    PostMessageW(window_, kRunPostedWork, 0, reinterpret_cast<LPARAM>(work));
  waiting_.clear();
}

void WinMainThread::Post(std::function<void()> work) {
  auto* carried = new std::function<void()>(std::move(work));
  std::lock_guard lock(mutex_);
  if (window_ == nullptr) {
    waiting_.push_back(carried);
  } else if (!PostMessageW(window_, kRunPostedWork, 0, reinterpret_cast<LPARAM>(carried))) {
    delete carried;  // the queue is full or the window gone: the work can't run
  }
}

}  // namespace skyvigil

namespace skyvigil {

void WinMainThread::PostAfter(std::chrono::milliseconds delay, std::function<void()> work) {
  const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(delay.count()), &RunDelayedWork);
  if (id != 0)
    DelayedWork()[id] = std::move(work);
}

}  // namespace skyvigil
