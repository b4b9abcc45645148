// Accessible names and label relations of native controls, set where the
// screen reader looks for them. wx's own SetName does not reach it on GTK.
#pragma once

#include <string>

class wxListBox;
class wxWindow;

namespace skyvigil {

// Names `control` for screen readers; `name` is UTF-8.
void SetAccessibleName(wxWindow* control, const std::string& name);

// Tells screen readers that `label` is the visible label of `control`.
void SetAccessibleLabel(wxWindow* control, wxWindow* label);

// Presents a top-level window as a dialog (GTK reports wx's dialogs as plain frames).
void MarkAsDialog(wxWindow* window);

// Takes every line out of `list`'s view at once before the list is destroyed:
// removed one by one, each line costs the screen reader several events.
void DropListLines(wxListBox* list);

// Puts `list`'s keyboard cursor on line `index`, which is selected. A cursor
// left on no line is placed when the list takes the focus, and the screen
// reader then hears of that line before the window's activation and
// announces the line without the window and list.
void MoveListCursor(wxListBox* list, int index);

}  // namespace skyvigil
