// Forecast, search results, history and list windows: controls, accelerators and
// buttons routed into the core.
#include "platform/win32/secondary_window_win32.h"

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

void RegisterClassOnce() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &wc))
    return;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

HACCEL Accelerators(SecondaryWindow::Kind kind) {
  static HACCEL forecast = AcceleratorsFor(&ForecastWindowCommandFor);
  static HACCEL results = AcceleratorsFor(&ResultsWindowCommandFor);
  static HACCEL history = AcceleratorsFor(&HistoryWindowCommandFor);
  static HACCEL list = AcceleratorsFor(&ListWindowCommandFor);
  switch (kind) {
    case SecondaryWindow::Kind::list:
      return list;
    case SecondaryWindow::Kind::forecast:
      return forecast;
    case SecondaryWindow::Kind::results:
      return results;
    case SecondaryWindow::Kind::history:
      break;
  }
  return history;
}

}  // namespace

SecondaryWindow::SecondaryWindow(HWND owner, CoreGate& gate, AccessibleNames& names, Kind kind,
                                 const std::wstring& title)
    : gate_(gate), names_(names), kind_(kind) {
  RegisterClassOnce();
  hwnd_ = CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                          nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SecondaryWindow::Procedure));
  SetWindowAccelerators(hwnd_, Accelerators(kind));
  layout_ = std::make_unique<ControlLayout>(hwnd_);
}

std::unique_ptr<SecondaryWindow> SecondaryWindow::OpenForecast(HWND owner, CoreGate& gate,
                                                               AccessibleNames& names) {
  std::unique_ptr<SecondaryWindow> window(
      new SecondaryWindow(owner, gate, names, Kind::forecast, L"Forecast"));
  ControlLayout& layout = *window->layout_;
  // The label is as wide as its text, so the list starts below it.
  layout.FitToText(
      layout.Add(L"STATIC", kForecastLabel, L"Forecast", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 20, 20));
  window->list_ =
      layout.Add(L"LISTBOX", kForecastList, L"", kListStyle, WS_EX_CLIENTEDGE, 20, 20, 400, 580);
  window->detail_box_ =
      layout.Add(L"EDIT", kForecastBox, L"",
                 WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                 WS_EX_CLIENTEDGE, 600, 0, 100, 200);
  KeepDialogKeys(window->detail_box_);
  layout.FitToText(
      layout.Add(L"BUTTON", kForecastCopy, L"Copy forecast", kButtonStyle, 0, 800, 0, 40, 40));
  layout.FitToText(
      layout.Add(L"BUTTON", kForecastClose, L"Close", kButtonStyle, 0, 800, 60, 40, 40));

  names.Set(window->list_, L"Forecast");
  names.Set(window->detail_box_, L"Details");
  window->on_list_click_ = [&gate] {
    gate.RunUnlessBusy([](App& app) { OnForecastListEvent(app); });
  };
  NotifyListClicks(window->list_, &window->on_list_click_);
  window->Show();
  return window;
}

std::unique_ptr<SecondaryWindow> SecondaryWindow::OpenResults(
    HWND owner, CoreGate& gate, AccessibleNames& names, const std::vector<std::string>& entries) {
  std::unique_ptr<SecondaryWindow> window(
      new SecondaryWindow(owner, gate, names, Kind::results, L"Results"));
  ControlLayout& layout = *window->layout_;
  layout.FitToText(
      layout.Add(L"STATIC", kResultsLabel, L"Results", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 20, 20));
  window->list_ =
      layout.Add(L"LISTBOX", kResultsList, L"", kListStyle, WS_EX_CLIENTEDGE, 20, 20, 400, 580);
  layout.FitToText(layout.Add(L"BUTTON", kResultsAdd, L"Add", kButtonStyle, 0, 600, 0, 50, 50));
  layout.FitToText(
      layout.Add(L"BUTTON", kResultsCancel, L"Cancel", kButtonStyle, 0, 600, 80, 50, 50));
  names.Set(window->list_, L"Results");
  SetListLines(window->list_, entries);
  SelectListLine(window->list_, 0);
  window->Show();
  return window;
}

std::unique_ptr<SecondaryWindow> SecondaryWindow::OpenHistory(
    HWND owner, CoreGate& gate, AccessibleNames& names, const std::vector<std::string>& lines) {
  std::unique_ptr<SecondaryWindow> window(
      new SecondaryWindow(owner, gate, names, Kind::history, L"History"));
  ControlLayout& layout = *window->layout_;
  layout.FitToText(layout.Add(L"STATIC", kHistoryLabel, L"Announcements", SS_LEFT | SS_NOPREFIX, 0,
                              0, 0, 20, 20));
  window->list_ =
      layout.Add(L"LISTBOX", kHistoryList, L"", kListStyle, WS_EX_CLIENTEDGE, 20, 20, 760, 580);
  names.Set(window->list_, L"Announcements");
  SetListLines(window->list_, lines);
  SelectListLine(window->list_, 0);
  window->Show();
  return window;
}

std::unique_ptr<SecondaryWindow> SecondaryWindow::OpenList(HWND owner, CoreGate& gate,
                                                           AccessibleNames& names,
                                                           const std::string& title,
                                                           const std::string& list_name,
                                                           const std::vector<std::string>& lines) {
  std::unique_ptr<SecondaryWindow> window(
      new SecondaryWindow(owner, gate, names, Kind::list, win32::Utf8ToUtf16(title)));
  ControlLayout& layout = *window->layout_;
  const std::wstring name = win32::Utf8ToUtf16(list_name);
  layout.FitToText(
      layout.Add(L"STATIC", kListLabel, name.c_str(), SS_LEFT | SS_NOPREFIX, 0, 0, 0, 20, 20));
  window->list_ =
      layout.Add(L"LISTBOX", kListList, L"", kListStyle, WS_EX_CLIENTEDGE, 20, 20, 600, 580);
  layout.FitToText(layout.Add(L"BUTTON", kListCopy, L"Copy all", kButtonStyle, 0, 640, 0, 40, 40));
  layout.FitToText(layout.Add(L"BUTTON", kListClose, L"Close", kButtonStyle, 0, 640, 60, 40, 40));
  names.Set(window->list_, name);
  SetListLines(window->list_, lines);
  SelectListLine(window->list_, 0);
  window->Show();
  return window;
}

void SecondaryWindow::Show() {
  // Inner size 800 by 600 at 96 DPI, wider when the buttons reach past it.
  const int width = std::max(800, layout_->RightEdge());
  const SIZE outer = OuterSize(kStyle, kExStyle, false, width, 600, layout_->dpi());
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
