// The tray icon's decisions, kept apart from the shell calls so that a table
// can test them: which callbacks toggle the window, and when a failed add is
// tried again.
#pragma once

#include <windows.h>

namespace skyvigil {

// Sorts the icon's callbacks (NOTIFYICON_VERSION_4: the event in the low word
// of lParam) into the user's activations. The shell sends NIN_SELECT after
// every left button release and WM_CONTEXTMENU after every right one, so a
// double-click brings button-up, select, double-click, button-up, select: the
// select that ends a double-click belongs to the first and is dropped. Enter
// on the icon sends NIN_KEYSELECT twice on some shells.
class TrayClicks {
 public:
  explicit TrayClicks(DWORD double_click_ms) : double_click_ms_(double_click_ms) {}

  // Whether `event`, received at `time` (GetMessageTime), toggles the window.
  bool Take(UINT event, DWORD time);

 private:
  bool Within(DWORD since, DWORD time) const { return time - since < double_click_ms_; }

  DWORD double_click_ms_;
  bool double_pending_ = false;  // a double-click came; its select is still due
  DWORD double_time_ = 0;
  bool key_seen_ = false;
  DWORD last_key_ = 0;
};

// Milliseconds before the next NIM_ADD after `failures` failed ones in a row
// (1 or more): from half a second, doubling, at most 30 s.
UINT TrayRetryDelay(int failures);

}  // namespace skyvigil
