// The notification-area icon: an all-black picture with a tooltip; every click
// on it goes to the core, and it has no menu of its own.
#pragma once

#include <string>

#include <wx/bmpbndl.h>
#include <wx/taskbar.h>

#include "app/core_gate.h"

namespace skyvigil {

class TrayIcon : public wxTaskBarIcon {
 public:
  explicit TrayIcon(CoreGate& gate);

  void SetTooltip(const std::string& text);  // UTF-8
  void Remove();

 private:
  void OnClick(wxTaskBarIconEvent& event);

  CoreGate& gate_;
  wxBitmapBundle icon_;
  bool removed_ = false;
};

}  // namespace skyvigil
