// Child controls at fixed places given for 96 dots per inch, scaled to the
// window's DPI, in the system's message font; list box and edit box helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skyvigil {

// The chosen text size in percent, for every font a layout makes from now on.
void SetTextPercent(int percent);
int TextPercent();

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
  // Puts a control at a place in pixels that the window computed itself; a
  // rescale puts it back at its 96 DPI place until the window places it again.
  void PlaceInPixels(HWND control, int x, int y, int width, int height);
  // One line of text in the layout's font, with its spacing, in pixels.
  int LineHeight() const;
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

// Registers one of our top-level window classes, once: the dialog's colour,
// the arrow cursor and DefWindowProcW, since each window subclasses itself.
void RegisterWindowClassOnce(const wchar_t* name, HICON icon = nullptr, HICON small_icon = nullptr);

// List boxes: lines replaced and selected from code raise no list event.
void SetListLines(HWND list, const std::vector<std::string>& lines);  // UTF-8
// The widest of the list's lines in its font, in pixels.
int WidestListLine(HWND list);
int ListSelection(HWND list);               // -1 when none
void SelectListLine(HWND list, int index);  // out of range clears the selection
std::wstring WindowText(HWND window);
// Width of `text` in `control`'s font, in pixels.
int TextWidth(HWND control, const std::wstring& text);

// Every left or right button release in `list` tells its window as a
// selection change does (LBN_SELCHANGE), so a click on the selected line is
// heard too.
void NotifyListClicks(HWND list);
// A read-only multi-line box that leaves Tab, Enter and Escape to the window
// and is not selected whole when Tab moves into it.
void KeepDialogKeys(HWND box);

// The inner size of a window at its DPI, given at 96 DPI, as an outer size.
SIZE OuterSize(DWORD style, DWORD ex_style, bool menu, int width, int height, UINT dpi);

}  // namespace skyvigil
