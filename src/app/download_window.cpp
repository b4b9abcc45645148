// The download's window: opened late, updated sparingly, closed at the end.
#include "app/download_window.h"

#include <algorithm>
#include <utility>

namespace skyvigil {

namespace {

bool IsCurrent(const App& app, const std::shared_ptr<UpdateDownload>& download) {
  return app.state.update_download == download;
}

void OpenIfStillRunning(App& app, const std::shared_ptr<UpdateDownload>& download) {
  if (!IsCurrent(app, download) || app.state.download_window)
    return;
  int percent = 0;
  {
    std::lock_guard lock(download->mutex);
    if (download->ended || download->cancelled)
      return;
    percent = DownloadPercent(download->received, download->total);
    download->shown_percent = percent;
  }
  app.state.download_window = percent;
  app.state.active = ActiveWindow::download;  // its Cancel button takes the focus
}

}  // namespace

int DownloadPercent(uint64_t received, uint64_t total) {
  if (total == 0)
    return -1;
  return static_cast<int>(std::min<uint64_t>(received, total) * 100 / total);
}

bool ReportDownloadProgress(const std::shared_ptr<UpdateDownload>& download, uint64_t received,
                            uint64_t total, const PostWork& post) {
  {
    std::lock_guard lock(download->mutex);
    download->received = received;
    download->total = total;
    if (download->cancelled)
      return false;
    // A fast download reports thousands of blocks a second: one update at a
    // time waits on the main thread, and none follows within the pause.
    if (std::exchange(download->update_due, true))
      return true;
  }
  post([download](App& app) { ShowDownloadProgress(app, download); });
  return true;
}

bool EndDownload(UpdateDownload& download) {
  std::lock_guard lock(download.mutex);
  download.ended = true;
  return download.cancelled;
}

bool DownloadCancelled(UpdateDownload& download) {
  std::lock_guard lock(download.mutex);
  return download.cancelled;
}

void WatchUpdateDownload(App& app, std::shared_ptr<UpdateDownload> download) {
  app.state.update_download = download;
  app.main_thread.PostAfter(kDownloadWindowDelay, [core = app.core, download] {
    core->PostToCore([download](App& a) { OpenIfStillRunning(a, download); });
  });
}

void ShowDownloadProgress(App& app, const std::shared_ptr<UpdateDownload>& download) {
  int percent = 0;
  bool changed = false;
  {
    std::lock_guard lock(download->mutex);
    percent = DownloadPercent(download->received, download->total);
    changed = std::exchange(download->shown_percent, percent) != percent;
  }
  if (changed && IsCurrent(app, download) && app.state.download_window)
    app.state.download_window = percent;
  // After the pause, what arrived meanwhile is shown even if no more comes.
  app.main_thread.PostAfter(kDownloadProgressPause, [core = app.core, download] {
    {
      std::lock_guard lock(download->mutex);
      if (download->ended ||
          DownloadPercent(download->received, download->total) == download->shown_percent) {
        download->update_due = false;
        return;
      }
    }
    core->PostToCore([download](App& a) { ShowDownloadProgress(a, download); });
  });
}

void ForgetUpdateDownload(App& app, const std::shared_ptr<UpdateDownload>& download) {
  if (!IsCurrent(app, download))
    return;
  app.state.download_window.reset();
  app.state.update_download.reset();
}

void CancelDownload(App& app) {
  app.state.download_window.reset();
  const std::shared_ptr<UpdateDownload>& download = app.state.update_download;
  if (download == nullptr)
    return;
  {
    std::lock_guard lock(download->mutex);
    if (download->ended || std::exchange(download->cancelled, true))
      return;
  }
  app.announcer.Speak(kDownloadCancelledText, false);
}

}  // namespace skyvigil
