// Shell_NotifyIconW with version 4 callbacks.
#include "platform/win32/tray_icon_win32.h"

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
  if (removed_)
    return;
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  Shell_NotifyIconW(NIM_ADD, &data);
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
  NOTIFYICONDATAW data = Data(0);
  Shell_NotifyIconW(NIM_DELETE, &data);
}

bool TrayIcon::IsClick(LPARAM lparam) {
  switch (LOWORD(lparam)) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return true;
    case NIN_KEYSELECT: {
      // Enter on the icon arrives twice in a row on some shells; one key press
      // must toggle the window once.
      const DWORD now = GetMessageTime();
      const bool repeat = now - last_key_select_ < GetDoubleClickTime();
      last_key_select_ = now;
      return !repeat;
    }
    default:
      return false;
  }
}

}  // namespace skyvigil
