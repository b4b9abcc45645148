// Window 1: the forecast, search results, history or a list window. Each has a title
// bar only, belongs to the main window and leaves it usable.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core_gate.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

class SecondaryWindow {
 public:
  enum class Kind { forecast, results, history, list };

  // "Forecast": label 100, list 101, read-only box 103, buttons 104 and 102.
  static std::unique_ptr<SecondaryWindow> OpenForecast(HWND owner, CoreGate& gate,
                                                       AccessibleNames& names);
  // "Results": label 200, list 201 of `entries` (UTF-8) with entry 0 selected
  // and focused, buttons 202 and 203.
  static std::unique_ptr<SecondaryWindow> OpenResults(HWND owner, CoreGate& gate,
                                                      AccessibleNames& names,
                                                      const std::vector<std::string>& entries);
  // "History": label 300, list 301 of `lines` (UTF-8) with line 0 selected
  // and focused.
  static std::unique_ptr<SecondaryWindow> OpenHistory(HWND owner, CoreGate& gate,
                                                      AccessibleNames& names,
                                                      const std::vector<std::string>& lines);
  // A list window of the core's: `title`, label 400 and list 401 named
  // `list_name` holding `lines` (UTF-8), line 0 selected and focused, buttons
  // 402 "Copy all" and 403 "Close".
  static std::unique_ptr<SecondaryWindow> OpenList(HWND owner, CoreGate& gate,
                                                   AccessibleNames& names, const std::string& title,
                                                   const std::string& list_name,
                                                   const std::vector<std::string>& lines);
  // Destroys the window; safe from inside one of its own handlers.
  ~SecondaryWindow();
  SecondaryWindow(const SecondaryWindow&) = delete;
  SecondaryWindow& operator=(const SecondaryWindow&) = delete;

  Kind kind() const { return kind_; }
  HWND hwnd() const { return hwnd_; }
  HWND list() const { return list_; }
  HWND detail_box() const { return detail_box_; }  // null in the results window
  // The font of the text size now chosen.
  void ApplyTextSize() { layout_->Rescale(layout_->dpi()); }

 private:
  SecondaryWindow(HWND owner, CoreGate& gate, AccessibleNames& names, Kind kind,
                  const std::wstring& title);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Show();

  CoreGate& gate_;
  AccessibleNames& names_;
  Kind kind_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ControlLayout> layout_;
  HWND list_ = nullptr;
  HWND detail_box_ = nullptr;
  HWND last_focus_ = nullptr;
  std::function<void()> on_list_click_;
};

}  // namespace skyvigil
