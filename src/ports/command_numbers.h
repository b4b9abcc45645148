// The numbers of the commands, shared by the core and the desktops like the
// control numbers of ports/screen.h: a menu item, its key and a button that
// runs the same command carry one number.
#pragma once

namespace skyvigil {

// Command numbers: menu items, their shortcuts and the buttons that run them
// share them.
enum Command : int {
  kAddCity = 4,
  kHideWindow = 5,
  kToggleMonitor = 6,
  kExit = 7,
  kRemoveCity = 8,
  kToggleUnit = 9,
  kSetTempDiff = 10,
  kViewForecast = 11,
  kToggleAlerts = 12,
  kCopy = 13,
  kSearchCity = 14,
  kCheckForUpdates = 15,
  kToggleMonitorSounds = 16,
  kStartAtLogin = 18,
  kAnnouncementHistory = 19,
  kAlertsOnce = 20,
  kServiceKey = 21,
  kLargerText = 22,
  kSmallerText = 23,
  kViewNextHours = 24,
  kRainAhead = 25,
  kDailyBriefing = 26,
  kOpenAlert = 27,
  kSpeakSummary = 28,
  kQuietHours = 29,
  kSpeakSummaryAnywhere = 30,
  kCopyForecast = 31,    // the forecast window's "Copy forecast"
  kCopyAll = 32,         // a list window's "Copy all"
  kCancelDownload = 33,  // the download window's Escape and Cancel
  kKeyboardShortcuts = 34,
  kAbout = 35,
  kCloseSecondaryWindow = 100,
  kAddSearchResult = 200,
};

}  // namespace skyvigil
