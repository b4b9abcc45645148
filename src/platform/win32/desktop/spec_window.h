// A top-level window built from its WindowSpec: the controls with their
// numbers (as their ids), texts, accessible names and places; what the user
// does in it goes to the core gate as events.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/core_gate.h"
#include "app/window_specs.h"
#include "platform/win32/desktop/accessible_names.h"
#include "platform/win32/desktop/win_controls.h"

namespace skyvigil {

class SpecWindow {
 public:
  // Built hidden; `owner` keeps a secondary or download window above it.
  SpecWindow(const WindowSpec& spec, const std::wstring& title, HWND owner, CoreGate& gate,
             AccessibleNames& names, HICON icon = nullptr, HICON small_icon = nullptr);
  // Destroys the window; safe from inside one of its own handlers.
  virtual ~SpecWindow();
  SpecWindow(const SpecWindow&) = delete;
  SpecWindow& operator=(const SpecWindow&) = delete;

  // A secondary or download window: shown at its size, in front.
  static std::unique_ptr<SpecWindow> Open(WindowKind kind, HWND owner, CoreGate& gate,
                                          AccessibleNames& names);

  const WindowSpec& spec() const { return spec_; }
  HWND hwnd() const { return hwnd_; }
  HWND control(int number) const { return GetDlgItem(hwnd_, number); }
  // The control the window's next activation focuses.
  void RememberFocus(HWND control) { last_focus_ = control; }
  // The font of the text size now chosen.
  virtual void ApplyTextSize() { layout_->Rescale(layout_->dpi()); }
  // The progress bar's 0 to 100; -1 pulses until a percentage comes.
  void SetProgress(int percent);

 protected:
  virtual LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  ControlLayout& layout() { return *layout_; }
  CoreGate& gate() { return gate_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void AddControls();
  int Scaled(int length) const { return static_cast<int>(length * scale_ + 0.5); }
  void OnCommand(WPARAM wparam, LPARAM lparam);
  // The first list, else the first button: focused when nothing else was.
  HWND FirstControl() const;

  const WindowSpec& spec_;
  CoreGate& gate_;
  AccessibleNames& names_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ControlLayout> layout_;
  double scale_ = 1.0;  // of the spec's places, with the text size
  HWND last_focus_ = nullptr;
  bool marquee_ = false;
};

// Window styles for a spec: the main window's, or a title bar (with a close
// box when the spec has one) that is not resizable.
DWORD WindowStyle(const WindowSpec& spec);
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

}  // namespace skyvigil
