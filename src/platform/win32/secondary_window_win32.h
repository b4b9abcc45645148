// Window 1: the forecast, search results or history window. Each has a title
// bar only, belongs to the main window and leaves it usable.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core_gate.h"
#include "app/window_specs.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

class SecondaryWindow {
 public:
  using Kind = SecondaryWindowKind;

  // The window `spec` describes, its list holding `lines` (UTF-8) with line
  // 0 selected, and the list focused.
  static std::unique_ptr<SecondaryWindow> Open(HWND owner, CoreGate& gate, AccessibleNames& names,
                                               Kind kind, const std::vector<std::string>& lines);
  // Destroys the window; safe from inside one of its own handlers.
  ~SecondaryWindow();
  SecondaryWindow(const SecondaryWindow&) = delete;
  SecondaryWindow& operator=(const SecondaryWindow&) = delete;

  Kind kind() const { return spec_.kind; }
  HWND hwnd() const { return hwnd_; }
  HWND list() const { return list_; }
  HWND detail_box() const { return detail_box_; }  // null in the results window
  // The font of the text size now chosen.
  void ApplyTextSize() { layout_->Rescale(layout_->dpi()); }

 private:
  SecondaryWindow(HWND owner, CoreGate& gate, AccessibleNames& names, const WindowSpec& spec);
  void AddControl(const ControlSpec& control);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Show();
  int Scaled(int length) const { return static_cast<int>(length * scale_ + 0.5); }

  CoreGate& gate_;
  AccessibleNames& names_;
  const WindowSpec& spec_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ControlLayout> layout_;
  double scale_ = 1.0;  // of the WindowSpec's places, with the text size
  HWND list_ = nullptr;
  HWND detail_box_ = nullptr;
  HWND last_focus_ = nullptr;
  std::function<void()> on_list_click_;
};

}  // namespace skyvigil
