// Process services and the main-thread queue over wx.
#include "platform/wx/wx_process.h"

#include <malloc.h>

#include <cstdlib>

#include <string>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/utils.h>

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

void WxProcess::StartUpdater(const std::filesystem::path& /*program*/) {
  // Linux never hands over to an updater (the update check only tells about a
  // new version here): whatever program of that name lies about is not run.
}

void WxProcess::ReleaseFreedMemory() {
  // glibc keeps freed blocks for later allocations; the answers of a refresh
  // would otherwise stay in the program's memory until the next one.
  malloc_trim(0);
}

void WxProcess::QuitEventLoop(int exit_code) {
  // The loop ends once the running handler returns; wx then closes the
  // windows and main returns the code.
  if (wxEventLoopBase* loop = wxTheApp->GetMainLoop(); loop != nullptr && loop->IsRunning())
    loop->ScheduleExit(exit_code);
}

void WxProcess::EndAtOnce(int exit_code) {
  std::_Exit(exit_code);
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
