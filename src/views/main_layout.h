// Where the main window's controls stand: a pure rule from the window's size,
// its font and its longest lines, so both desktops lay out alike and nothing
// is cut while the window has room for it.
#pragma once

namespace skyvigil {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Everything in pixels of the window's client area.
struct MainLayoutInput {
  int width = 0;
  int height = 0;
  int line_height = 0;        // one line of text in the window's font, with its spacing
  int list_frame = 0;         // what a list adds to its widest line: borders, scroll bar, margins
  int box_frame = 0;          // what the detail box adds to its text on each axis
  int city_text_width = 0;    // the widest city line
  int report_text_width = 0;  // the widest report line, which the detail box may show
};

struct MainLayout {
  Rect areas_label;
  Rect city_list;
  Rect heading;
  Rect report_list;
  Rect detail_box;
  bool operator==(const MainLayout&) const = default;
};

// The city list and the report stand side by side under their labels, each
// at least as wide as its widest line up to half the room; the report takes
// what is left. The detail box spans the window below them, as many lines
// high as the widest report line needs (at most a quarter of the window).
MainLayout LayOutMainWindow(const MainLayoutInput& in);

}  // namespace skyvigil
