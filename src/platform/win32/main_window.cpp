// Main window construction and the routing of its messages into the core.
#include "platform/win32/main_window.h"

#include <chrono>
#include <map>
#include <utility>

#include "app/commands.h"
#include "app/window_specs.h"
#include "platform/win32/utf16.h"
#include "platform/win32/win_keys.h"
#include "platform/win32/win_process.h"
#include "platform/win32/window_placement.h"
#include "views/main_layout.h"

namespace skyvigil {

namespace {

constexpr wchar_t kClassName[] = L"SkyvigilMainWindow";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds =
    static_cast<UINT>(std::chrono::milliseconds(kRefreshInterval).count());
constexpr UINT_PTR kBriefingTimer = 3;  // 2 is the tray icon's retry
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

enum ControlNumber : int {
  kAreasLabel = 0,
  kCityList = 1,
  kHeading = 2,
  kReportList = 3,
  kDetailBox = 4,
};

}  // namespace

MainWindow::MainWindow(CoreGate& gate, AccessibleNames& names, const std::string& title,
                       HICON small_icon)
    : gate_(gate), names_(names) {
  RegisterWindowClassOnce(kClassName,
                          LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource)),
                          small_icon);
  hwnd_ = CreateWindowExW(kExStyle, kClassName, win32::Utf8ToUtf16(title).c_str(), kStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::Procedure));

  // Inner size 1600 by 1200 at 96 DPI, centred in the work area of the
  // window's monitor and never past its edges: a smaller screen gets a
  // smaller window, its title and menu bar on screen.
  const UINT dpi = GetDpiForWindow(hwnd_);
  const SIZE outer = OuterSize(kStyle, kExStyle, true, 1600, 1200, dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  const RECT place = CentreInWorkArea(outer, monitor.rcWork);
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);

  tray_ = std::make_unique<TrayIcon>(hwnd_, small_icon);
  tray_->Add();
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  BuildControls();
  BuildMenus();
  SetWindowAccelerators(hwnd_, AcceleratorsFor(&MainWindowCommandFor));
  SetTimer(hwnd_, kRefreshTimer, kRefreshMilliseconds, nullptr);
  // Another program may own a combination; the program then runs without it.
  RegisterSystemWideKeys(hwnd_);
}

void MainWindow::ShowAtStart() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(city_list_);
}

void MainWindow::BuildControls() {
  layout_ = std::make_unique<ControlLayout>(hwnd_);
  // Each label comes right before its control, which screen readers take as
  // its name when no name is set explicitly.
  const DWORD list_style =
      WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  areas_label_ =
      layout_->Add(L"STATIC", kAreasLabel, L"Areas", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 20, 20);
  city_list_ =
      layout_->Add(L"LISTBOX", kCityList, L"", list_style, WS_EX_CLIENTEDGE, 0, 20, 300, 800);
  heading_ = layout_->Add(L"STATIC", kHeading, L"Current Weather", SS_LEFT | SS_NOPREFIX, 0, 600, 0,
                          40, 20);
  report_list_ =
      layout_->Add(L"LISTBOX", kReportList, L"", list_style, WS_EX_CLIENTEDGE, 600, 20, 300, 800);
  // Places given here are replaced by LayOut once the window has its size.
  detail_box_ = layout_->Add(L"EDIT", kDetailBox, L"",
                             WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                             WS_EX_CLIENTEDGE, 900, 20, 300, 800);
  KeepDialogKeys(detail_box_);
  LayOut();

  names_.Set(city_list_, L"Areas");
  names_.Set(report_list_, L"Current Weather");
  names_.Set(detail_box_, L"Details");

  on_city_click_ = [this] { gate_.RunUnlessBusy([](App& app) { OnCityListEvent(app); }); };
  on_report_click_ = [this] { gate_.RunUnlessBusy([](App& app) { OnReportListEvent(app); }); };
  NotifyListClicks(city_list_, &on_city_click_);
  NotifyListClicks(report_list_, &on_report_click_);
}

void MainWindow::BuildMenus() {
  HMENU bar = CreateMenu();
  std::map<std::string_view, HMENU> menus;
  for (const CommandInfo& command : MainWindowCommands()) {
    HMENU& menu = menus[command.menu];
    if (menu == nullptr) {
      menu = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                  win32::Utf8ToUtf16(command.menu).c_str());
    }
    // The texts carry no tab and accelerator part: the table's keys do that job.
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command.number),
                win32::Utf8ToUtf16(command.item_text).c_str());
  }
  SetMenu(hwnd_, bar);
}

