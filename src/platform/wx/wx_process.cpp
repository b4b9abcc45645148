// Process services and the main-thread queue over wx.
#include "platform/wx/wx_process.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "platform/wx/wx_ui.h"

namespace skyvigil {

void WxProcess::StartUpdater(const std::filesystem::path& /*program*/) {
  // Linux never hands over to an updater (the update check only tells about a
  // new version here): whatever program of that name lies about is not run.
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
