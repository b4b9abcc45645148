// What every window and dialog holds, decided once for every desktop: titles,
// controls with their numbers, texts, accessible names and places, the keys
// of each window and the command each key or button runs. The desktops build
// their windows from these rows and only add what their toolkit needs.
#pragma once

#include <span>
#include <string_view>

#include "app/commands.h"
#include "ports/screen.h"

namespace skyvigil {

enum class ControlKind { label, list, read_only_box, button, progress_bar };

// A control at 96 DPI. A label names the list that follows it; a label or
// button may grow to fit its text.
struct ControlSpec {
  int number;
  ControlKind kind;
  std::string_view text;  // a label's or button's text
  std::string_view name;  // the accessible name of a list, box or bar
  int x, y, width, height;
  int command = 0;  // what a button runs (RunCommand); 0 for other controls
};

// A key of a window and the command it runs. With `only_in` set, the key runs
// the command only while that control has the focus; elsewhere it is left to
// the focused control (Enter on a button presses the button).
struct KeyRow {
  Shortcut key;
  int command;
  int only_in = -1;
};

struct WindowSpec {
  WindowKind kind;
  std::string_view title;                 // empty: the core gives it (the main window's)
  std::span<const ControlSpec> controls;  // in creation and tab order
  std::span<const KeyRow> keys;           // the window's own keys, besides its menu's
  bool has_menu;                          // the main window's menu bar, from MainWindowCommands()
  bool laid_out_by_rule;                  // places from LayOutMainWindow instead of the rows'
  bool has_close_box;                     // its close box sends OnWindowClose
  int width, height;  // the inner size at 96 DPI, wider when a control reaches past it
};

const WindowSpec& SpecOf(WindowKind kind);

// The window of `kind` holds control `number`.
bool HasControl(WindowKind kind, int number);

// The command a key stands for in a window of `kind` while control `focus`
// has the focus (the main window: its menu's shortcuts, then its own keys),
// or 0 when the key belongs to the focused control.
int CommandForKey(WindowKind kind, const Shortcut& pressed, int focus);

// How much a window's places and sizes grow with the text size: as the text
// does, but only as far as the whole window still fits in nine tenths of a
// work area of `area_width` by `area_height` (96 DPI), and never below the
// WindowSpec's own size.
double WindowSpecScale(const WindowSpec& spec, int text_percent, int area_width, int area_height);

// The fixed parts of the modal dialogs; their texts come with each call.
struct DialogSpec {
  std::string_view ok = "OK";
  std::string_view cancel = "Cancel";
  std::string_view address_name = "Sign-up page";  // the key dialog's address box
  int field_width = 360;  // an input field at 96 DPI and 100 percent text, grown with the text
};
inline constexpr DialogSpec kDialogSpec{};

}  // namespace skyvigil
