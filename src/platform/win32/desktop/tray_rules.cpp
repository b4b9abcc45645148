// Tray icon decisions without shell calls.
#include "platform/win32/desktop/tray_rules.h"

#include <shellapi.h>

#include <algorithm>

namespace skyvigil {

bool TrayClicks::Take(UINT event, DWORD time) {
  switch (event) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      double_pending_ = true;
      double_time_ = time;
      return false;
    case NIN_SELECT:
    case WM_CONTEXTMENU: {
      const bool ends_double = double_pending_ && Within(double_time_, time);
      double_pending_ = false;
      return !ends_double;
    }
    case NIN_KEYSELECT: {
      const bool repeat = key_seen_ && Within(last_key_, time);
      key_seen_ = true;
      last_key_ = time;
      return !repeat;
    }
    default:  // the button presses and releases themselves, the pointer's moves
      return false;
  }
}

UINT TrayRetryDelay(int failures) {
  constexpr UINT kFirst = 500;
  constexpr UINT kLongest = 30000;
  const int doublings = std::clamp(failures - 1, 0, 6);
  return std::min(kFirst << doublings, kLongest);
}

}  // namespace skyvigil
