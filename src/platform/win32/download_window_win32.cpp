// The download's window, built from kDownloadWindow in the core.
#include "platform/win32/download_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "app/download_window.h"
#include "app/window_specs.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win_keys.h"

namespace skyvigil {

namespace {

constexpr wchar_t kClassName[] = L"SkyvigilDownloadWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// Escape presses the Cancel button.
int EscapeCancels(const Shortcut& pressed) {
  const bool plain = !pressed.control && !pressed.shift && !pressed.alt;
  return pressed.key == Shortcut::Key::escape && plain ? kDownloadWindow.cancel.number : 0;
}

std::wstring Text(std::string_view text) {
  return win32::Utf8ToUtf16(std::string(text));
}

}  // namespace

DownloadWindow::DownloadWindow(HWND owner, CoreGate& gate, AccessibleNames& names)
    : gate_(gate), names_(names) {
  RegisterWindowClassOnce(kClassName);
  hwnd_ = CreateWindowExW(kExStyle, kClassName, Text(kDownloadWindow.title).c_str(), kStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DownloadWindow::Procedure));
  static const HACCEL accelerators = AcceleratorsFor(&EscapeCancels);
  SetWindowAccelerators(hwnd_, accelerators);
  layout_ = std::make_unique<ControlLayout>(hwnd_);
}

std::unique_ptr<DownloadWindow> DownloadWindow::Open(HWND owner, CoreGate& gate,
                                                     AccessibleNames& names) {
  std::unique_ptr<DownloadWindow> window(new DownloadWindow(owner, gate, names));
  ControlLayout& layout = *window->layout_;
  const DownloadWindowSpec& spec = kDownloadWindow;
  const ControlSpec& l = spec.label;
  layout.FitToText(layout.Add(L"STATIC", l.number, Text(l.text), SS_LEFT | SS_NOPREFIX, 0, l.x, l.y,
                              l.width, l.height));
  const ProgressBarSpec& b = spec.bar;
  window->bar_ = layout.Add(PROGRESS_CLASSW, b.number, L"", 0, 0, b.x, b.y, b.width, b.height);
  SendMessageW(window->bar_, PBM_SETRANGE32, 0, 100);
  names.Set(window->bar_, Text(b.name));
  const ControlSpec& c = spec.cancel;
  window->cancel_ = layout.Add(L"BUTTON", c.number, Text(c.text), WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                               c.x, c.y, c.width, c.height);
  layout.FitToText(window->cancel_);

  const int width = std::max(spec.width, layout.RightEdge());
  const SIZE outer = OuterSize(kStyle, kExStyle, false, width, spec.height, layout.dpi());
  SetWindowPos(window->hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window->hwnd_, SW_SHOW);
  SetForegroundWindow(window->hwnd_);
  SetFocus(window->cancel_);
  return window;
}

DownloadWindow::~DownloadWindow() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  names_.Clear(bar_);
  // The main window first, so the screen reader goes back to it at once.
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (GetActiveWindow() == hwnd_ && owner != nullptr && IsWindowVisible(owner))
    SetActiveWindow(owner);
  DestroyWindow(hwnd_);
}

void DownloadWindow::SetPercent(int percent) {
  const bool marquee = percent < 0;
  if (marquee != marquee_) {
    // The marquee style must be set before the bar is told to move.
    const LONG_PTR style = GetWindowLongPtrW(bar_, GWL_STYLE);
    SetWindowLongPtrW(bar_, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
    SendMessageW(bar_, PBM_SETMARQUEE, marquee ? TRUE : FALSE, 0);
    marquee_ = marquee;
  }
  if (!marquee)
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void DownloadWindow::Cancel() {
  gate_.Run([](App& app) { OnDownloadWindowClose(app); });
}

LRESULT CALLBACK DownloadWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<DownloadWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Handle(message, wparam, lparam);
}

// Cancel destroys this object (the core closes the window), so nothing
// touches a member after it.
LRESULT DownloadWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // Escape's accelerator, the button, or IDCANCEL from the dialog keys.
      if (LOWORD(wparam) == kDownloadWindow.cancel.number || LOWORD(wparam) == IDCANCEL)
        Cancel();
      return 0;
    case WM_CLOSE:
      Cancel();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE)
        SetFocus(cancel_);
      return 0;
    case WM_DPICHANGED:
      layout_->OnDpiChanged(wparam, lparam);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace skyvigil
