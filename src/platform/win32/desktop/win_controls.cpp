// Control placement, DPI scaling, fonts and list box helpers.
#include "platform/win32/desktop/win_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/utf16.h"

namespace skyvigil {

namespace {

int g_text_percent = 100;

// The system's message font at the window's DPI (so the user's own text
// scaling holds), then at the chosen text size.
HFONT MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
    return nullptr;
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, g_text_percent, 100);
  font.lfWidth = MulDiv(font.lfWidth, g_text_percent, 100);
  return CreateFontIndirectW(&font);
}

}  // namespace

int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

namespace {

bool IsButton(HWND control) {
  wchar_t kind[16] = {};
  GetClassNameW(control, kind, 16);
  return lstrcmpiW(kind, WC_BUTTONW) == 0;
}

LRESULT CALLBACK ListClicks(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR) {
  const LRESULT result = DefSubclassProc(list, message, wparam, lparam);
  if (message == WM_LBUTTONUP || message == WM_RBUTTONUP) {
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  return result;
}

LRESULT CALLBACK DialogKeys(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR) {
  LRESULT result = DefSubclassProc(box, message, wparam, lparam);
  // Without DLGC_HASSETSEL the dialog keys leave the caret where it was: a
  // whole text selected on Tab is read out as "selected" by screen readers.
  if (message == WM_GETDLGCODE)
    result &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_HASSETSEL);
  return result;
}

}  // namespace

void SetTextPercent(int percent) {
  g_text_percent = percent;
}

int TextPercent() {
  return g_text_percent;
}

ControlLayout::ControlLayout(HWND window)
    : window_(window), dpi_(GetDpiForWindow(window)), font_(MessageFont(dpi_)) {}

ControlLayout::~ControlLayout() {
  if (font_ != nullptr)
    DeleteObject(font_);
}

// Overlapping controls paint in creation order: the one made first stays whole
// (WS_CLIPSIBLINGS), and creation order is also the Tab order.
HWND ControlLayout::Add(const wchar_t* kind, int number, const std::wstring& text, DWORD style,
                        DWORD ex_style, int x, int y, int width, int height) {
  HWND control =
      CreateWindowExW(ex_style, kind, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                      0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                      GetModuleHandleW(nullptr), nullptr);
  controls_.push_back({control, {x, y, x + width, y + height}, false});
  Place(controls_.back());
  return control;
}

void ControlLayout::FitToText(HWND control) {
  for (Placed& placed : controls_) {
    if (placed.control == control) {
      placed.fit_to_text = true;
      Place(placed);
    }
  }
}

void ControlLayout::Rescale(UINT dpi) {
  dpi_ = dpi;
  HFONT old = font_;
  font_ = MessageFont(dpi);
  for (Placed& placed : controls_)
    Place(placed);
  if (old != nullptr)
    DeleteObject(old);
}

void ControlLayout::OnDpiChanged(WPARAM wparam, LPARAM lparam) {
  Rescale(HIWORD(wparam));
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  SetWindowPos(window_, nullptr, suggested->left, suggested->top,
               suggested->right - suggested->left, suggested->bottom - suggested->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlLayout::PlaceInPixels(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(control, nullptr, TRUE);
}

int ControlLayout::LineHeight() const {
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

int ControlLayout::RightEdge() const {
  int right = 0;
  for (const Placed& placed : controls_) {
    RECT now{};
    GetWindowRect(placed.control, &now);
    right = std::max(right, static_cast<int>(placed.at.left) +
                                MulDiv(now.right - now.left, 96, static_cast<int>(dpi_)));
  }
  return right;
}

void ControlLayout::Place(Placed& placed) {
  SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  int width = Scale(placed.at.right - placed.at.left);
  if (placed.fit_to_text) {
    // Buttons need room for their edges as well as the text.
    const int padding = IsButton(placed.control) ? Scale(16) : Scale(2);
    width = std::max(width, TextWidth(placed.control, WindowText(placed.control)) + padding);
  }
  SetWindowPos(placed.control, nullptr, Scale(placed.at.left), Scale(placed.at.top), width,
               Scale(placed.at.bottom - placed.at.top), SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(placed.control, nullptr, TRUE);
}

void RegisterWindowClassOnce(const wchar_t* name, HICON icon, HICON small_icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc))
    return;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = small_icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

void SetListLines(HWND list, const std::vector<std::string>& lines) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  for (const std::string& line : lines) {
    const std::wstring text = win32::Utf8ToUtf16(line);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    widest = std::max(widest, TextWidth(list, text));
  }
  // The horizontal scroll bar appears only for lines wider than the list.
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int WidestListLine(HWND list) {
  int widest = 0;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    widest = std::max(widest, TextWidth(list, text));
  }
  return widest;
}

int ListSelection(HWND list) {
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void SelectListLine(HWND list, int index) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const bool valid = index >= 0 && index < count;
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(valid ? index : -1), 0);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void NotifyListClicks(HWND list) {
  SetWindowSubclass(list, ListClicks, 1, 0);
}

void KeepDialogKeys(HWND box) {
  SetWindowSubclass(box, DialogKeys, 1, 0);
}

SIZE OuterSize(DWORD style, DWORD ex_style, bool menu, int width, int height, UINT dpi) {
  RECT rect{0, 0, MulDiv(width, static_cast<int>(dpi), 96),
            MulDiv(height, static_cast<int>(dpi), 96)};
  AdjustWindowRectExForDpi(&rect, style, menu ? TRUE : FALSE, ex_style, dpi);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace skyvigil
