// Process services and the main-thread queue over Win32 messages.
#include "platform/win32/win_process.h"

#include <memory>
#include <string>

#include "ports/ui.h"

namespace skyvigil {

void RunPostedWork(LPARAM lparam) {
  std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lparam));
  (*work)();
}

void WinProcess::StartUpdater(const std::filesystem::path& program) {
  // The updater waits for this process to end, not only for its marker.
  std::wstring command_line =
      L"\"" + program.wstring() + L"\" --wait-for " + std::to_wstring(GetCurrentProcessId());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  // A failure is not reported; nothing waits for the updater.
  if (CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &started)) {
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }
}

void WinProcess::EndProgram() {
  if (release_)
    release_();
  ui_.RemoveTrayIcon();
  // The core writes its files whole when they change: nothing is lost by
  // leaving without unwinding the message loop.
  ExitProcess(0);
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
