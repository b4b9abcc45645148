// Process services and the main-thread queue over wx.
#include "platform/wx/wx_process.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include "platform/wx/wx_ui.h"

namespace skyvigil {

namespace {

// A one-shot timer that runs its work and then frees itself, after its own
// notification has returned.
class OneShot : public wxTimer {
 public:
  explicit OneShot(std::function<void()> work) : work_(std::move(work)) {}
  void Notify() override {
    const std::function<void()> work = std::move(work_);
    wxTheApp->CallAfter([this] { delete this; });
    work();
  }

 private:
  std::function<void()> work_;
};

}  // namespace

void WxProcess::StartUpdater(const std::filesystem::path& program) {
  wxLogNull quiet;  // a failure is not reported
  const std::string name = program.string();
  const char* const argv[] = {name.c_str(), nullptr};
  wxExecute(argv, wxEXEC_ASYNC);
}

void WxProcess::ReleaseFreedMemory() {
  // glibc keeps freed blocks for later allocations; the answers of a refresh
  // would otherwise stay in the program's memory until the next one.
  malloc_trim(0);
}

void WxProcess::EndProgram() {
  if (release_)
    release_();
  ui_.RemoveTrayIcon();
  // Only our own streams: flushing every stream would wait for the lock of the
  // speech connection, which its reader thread holds while it waits for input.
  std::fflush(stdout);
  std::fflush(stderr);
  // The core's files are written whole when they change, so nothing is lost
  // by leaving without unwinding the event loop.
  std::exit(0);
}

void WxMainThread::Post(std::function<void()> work) {
  wxTheApp->CallAfter(std::move(work));
}

}  // namespace skyvigil

namespace skyvigil {

void WxMainThread::PostAfter(std::chrono::milliseconds delay, std::function<void()> work) {
  auto* timer = new OneShot(std::move(work));
  timer->StartOnce(static_cast<int>(delay.count()));
}

}  // namespace skyvigil
