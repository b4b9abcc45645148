// The main window: built from its spec and laid out by the core's rule, with
// the menu bar, the tray icon, the system-wide keys and the main thread's
// posted work and timers.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/desktop/spec_window.h"
#include "platform/win32/desktop/tray_icon_win32.h"

namespace skyvigil {

// The program's icon in its resources.
constexpr int kIconResource = 1;

class MainWindow : public SpecWindow {
 public:
  // Built hidden; `small_icon` is the title bar's and the tray's picture.
  MainWindow(CoreGate& gate, AccessibleNames& names, const std::wstring& title, HICON small_icon);

  TrayIcon& tray() { return *tray_; }
  // Places the controls again for the client size, font and lines.
  void LayOut();
  void ApplyTextSize() override;

 private:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void BuildMenus();

  std::unique_ptr<TrayIcon> tray_;
  UINT taskbar_created_ = 0;
};

}  // namespace skyvigil
