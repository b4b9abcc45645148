// The Help menu's windows: every key and what it does, made from the command
// table and the windows' own key rows, and what the program is, keeps and
// sends. Both open as list windows, read line by line.
#pragma once

#include <string>
#include <vector>

#include "app/commands.h"

namespace skyvigil {

// A key as the user reads it: "Control+Shift+C", "Escape", "Control+Plus".
std::string KeyName(const Shortcut& key);

// One line per key: the main window's menu keys, its own keys, the other
// windows' keys (a key running one command in several windows once, naming
// them), then the system-wide keys when the desktop has them.
std::vector<std::string> ShortcutLines(const DesktopFacts& desktop);

// The version and build, where the settings and cities are kept, what goes
// to the weather service, and the licence.
std::vector<std::string> AboutLines(const AppState& state);

// "Keyboard Shortcuts" and "About Skyvigil": the lines in a secondary window.
void OpenKeyboardShortcuts(App& app);
void OpenAbout(App& app);

}  // namespace skyvigil
