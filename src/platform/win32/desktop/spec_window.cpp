// Windows from their specs; list selections, buttons and close requests
// routed into the core.
#include "platform/win32/desktop/spec_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "app/commands.h"
#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

constexpr wchar_t kClassName[] = L"SkyvigilWindow";
constexpr DWORD kListStyle =
    WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
constexpr DWORD kBoxStyle = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;

std::wstring Text(std::string_view text) {
  return win32::Utf8ToUtf16(std::string(text));
}

}  // namespace

DWORD WindowStyle(const WindowSpec& spec) {
  if (spec.has_menu)
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  return WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | (spec.has_close_box ? WS_SYSMENU : 0);
}

SpecWindow::SpecWindow(const WindowSpec& spec, const std::wstring& title, HWND owner,
                       CoreGate& gate, AccessibleNames& names, HICON icon, HICON small_icon)
    : spec_(spec), gate_(gate), names_(names) {
  RegisterWindowClassOnce(kClassName, icon, small_icon);
  hwnd_ = CreateWindowExW(kWindowExStyle, kClassName, title.c_str(), WindowStyle(spec),
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SpecWindow::Procedure));
  layout_ = std::make_unique<ControlLayout>(hwnd_);
  if (!spec.laid_out_by_rule) {
    // Places and sizes grow with the text, as far as the screen has room.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int dpi = static_cast<int>(layout_->dpi());
    const RECT& room = monitor.rcWork;
    scale_ = WindowSpecScale(spec, TextPercent(), MulDiv(room.right - room.left, 96, dpi),
                             MulDiv(room.bottom - room.top, 96, dpi));
  }
  AddControls();
}

std::unique_ptr<SpecWindow> SpecWindow::Open(WindowKind kind, HWND owner, CoreGate& gate,
                                             AccessibleNames& names) {
  const WindowSpec& spec = SpecOf(kind);
  auto window = std::make_unique<SpecWindow>(spec, Text(spec.title), owner, gate, names);
  // The spec's inner size, wider when a button grown to its text reaches past it.
  const int width = std::max(window->Scaled(spec.width), window->layout_->RightEdge());
  const SIZE outer = OuterSize(WindowStyle(spec), kWindowExStyle, false, width,
                               window->Scaled(spec.height), window->layout_->dpi());
  HWND hwnd = window->hwnd_;
  SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);  // shown, empty, while its lines load
  return window;
}

void SpecWindow::AddControls() {
  ControlLayout& layout = *layout_;
  const bool fit = !spec_.laid_out_by_rule;
  for (const ControlSpec& c : spec_.controls) {
    const int x = Scaled(c.x), y = Scaled(c.y), width = Scaled(c.width), height = Scaled(c.height);
    HWND control = nullptr;
    switch (c.kind) {
      case ControlKind::label:
        // As wide as its text, so the control below it is named by all of it.
        control = layout.Add(L"STATIC", c.number, Text(c.text), SS_LEFT | SS_NOPREFIX, 0, x, y,
                             width, height);
        break;
      case ControlKind::list:
        control = layout.Add(L"LISTBOX", c.number, L"", kListStyle, WS_EX_CLIENTEDGE, x, y, width,
                             height);
        NotifyListClicks(control);
        break;
      case ControlKind::read_only_box:
        control =
            layout.Add(L"EDIT", c.number, L"", kBoxStyle, WS_EX_CLIENTEDGE, x, y, width, height);
        KeepDialogKeys(control);
        break;
      case ControlKind::button:
        control = layout.Add(L"BUTTON", c.number, Text(c.text), WS_TABSTOP | BS_PUSHBUTTON, 0, x, y,
                             width, height);
        break;
      case ControlKind::progress_bar:
        control = layout.Add(PROGRESS_CLASSW, c.number, L"", 0, 0, x, y, width, height);
        SendMessageW(control, PBM_SETRANGE32, 0, 100);
        break;
    }
    if (!c.name.empty())
      names_.Set(control, Text(c.name));
    if (fit && (c.kind == ControlKind::label || c.kind == ControlKind::button))
      layout.FitToText(control);
  }
}

SpecWindow::~SpecWindow() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  for (const ControlSpec& c : spec_.controls) {
    if (!c.name.empty())
      names_.Clear(control(c.number));
  }
  // The owner first, so the screen reader speaks its focused control at once
  // (its WM_ACTIVATE puts the focus back)...
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (GetActiveWindow() == hwnd_ && owner != nullptr && IsWindowVisible(owner))
    SetActiveWindow(owner);
  // ...then this window goes in one step: hidden, and its lists emptied at
  // once with drawing off, rather than one event per line as a long list is
  // torn down, which keeps a screen reader busy for seconds.
  ShowWindow(hwnd_, SW_HIDE);
  for (const ControlSpec& c : spec_.controls) {
    if (c.kind == ControlKind::list) {
      SendMessageW(control(c.number), WM_SETREDRAW, FALSE, 0);
      SendMessageW(control(c.number), LB_RESETCONTENT, 0, 0);
    }
  }
  DestroyWindow(hwnd_);
}

void SpecWindow::SetProgress(int percent) {
  for (const ControlSpec& c : spec_.controls) {
    if (c.kind != ControlKind::progress_bar)
      continue;
    HWND bar = control(c.number);
    const bool marquee = percent < 0;
    if (marquee != marquee_) {
      // The marquee style must be set before the bar is told to move.
      const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
      SetWindowLongPtrW(bar, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
      SendMessageW(bar, PBM_SETMARQUEE, marquee ? TRUE : FALSE, 0);
      marquee_ = marquee;
    }
    if (!marquee)
      SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  }
}

HWND SpecWindow::FirstControl() const {
  for (ControlKind kind : {ControlKind::list, ControlKind::button}) {
    for (const ControlSpec& c : spec_.controls) {
      if (c.kind == kind)
        return control(c.number);
    }
  }
  return hwnd_;
}

LRESULT CALLBACK SpecWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<SpecWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Handle(message, wparam, lparam);
}

// A handler the gate runs may close this window (the core's change destroys
// it), so nothing touches a member after gate_.Run.
void SpecWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  const int number = LOWORD(wparam);
  const int code = HIWORD(wparam);
  HWND from = reinterpret_cast<HWND>(lparam);
  if (from == nullptr) {  // a menu item
    gate_.Run([number](App& app) { RunCommand(app, number); });
    return;
  }
  for (const ControlSpec& c : spec_.controls) {
    if (c.number != number)
      continue;
    if (c.kind == ControlKind::list && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
      const int index = ListSelection(from);
      gate_.Run([number, index](App& app) { OnSelect(app, number, index); });
    } else if (c.kind == ControlKind::button && code == BN_CLICKED) {
      gate_.Run([command = c.command](App& app) { RunCommand(app, command); });
    }
    return;
  }
}

LRESULT SpecWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_CLOSE:
      // The close box or Alt+F4: the core decides what closes.
      gate_.Run([kind = spec_.kind](App& app) { OnWindowClose(app, kind); });
      return 0;
    case WM_ACTIVATE:
      // Like a dialog: the focus leaves with the window and comes back with it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus))
          last_focus_ = focus;
      } else if (HIWORD(wparam) == 0) {  // not while minimised
        SetFocus(last_focus_ != nullptr ? last_focus_ : FirstControl());
      }
      return 0;
    case WM_DPICHANGED:
      layout_->OnDpiChanged(wparam, lparam);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace skyvigil
