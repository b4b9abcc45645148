// The text size the user chose, as a font for every window of ours.
#pragma once

#include <wx/font.h>
#include <wx/window.h>

namespace skyvigil {

// Percent of the system's own GUI font (which already follows the desktop's
// text scaling); 100 until the core sets it.
void SetTextPercent(int percent);
int TextPercent();
wxFont TextFont();
// Gives `window` and everything in it the text font. Colours stay the theme's.
void ApplyTextFont(wxWindow* window);

}  // namespace skyvigil
