// The notification-area icon of the main window: the program's icon with a
// tooltip, its clicks sent to the window as kTrayMessage, no menu of its own.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/desktop/tray_rules.h"

namespace skyvigil {

class TrayIcon {
 public:
  static constexpr UINT kTrayMessage = WM_APP + 2;
  // The window's timer that tries a refused icon again; its WM_TIMER calls Add.
  static constexpr UINT_PTR kRetryTimer = 2;

  TrayIcon(HWND window, HICON icon);

  // Adds the icon with its current tooltip; again after the shell restarts.
  // A refusal is tried again later, on kRetryTimer, until the shell takes it.
  void Add();
  void SetTooltip(const std::wstring& text);
  void Remove();

  // Whether a kTrayMessage `lparam` is one of the clicks the core hears of:
  // one per click, double-click or key selection.
  bool IsClick(LPARAM lparam);

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND window_;
  HICON icon_;
  std::wstring tooltip_ = L"Skyvigil";
  bool removed_ = false;
  int failures_ = 0;  // refused adds in a row
  TrayClicks clicks_{GetDoubleClickTime()};
};

}  // namespace skyvigil
