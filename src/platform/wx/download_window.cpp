// The download's window, built from kDownloadWindow in the core.
#include "platform/wx/download_window.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include <utility>

#include "app/download_window.h"
#include "app/window_specs.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/text_font.h"

namespace skyvigil {

namespace {

constexpr long kStyle =
    wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR;

wxString Text(std::string_view text) {
  return wxString::FromUTF8(text.data(), text.size());
}

}  // namespace

DownloadWindow::DownloadWindow(wxWindow* owner, CoreGate& gate)
    : wxFrame(owner, wxID_ANY, Text(kDownloadWindow.title), wxDefaultPosition, wxDefaultSize,
              kStyle),
      gate_(gate),
      pulse_(this) {
  SetFont(TextFont());
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
  const DownloadWindowSpec& spec = kDownloadWindow;
  const ControlSpec& l = spec.label;
  auto* label = new wxStaticText(this, l.number, Text(l.text), FromDIP(wxPoint(l.x, l.y)));
  const ProgressBarSpec& b = spec.bar;
  bar_ = new wxGauge(this, b.number, 100, FromDIP(wxPoint(b.x, b.y)),
                     FromDIP(wxSize(b.width, b.height)));
  SetAccessibleName(bar_, std::string(b.name));
  SetAccessibleLabel(bar_, label);
  const ControlSpec& c = spec.cancel;
  auto* cancel = new wxButton(this, c.number, Text(c.text), FromDIP(wxPoint(c.x, c.y)));
  wxSize fit = cancel->GetSize();
  fit.IncTo(FromDIP(wxSize(c.width, c.height)));
  cancel->SetSize(fit);
  SetClientSize(FromDIP(wxSize(spec.width, spec.height)));

  cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Cancel(); });
  // Cancelled when Escape comes up, as window 1 closes: the main window is
  // then active before the screen reader handles the release.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_ESCAPE || event.HasAnyModifiers()) {
      event.Skip();
      return;
    }
    cancel_on_key_up_ = true;
  });
  cancel->Bind(wxEVT_KEY_UP, [this](wxKeyEvent& event) {
    event.Skip();
    if (std::exchange(cancel_on_key_up_, false))
      Cancel();
  });
  pulse_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { bar_->Pulse(); });
}

DownloadWindow* DownloadWindow::Open(wxWindow* owner, CoreGate& gate) {
  auto* window = new DownloadWindow(owner, gate);
  window->Show();
  window->FindWindow(kDownloadWindow.cancel.number)->SetFocus();
  return window;
}

void DownloadWindow::SetPercent(int percent) {
  if (percent < 0) {
    if (!pulse_.IsRunning())
      pulse_.Start(200);
    return;
  }
  pulse_.Stop();
  bar_->SetValue(percent);
}

void DownloadWindow::Cancel() {
  gate_.Run([](App& app) { OnDownloadWindowClose(app); });
}

}  // namespace skyvigil
