// The update download's window: a label, the progress bar it names and a
// Cancel button, beside window 1. Escape, Cancel and the close box hand the
// cancel to the core, which closes the window through the UI port.
#pragma once

#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/timer.h>

#include "app/core_gate.h"

namespace skyvigil {

class DownloadWindow : public wxFrame {
 public:
  // Shown with the Cancel button focused.
  static DownloadWindow* Open(wxWindow* owner, CoreGate& gate);

  // 0 to 100; -1: the bar pulses until a percentage comes.
  void SetPercent(int percent);

 private:
  DownloadWindow(wxWindow* owner, CoreGate& gate);
  void Cancel();

  CoreGate& gate_;
  wxGauge* bar_ = nullptr;
  wxTimer pulse_;
  bool cancel_on_key_up_ = false;
};

}  // namespace skyvigil
