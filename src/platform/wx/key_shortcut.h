// Turns a wx key event into the key combination the command table speaks of.
#pragma once

#include <optional>

#include <wx/event.h>

#include "app/commands.h"

namespace skyvigil {

// Escape, Enter (main or keypad), Delete, and the letters and digits of the
// main keyboard, with Control, Shift and Alt. Anything else gives Key::none.
Shortcut ShortcutFromKeyEvent(const wxKeyEvent& event);

// GTK's list box turns Enter into a double click before the window sees the
// key. While such an event is handled, this gives the Enter key press behind
// it; otherwise nothing.
std::optional<Shortcut> EnterKeyInProgress();

}  // namespace skyvigil
