// Child controls at fixed places given for 96 dots per inch, scaled to the
// window's DPI, in the system's message font; list box and edit box helpers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace skyvigil {

class ControlLayout {
 public:
  explicit ControlLayout(HWND window);
  ~ControlLayout();
  ControlLayout(const ControlLayout&) = delete;
  ControlLayout& operator=(const ControlLayout&) = delete;

  // Creates control `number` of window class `kind` at x, y, width, height (96 DPI).
  HWND Add(const wchar_t* kind, int number, const std::wstring& text, DWORD style, DWORD ex_style,
           int x, int y, int width, int height);
  // Makes a label or button at least as wide as its text, so none is cut off.
  void FitToText(HWND control);
  // The window's DPI changed: new font, every control placed again.
  void Rescale(UINT dpi);
  // WM_DPICHANGED: rescales, and the window takes the place Windows suggests.
  void OnDpiChanged(WPARAM wparam, LPARAM lparam);

  int Scale(int value) const { return MulDiv(value, static_cast<int>(dpi_), 96); }
  UINT dpi() const { return dpi_; }
  // Right edge of the rightmost control, at 96 DPI.
  int RightEdge() const;

 private:
  struct Placed {
    HWND control;
    RECT at;  // left, top, right, bottom at 96 DPI
    bool fit_to_text;
  };
  void Place(Placed& placed);

  HWND window_;
  UINT dpi_;
  HFONT font_ = nullptr;
  std::vector<Placed> controls_;
};

// List boxes: lines replaced and selected from code raise no list event.
void SetListLines(HWND list, const std::vector<std::string>& lines);  // UTF-8
int ListSelection(HWND list);                                         // -1 when none
void SelectListLine(HWND list, int index);  // out of range clears the selection
std::wstring WindowText(HWND window);

// Calls `on_click` after every left or right button release in `list`;
// `on_click` must outlive the list.
void NotifyListClicks(HWND list, const std::function<void()>* on_click);
// A read-only multi-line box that leaves Tab, Enter and Escape to the window
// and is not selected whole when Tab moves into it.
void KeepDialogKeys(HWND box);

// The inner size of a window at its DPI, given at 96 DPI, as an outer size.
SIZE OuterSize(DWORD style, DWORD ex_style, bool menu, int width, int height, UINT dpi);

}  // namespace skyvigil
