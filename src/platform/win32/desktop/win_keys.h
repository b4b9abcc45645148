// Keys as the core knows them: a key pressed in one of our windows becomes a
// Shortcut the core looks up, and the system-wide keys are registered.
#pragma once

#include <windows.h>

#include "app/commands.h"

namespace skyvigil {

// The key of a WM_KEYDOWN or WM_SYSKEYDOWN with the modifiers held now; a key
// the core has no name for gives Key::none.
Shortcut PressedKey(WPARAM virtual_key);

// Registers the main window's system-wide keys (the command table's
// system_wide rows) for `window`, each by its command's number: WM_HOTKEY
// brings that number. A key another program owns stays unregistered.
void RegisterSystemWideKeys(HWND window);

}  // namespace skyvigil
