// Notification-area icon.
#include "platform/wx/tray_icon.h"

#include <array>

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/image.h>

#include "app/commands.h"

namespace skyvigil {

namespace {

wxBitmapBundle BlackIcon() {
  const wxImage image(32, 32, /*clear=*/true);  // cleared to black
  return wxBitmapBundle::FromBitmap(wxBitmap(image));
}

#ifdef __WXGTK__
// GTK's status icon reports a left click as an activation, which wx delivers
// as a double click when the single click goes unhandled, and a right click as
// a menu request (the "right down" event); it reports nothing else.
const std::array kClickEvents = {wxEVT_TASKBAR_LEFT_DCLICK, wxEVT_TASKBAR_RIGHT_DOWN};
#else
const std::array kClickEvents = {wxEVT_TASKBAR_LEFT_UP, wxEVT_TASKBAR_LEFT_DCLICK,
                                 wxEVT_TASKBAR_RIGHT_UP, wxEVT_TASKBAR_RIGHT_DCLICK};
#endif

}  // namespace

TrayIcon::TrayIcon(CoreGate& gate) : gate_(gate), icon_(BlackIcon()) {
  SetIcon(icon_, "Skyvigil");
  for (auto type : kClickEvents)
    Bind(type, &TrayIcon::OnClick, this);
}

void TrayIcon::SetTooltip(const std::string& text) {
  if (!removed_)
    SetIcon(icon_, wxString::FromUTF8(text));
}

void TrayIcon::Remove() {
  if (removed_)
    return;
  removed_ = true;
  RemoveIcon();
}

void TrayIcon::OnClick(wxTaskBarIconEvent&) {
  gate_.Run([](App& app) { OnTrayIconClick(app); });
}

}  // namespace skyvigil
