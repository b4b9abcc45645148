// Shell_NotifyIconW with version 4 callbacks.
#include "platform/win32/desktop/tray_icon_win32.h"

namespace skyvigil {

TrayIcon::TrayIcon(HWND window, HICON icon) : window_(window), icon_(icon) {}

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = 0;
  data.uFlags = flags;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = icon_;
  // The core cuts the text to 63 characters; the field holds 127 UTF-16 units.
  lstrcpynW(data.szTip, tooltip_.c_str(), ARRAYSIZE(data.szTip));
  return data;
}

void TrayIcon::Add() {
  KillTimer(window_, kRetryTimer);
  if (removed_)
    return;
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  // At sign-in a busy shell often refuses the icon, or times out after taking
  // it; a modify tells the second case from the first.
  if (!Shell_NotifyIconW(NIM_ADD, &data) && !Shell_NotifyIconW(NIM_MODIFY, &data)) {
    ++failures_;
    SetTimer(window_, kRetryTimer, TrayRetryDelay(failures_), nullptr);
    return;
  }
  failures_ = 0;
  data.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void TrayIcon::SetTooltip(const std::wstring& text) {
  tooltip_ = text;
  if (removed_)
    return;
  NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Remove() {
  if (removed_)
    return;
  removed_ = true;
  KillTimer(window_, kRetryTimer);
  NOTIFYICONDATAW data = Data(0);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

bool TrayIcon::IsClick(LPARAM lparam) {
  return clicks_.Take(LOWORD(lparam), static_cast<DWORD>(GetMessageTime()));
}

}  // namespace skyvigil
