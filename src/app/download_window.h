// The update download's window: opened when the download has taken longer
// than kDownloadWindowDelay, showing its progress at most every
// kDownloadProgressPause, closed when the download ends. Escape in it cancels
// the download. The thread that downloads only records its progress and
// posts; the main thread keeps what the window shows in the state
// (download_window), which Render draws.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "state/app_state.h"

namespace skyvigil {

constexpr std::chrono::milliseconds kDownloadWindowDelay{2000};
constexpr std::chrono::milliseconds kDownloadProgressPause{250};
inline constexpr char kDownloadCancelledText[] = "Update download cancelled.";

// Hands core work to the main thread, where it runs between handlers.
using PostWork = std::function<void(CoreWork)>;

// The bar's position: 0 to 100, or -1 while the length is unknown.
int DownloadPercent(uint64_t received, uint64_t total);

// On the downloading thread: records how far it came and posts an update of
// the window unless one is due already. False once the user cancelled.
bool ReportDownloadProgress(const std::shared_ptr<UpdateDownload>& download, uint64_t received,
                            uint64_t total, const PostWork& post);
// On the downloading thread, when the transfers are over: true when the user
// cancelled first. A cancel after this is too late and changes nothing.
bool EndDownload(UpdateDownload& download);
bool DownloadCancelled(UpdateDownload& download);

// On the main thread: the download began; its window opens after the delay
// unless it has ended by then.
void WatchUpdateDownload(App& app, std::shared_ptr<UpdateDownload> download);
// On the main thread: shows the progress recorded last.
void ShowDownloadProgress(App& app, const std::shared_ptr<UpdateDownload>& download);
// On the main thread: the download ended; its window closes.
void ForgetUpdateDownload(App& app, const std::shared_ptr<UpdateDownload>& download);
// Escape, Cancel or the close box of the download's window: the window
// closes, the download is cancelled unless it has ended.
void CancelDownload(App& app);

}  // namespace skyvigil
