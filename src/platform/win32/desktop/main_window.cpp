// The main window's own parts and messages; the rest is its SpecWindow's.
#include "platform/win32/desktop/main_window.h"

#include <map>
#include <utility>

#include "app/commands.h"
#include "platform/win32/desktop/win_keys.h"
#include "platform/win32/desktop/window_placement.h"
#include "platform/win32/process/win_process.h"
#include "platform/win32/utf16.h"
#include "views/main_layout.h"

namespace skyvigil {

MainWindow::MainWindow(CoreGate& gate, AccessibleNames& names, const std::wstring& title,
                       HICON small_icon)
    : SpecWindow(SpecOf(WindowKind::main), title, nullptr, gate, names,
                 LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource)),
                 small_icon) {
  // The spec's inner size at 96 DPI, centred in the work area of the
  // window's monitor and never past its edges: a smaller screen gets a
  // smaller window, its title and menu bar on screen.
  const WindowSpec& main = spec();
  const SIZE outer =
      OuterSize(WindowStyle(main), kWindowExStyle, true, main.width, main.height, layout().dpi());
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  const RECT place = CentreInWorkArea(outer, monitor.rcWork);
  BuildMenus();
  SetWindowPos(hwnd(), nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();

  tray_ = std::make_unique<TrayIcon>(hwnd(), small_icon);
  tray_->Add();
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Another program may own a combination; the program then runs without it.
  RegisterSystemWideKeys(hwnd());
}

void MainWindow::BuildMenus() {
  HMENU bar = CreateMenu();
  std::map<std::string_view, HMENU> menus;
  for (const CommandInfo& command : MainWindowCommands()) {
    HMENU& menu = menus[command.menu];
    if (menu == nullptr) {
      menu = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                  win32::Utf8ToUtf16(std::string(command.menu)).c_str());
    }
    // The texts carry no tab and shortcut part: the core's key rows do that job.
    // Any item can carry a check mark: a check item starts without one, and
    // only the screen's SetChecked changes it (choosing it marks nothing).
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command.number),
                win32::Utf8ToUtf16(std::string(command.item_text)).c_str());
  }
  SetMenu(hwnd(), bar);
}

// The core's rule places every control from the client size, the font and
// the longest lines; it runs again whenever one of them changes.
void MainWindow::LayOut() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  ControlLayout& controls = layout();
  const int line = controls.LineHeight();
  const UINT dpi = controls.dpi();
  const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  MainLayoutInput in;
  in.width = client.right - client.left;
  in.height = client.bottom - client.top;
  in.line_height = line;
  // Scroll bar, sunken edges and a little air past the widest line.
  in.list_frame = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + 4 * edge + line / 2;
  // The edit box's edges and its own margins.
  in.box_frame = 4 * edge + line / 2;
  in.city_text_width = WidestListLine(control(kCityList));
  in.report_text_width = WidestListLine(control(kReportList));
  const MainLayout at = LayOutMainWindow(in);
  const std::pair<int, Rect> places[] = {{kAreasLabel, at.areas_label},
                                         {kCityList, at.city_list},
                                         {kHeading, at.heading},
                                         {kReportList, at.report_list},
                                         {kDetailBox, at.detail_box}};
  for (const auto& [number, r] : places)
    controls.PlaceInPixels(control(number), r.x, r.y, r.width, r.height);
}

void MainWindow::ApplyTextSize() {
  SpecWindow::ApplyTextSize();
  LayOut();
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == TrayIcon::kRetryTimer)
        tray_->Add();
      else
        RunDelayedWork(hwnd(), wparam);
      return 0;
    case WM_HOTKEY: {
      const int command = static_cast<int>(wparam);
      gate().Run([command](App& app) { RunCommand(app, command); });
      return 0;
    }
    case TrayIcon::kTrayMessage:
      if (tray_->IsClick(lparam))
        gate().Run([](App& app) { OnTrayIconClick(app); });
      return 0;
    case kRunPostedWork:
      RunPostedWork(lparam);
      return 0;
    case WM_ENDSESSION:
      if (wparam != 0)
        gate().Run([](App& app) { OnWindowClose(app, WindowKind::main); });
      return 0;
    case WM_ACTIVATE: {
      const LRESULT result = SpecWindow::Handle(message, wparam, lparam);
      if (LOWORD(wparam) != WA_INACTIVE && HIWORD(wparam) == 0)
        gate().Run([](App& app) { OnMainWindowActivated(app); });
      return result;
    }
    case WM_DPICHANGED:
      SpecWindow::Handle(message, wparam, lparam);
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
      return SpecWindow::Handle(message, wparam, lparam);
  }
}

}  // namespace skyvigil