void MainWindow::SetHeading(const std::wstring& text) {
  SetWindowTextW(heading_, text.c_str());
  names_.Set(report_list_, text);
}

// The core's rule places every control from the client size, the font and
// the longest lines; it runs again whenever one of them changes.
void MainWindow::LayOut() {
  if (layout_ == nullptr)  // sized before its controls exist
    return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int line = layout_->LineHeight();
  const UINT dpi = layout_->dpi();
  const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  MainLayoutInput in;
  in.width = client.right - client.left;
  in.height = client.bottom - client.top;
  in.line_height = line;
  // Scroll bar, sunken edges and a little air past the widest line.
  in.list_frame = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + 4 * edge + line / 2;
  // The edit box's edges and its own margins.
  in.box_frame = 4 * edge + line / 2;
  in.city_text_width = WidestListLine(city_list_);
  in.report_text_width = WidestListLine(report_list_);
  const MainLayout at = LayOutMainWindow(in);
  const std::pair<HWND, Rect> places[] = {{areas_label_, at.areas_label},
                                          {city_list_, at.city_list},
                                          {heading_, at.heading},
                                          {report_list_, at.report_list},
                                          {detail_box_, at.detail_box}};
  for (const auto& [control, r] : places)
    layout_->PlaceInPixels(control, r.x, r.y, r.width, r.height);
}

void MainWindow::SetTextPercent(int percent) {
  skyvigil::SetTextPercent(percent);
  layout_->Rescale(layout_->dpi());
  LayOut();
}

LRESULT CALLBACK MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->Handle(message, wparam, lparam);
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  const int number = LOWORD(wparam);
  const int code = HIWORD(wparam);
  const HWND from = reinterpret_cast<HWND>(lparam);
  if (from == nullptr) {  // a menu item (code 0) or an accelerator (code 1)
    gate_.Run([number](App& app) { RunCommand(app, number); });
    return;
  }
  if (code != LBN_SELCHANGE && code != LBN_DBLCLK)
    return;
  if (from == city_list_)
    on_city_click_();
  else if (from == report_list_)
    on_report_click_();
}

void MainWindow::StartBriefingTimer(int seconds) {
  SetTimer(hwnd_, kBriefingTimer, static_cast<UINT>(seconds) * 1000, nullptr);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_TIMER:
      if (wparam == kRefreshTimer)
        gate_.Run([](App& app) { OnRefreshTimer(app); });
      else if (wparam == TrayIcon::kRetryTimer)
        tray_->Add();
      else if (wparam == kBriefingTimer) {
        KillTimer(hwnd_, kBriefingTimer);  // one-shot; the core sets the next
        gate_.Run([](App& app) { OnBriefingTimerEvent(app); });
      }
      return 0;
    case WM_HOTKEY: {
      const int command = static_cast<int>(wparam);
      gate_.Run([command](App& app) { RunCommand(app, command); });
      return 0;
    }
    case TrayIcon::kTrayMessage:
      if (tray_->IsClick(lparam))
        gate_.Run([](App& app) { OnTrayIconClick(app); });
      return 0;
    case kRunPostedWork:
      RunPostedWork(lparam);
      return 0;
    case WM_CLOSE:
      // The close box ends the program like "Exit": the core asks the loop to end.
      gate_.Run([](App& app) { OnMainWindowClose(app); });
      return 0;
    case WM_ENDSESSION:
      if (wparam != 0)
        gate_.Run([](App& app) { OnMainWindowClose(app); });
      return 0;
    case WM_ACTIVATE:
      // Like a dialog: the focus leaves with the window and comes back with it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        last_focus_ = focus != nullptr && IsChild(hwnd_, focus) ? focus : nullptr;
      } else if (HIWORD(wparam) == 0) {  // not while minimised
        SetFocus(last_focus_ != nullptr ? last_focus_ : city_list_);
        gate_.Run([](App& app) { OnMainWindowActivated(app); });
      }
      return 0;
    case WM_DPICHANGED:
      layout_->OnDpiChanged(wparam, lparam);
      LayOut();
      return 0;
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED)
        LayOut();
      return 0;
    default:
      if (message == taskbar_created_ && message != 0) {
        tray_->Add();
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace skyvigil
