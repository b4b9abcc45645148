// Forecast, search results and history windows: controls, accelerators and
// buttons routed into the core.
#include "platform/win32/secondary_window_win32.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "app/commands.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win_keys.h"

namespace skyvigil {

namespace {

constexpr wchar_t kClassName[] = L"SkyvigilSecondaryWindow";
// Title bar only: no system menu, no close box, not resizable.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

constexpr DWORD kListStyle =
    WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;

HACCEL Accelerators(const WindowSpec& spec) {
  static HACCEL made[5] = {};  // one per window kind
  HACCEL& accelerators = made[static_cast<size_t>(spec.kind)];
  if (accelerators == nullptr)
    accelerators = AcceleratorsFor(spec.command_for);
  return accelerators;
}

std::wstring Text(std::string_view text) {
  return win32::Utf8ToUtf16(std::string(text));
}

}  // namespace

SecondaryWindow::SecondaryWindow(HWND owner, CoreGate& gate, AccessibleNames& names,
                                 const WindowSpec& spec)
    : gate_(gate), names_(names), spec_(spec) {
  RegisterWindowClassOnce(kClassName);
  hwnd_ = CreateWindowExW(kExStyle, kClassName, Text(spec.title).c_str(), kStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SecondaryWindow::Procedure));
  SetWindowAccelerators(hwnd_, Accelerators(spec));
  layout_ = std::make_unique<ControlLayout>(hwnd_);
}

std::unique_ptr<SecondaryWindow> SecondaryWindow::Open(HWND owner, CoreGate& gate,
                                                       AccessibleNames& names, Kind kind,
                                                       const std::vector<std::string>& lines) {
  const WindowSpec& spec = SecondaryWindowSpec(kind);
  std::unique_ptr<SecondaryWindow> window(new SecondaryWindow(owner, gate, names, spec));
  // Places and sizes grow with the text, as far as the screen has room.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const int dpi = static_cast<int>(window->layout_->dpi());
  const RECT& room = monitor.rcWork;
  window->scale_ =
      WindowSpecScale(spec, TextPercent(), MulDiv(room.right - room.left, 96, dpi) * 9 / 10,
                      MulDiv(room.bottom - room.top, 96, dpi) * 9 / 10);
  for (const ControlSpec& control : spec.controls)
    window->AddControl(control);
  if (spec.on_list_event != nullptr) {
    window->on_list_click_ = [&gate, run = spec.on_list_event] { gate.RunUnlessBusy(run); };
    NotifyListClicks(window->list_, &window->on_list_click_);
  }
  SetListLines(window->list_, lines);
  if (!lines.empty())
    SelectListLine(window->list_, 0);
  window->Show();
  return window;
}

void SecondaryWindow::AddControl(const ControlSpec& c) {
  ControlLayout& layout = *layout_;
  switch (c.kind) {
    case ControlKind::label:
      // As wide as its text, so the list below it is named by all of it.
      layout.FitToText(layout.Add(L"STATIC", c.number, Text(c.text), SS_LEFT | SS_NOPREFIX, 0,
                                  Scaled(c.x), Scaled(c.y), Scaled(c.width), Scaled(c.height)));
      break;
    case ControlKind::list:
      list_ = layout.Add(L"LISTBOX", c.number, L"", kListStyle, WS_EX_CLIENTEDGE, Scaled(c.x),
                         Scaled(c.y), Scaled(c.width), Scaled(c.height));
      names_.Set(list_, Text(c.name));
      break;
    case ControlKind::read_only_box:
      detail_box_ =
          layout.Add(L"EDIT", c.number, L"",
                     WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                     WS_EX_CLIENTEDGE, Scaled(c.x), Scaled(c.y), Scaled(c.width), Scaled(c.height));
      KeepDialogKeys(detail_box_);
      names_.Set(detail_box_, Text(c.name));
      break;
    case ControlKind::button:
      layout.FitToText(layout.Add(L"BUTTON", c.number, Text(c.text), kButtonStyle, 0, Scaled(c.x),
                                  Scaled(c.y), Scaled(c.width), Scaled(c.height)));
      break;
  }
}

void SecondaryWindow::Show() {
  // The WindowSpec's inner size at 96 DPI, wider when the buttons reach past it.
  const int width = std::max(Scaled(spec_.width), layout_->RightEdge());
  const SIZE outer =
      OuterSize(kStyle, kExStyle, false, width, Scaled(spec_.height), layout_->dpi());
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(list_);
  UpdateWindow(hwnd_);  // shown, empty, while the forecast loads
}

SecondaryWindow::~SecondaryWindow() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  names_.Clear(list_);
  names_.Clear(detail_box_);
  // The main window first, so the screen reader speaks its list at once
  // (its WM_ACTIVATE puts the focus back)...
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (GetActiveWindow() == hwnd_ && owner != nullptr && IsWindowVisible(owner))
    SetActiveWindow(owner);
  // ...then this window goes in one step: hidden, and its list emptied at once
  // with drawing off, rather than one event per line as a long list is torn
  // down, which keeps a screen reader busy for seconds.
  ShowWindow(hwnd_, SW_HIDE);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK SecondaryWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<SecondaryWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Handle(message, wparam, lparam);
}

// Every handler below may destroy this object (window 1 closes), so nothing
// touches a member after gate_.Run returns.
LRESULT SecondaryWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int number = LOWORD(wparam);
      const int code = HIWORD(wparam);
      const HWND from = reinterpret_cast<HWND>(lparam);
      if (from == nullptr && code == 1) {  // an accelerator
        gate_.Run([number](App& app) { RunCommand(app, number); });
      } else if (from == list_ && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
        if (on_list_click_)
          on_list_click_();
      } else if (from != nullptr && code == BN_CLICKED && number != kForecastList &&
                 number != kResultsList && number != kHistoryList && number != kListList) {
        gate_.Run([number](App& app) { OnControl(app, number); });
      }
      return 0;
    }
    case WM_CLOSE:
      // Alt+F4 closes window 1 only; the core destroys it through the UI port.
      gate_.Run([](App& app) { OnSecondaryWindowClose(app); });
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        last_focus_ = focus != nullptr && IsChild(hwnd_, focus) ? focus : nullptr;
      } else {
        SetFocus(last_focus_ != nullptr ? last_focus_ : list_);
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
