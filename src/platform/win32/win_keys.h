// Accelerator tables built from the core's key look-ups, so a window's keys
// are exactly the ones the core knows for it.
#pragma once

#include <windows.h>

#include "app/commands.h"

namespace skyvigil {

using CommandForKey = int (*)(const Shortcut& pressed);

// Every combination of Escape, Enter, Delete, a letter, a main-keyboard digit,
// "=", "-" or the keypad's "+" and "-" with Control, Shift and Alt for which
// `command_for` names a command.
HACCEL AcceleratorsFor(CommandForKey command_for);

// Registers the main window's system-wide keys (the command table's
// system_wide rows) for `window`, each by its command's number: WM_HOTKEY
// brings that number. A key another program owns stays unregistered.
void RegisterSystemWideKeys(HWND window);

// Gives a top-level window its accelerator table; the message loop looks it up.
void SetWindowAccelerators(HWND window, HACCEL table);
HACCEL WindowAccelerators(HWND window);

}  // namespace skyvigil
