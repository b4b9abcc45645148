// Window 0: the city list, the report with its heading and detail box, the
// menu bar, accelerators, the refresh timer, the tray icon and the system-wide keys.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/core_gate.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/tray_icon_win32.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

// The program's icon in its resources.
constexpr int kIconResource = 1;

class MainWindow {
 public:
  // Built hidden; `small_icon` is the title bar's and the tray's picture.
  MainWindow(CoreGate& gate, AccessibleNames& names, const std::string& title, HICON small_icon);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // One-shot: the core's briefing check runs after `seconds`.
  void StartBriefingTimer(int seconds);
  HWND city_list() const { return city_list_; }
  HWND report_list() const { return report_list_; }
  HWND detail_box() const { return detail_box_; }
  TrayIcon& tray() { return *tray_; }

  // Shown in front with the city list focused, once the lists are filled:
  // the screen reader then reads the selected city with the window and list.
  void ShowAtStart();
  void SetHeading(const std::wstring& text);
  // Places the controls again for the client size, font and lines.
  void LayOut();
  // Every window's text at `percent` of the system's size; this one laid out again.
  void SetTextPercent(int percent);
  // The next activation focuses the city list rather than the last control.
  void ForgetFocus() { last_focus_ = nullptr; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void BuildControls();
  void BuildMenus();
  void OnCommand(WPARAM wparam, LPARAM lparam);

  CoreGate& gate_;
  AccessibleNames& names_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ControlLayout> layout_;
  HWND areas_label_ = nullptr;
  HWND city_list_ = nullptr;
  HWND heading_ = nullptr;
  HWND report_list_ = nullptr;
  HWND detail_box_ = nullptr;
  HWND last_focus_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  UINT taskbar_created_ = 0;
  std::function<void()> on_city_click_;
  std::function<void()> on_report_click_;
};

}  // namespace skyvigil
