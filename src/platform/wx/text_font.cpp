// The chosen text size applied to wx windows.
#include "platform/wx/text_font.h"

#include <wx/settings.h>

namespace skyvigil {

namespace {

int g_percent = 100;

}  // namespace

void SetTextPercent(int percent) {
  g_percent = percent;
}

int TextPercent() {
  return g_percent;
}

wxFont TextFont() {
  return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT)
      .Scaled(static_cast<float>(g_percent) / 100.0F);
}

void ApplyTextFont(wxWindow* window) {
  // Children created later inherit the parent's font; those already there do not.
  const wxFont font = TextFont();
  window->SetFont(font);
  for (wxWindow* child : window->GetChildren())
    child->SetFont(font);
}

}  // namespace skyvigil
