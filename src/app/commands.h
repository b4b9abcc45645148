// The commands of every window and the events the desktop layer hands to the
// core. One table describes every command's number, menu place, text and
// shortcut, so menus, shortcuts and dispatch can't drift apart.
#pragma once

#include <span>
#include <string_view>

#include "ports/command_numbers.h"
#include "state/app_state.h"

namespace skyvigil {

// A key combination: one key with any of Control, Shift and Alt.
struct Shortcut {
  enum class Key { none, escape, enter, del, character };
  Key key = Key::none;
  // An upper-case letter, a digit of the main keyboard, or '+', '=' or '-'
  // of the main keyboard or the keypad.
  char character = 0;
  bool control = false;
  bool shift = false;
  bool alt = false;
};

// What a command does; a row of a command table carries it.
using CommandHandlerFn = void (*)(App&);

struct CommandInfo {
  int number;
  std::string_view menu;  // "Application", "City", "Settings" or "Help"
  std::string_view item_text;
  Shortcut shortcut;
  CommandHandlerFn run;
  // The shortcut works from any program, with the window hidden too; a
  // desktop that cannot register such keys leaves the row out.
  bool system_wide = false;
  // A check item, its check mark drawn from the state (Screen::checked_commands).
  bool check_item = false;
};

// The main window's menu items in menu order (menus in order of first appearance).
std::span<const CommandInfo> MainWindowCommands();

// Runs a command of any window: a menu item, a key of the window's KeyRows, a
// button. A number no table holds does nothing.
void RunCommand(App& app, int command);
// A table holds `command`.
bool IsCommand(int command);
// What `command` does, as the user reads it: its menu item's text without the
// key in brackets, or the name of a command no menu lists; empty for none.
std::string_view CommandName(int command);

// What the user did in a window, as the desktops report it through the core
// gate; carrying out UiPort::Apply raises none. An index is a line of the list
// as last applied; one past its end, or a list of no open window, is ignored.
// An event naming what the core holds changes nothing, except a click on the
// selected line: it fills the forecast's box, and it shows the report of a
// city that a search added and selected.
// A list's selection moved, or the list was clicked (key, click, double click).
void OnSelect(App& app, int control, int index);
// The keyboard focus moved to `control` (a window's activation included).
void OnFocus(App& app, int control);
// A close request (the close box, Alt+F4, the window manager) for a window:
// the main window's ends the program, the secondary window's closes it, the
// download window's cancels the download.
void OnWindowClose(App& app, WindowKind window);

void OnTrayIconClick(App& app);
// The main window became the active window (shown, clicked, switched to),
// each time; the first time, the start's news follows a moment later.
void OnMainWindowActivated(App& app);
// Another start of the program asked for the window (it ends right after).
void OnShowRequest(App& app);
// Another start, with --speak, asked for the summary.
void OnSpeakRequest(App& app);
// Called after every handled event and whenever the event loop falls idle:
// announces what the last refresh changed.
void OnIdle(App& app);

// Start-up after the single-instance guard: settings, cities (asking for a first
// city when none can be read). The desktop layer then builds the main window.
void LoadSettingsAndCities(App& app);
// The main window stands: the saved city is selected, the refresh timer set,
// then the first refresh (without a key of the user's own, the key dialog
// first, over the filled window, and no refresh when it is cancelled); the
// window is then shown, in front with its city list focused, unless it starts
// hidden. No city at all ends the program.
void FirstRefresh(App& app);

// The orderly exit, which the core gate runs once after the handler that asked
// for it (RequestExit): "Exiting", the work in flight stopped, the selection
// saved, the tray icon removed and the main window closed (through the
// screen), the marker deleted, and the event loop asked to end with the
// requested code.
void ExitProgram(App& app);
// Hides a shown main window or shows a hidden one, and remembers the state.
// Without a tray it minimises the window instead, saying why the first time.
void ToggleWindow(App& app);

}  // namespace skyvigil
