// The update download's window: a label, the progress bar it names and a
// Cancel button, beside window 1. Escape, Cancel and the close box hand the
// cancel to the core, which closes the window through the UI port.
#pragma once

#include <windows.h>

#include <memory>

#include "app/core_gate.h"
#include "platform/win32/accessible_names.h"
#include "platform/win32/win_controls.h"

namespace skyvigil {

class DownloadWindow {
 public:
  // Shown with the Cancel button focused.
  static std::unique_ptr<DownloadWindow> Open(HWND owner, CoreGate& gate, AccessibleNames& names);
  // Destroys the window; safe from inside one of its own handlers.
  ~DownloadWindow();
  DownloadWindow(const DownloadWindow&) = delete;
  DownloadWindow& operator=(const DownloadWindow&) = delete;

  // 0 to 100; -1: the bar moves on its own until a percentage comes.
  void SetPercent(int percent);
  void ApplyTextSize() { layout_->Rescale(layout_->dpi()); }

 private:
  DownloadWindow(HWND owner, CoreGate& gate, AccessibleNames& names);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Cancel();

  CoreGate& gate_;
  AccessibleNames& names_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ControlLayout> layout_;
  HWND bar_ = nullptr;
  HWND cancel_ = nullptr;
  bool marquee_ = false;
};

}  // namespace skyvigil
