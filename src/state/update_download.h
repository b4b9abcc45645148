// One update download as both its threads see it: the thread that performs
// it records its progress and asks whether to go on; the main thread shows
// the progress and records the user's cancel.
#pragma once

#include <cstdint>
#include <mutex>

namespace skyvigil {

struct UpdateDownload {
  std::mutex mutex;  // guards everything below
  uint64_t received = 0;
  uint64_t total = 0;       // 0 while the length is unknown
  bool cancelled = false;   // by the user, before it ended
  bool ended = false;       // completed or failed; a cancel comes too late
  bool update_due = false;  // a progress update waits on the main thread, or its pause runs
  int shown_percent = -2;   // what the window shows; -2 before the first update
};

}  // namespace skyvigil
