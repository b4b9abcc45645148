// Routes every event a list box reports into the core, and the Enter key that
// GTK's list box turns into a double click back into a shortcut.
#pragma once

#include <wx/listbox.h>

#include "app/commands.h"
#include "app/core_gate.h"

namespace skyvigil {

using ShortcutTable = int (*)(const Shortcut& pressed);

// Selection changes, double clicks and left and right clicks of `list` call
// `on_event` (when given). A key press the window's `shortcuts` know runs its command instead.
void BindListEvents(wxListBox* list, CoreGate& gate, void (*on_event)(App&),
                    ShortcutTable shortcuts);

}  // namespace skyvigil
