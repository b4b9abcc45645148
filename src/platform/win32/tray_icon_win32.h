// The notification-area icon of the main window: the program's icon with a
// tooltip, its clicks sent to the window as kTrayMessage, no menu of its own.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace skyvigil {

class TrayIcon {
 public:
  static constexpr UINT kTrayMessage = WM_APP + 2;

  TrayIcon(HWND window, HICON icon);

  // Adds the icon with its current tooltip; again after the shell restarts.
  void Add();
  void SetTooltip(const std::wstring& text);
  void Remove();

  // Whether a kTrayMessage `lparam` is one of the clicks the core hears of.
  bool IsClick(LPARAM lparam);

 private:
  NOTIFYICONDATAW Data(UINT flags) const;

  HWND window_;
  HICON icon_;
  std::wstring tooltip_ = L"Skyvigil";
  bool removed_ = false;
  DWORD last_key_select_ = 0;
};

}  // namespace skyvigil
