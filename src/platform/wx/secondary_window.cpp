// Forecast, search results and history windows, built from their specs:
// controls, shortcuts and buttons routed into the core.
#include "platform/wx/secondary_window.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/stattext.h>

#include "app/commands.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/key_shortcut.h"
#include "platform/wx/list_events.h"
#include "platform/wx/text_font.h"

namespace skyvigil {

namespace {

// Title bar only: no system menu, no close box, not resizable.
constexpr long kStyle = wxCAPTION | wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR;

wxString Text(std::string_view text) {
  return wxString::FromUTF8(text.data(), text.size());
}

}  // namespace

SecondaryWindow::SecondaryWindow(wxWindow* owner, CoreGate& gate, const WindowSpec& spec)
    : wxFrame(owner, wxID_ANY, Text(spec.title), wxDefaultPosition, wxDefaultSize, kStyle),
      gate_(gate),
      spec_(spec) {
  SetFont(TextFont());  // the controls made next inherit it
  // Keys and commands of this window stay here: the main window's shortcuts
  // must not fire while this one is active.
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
  Bind(wxEVT_CHAR_HOOK, &SecondaryWindow::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &SecondaryWindow::OnClose, this);
}

SecondaryWindow* SecondaryWindow::Open(wxWindow* owner, CoreGate& gate, Kind kind,
                                       const std::vector<std::string>& lines) {
  const WindowSpec& spec = SecondaryWindowSpec(kind);
  auto* window = new SecondaryWindow(owner, gate, spec);
  // Places and sizes grow with the text, as far as the screen has room.
  const wxRect room = wxDisplay(owner != nullptr ? owner : window).GetClientArea();
  window->scale_ = WindowSpecScale(spec, TextPercent(), window->ToDIP(room.width) * 9 / 10,
                                   window->ToDIP(room.height) * 9 / 10);
  wxWindow* last_label = nullptr;
  for (const ControlSpec& control : spec.controls)
    window->AddControl(control, last_label);

  // Inner size as the WindowSpec gives it, wider when a control reaches past it.
  int right = window->Scaled(spec.width);
  for (wxWindow* control : window->GetChildren())
    right = std::max(right, window->ToDIP(control->GetRect().GetRight() + 1));
  window->SetClientSize(window->FromDIP(wxSize(right, window->Scaled(spec.height))));

  for (const std::string& line : lines)
    window->list_->Append(wxString::FromUTF8(line));
  if (!lines.empty())
    window->list_->SetSelection(0);
  window->ShowWithKeys();
  window->list_->SetFocus();
  return window;
}

void SecondaryWindow::AddControl(const ControlSpec& control, wxWindow*& last_label) {
  const wxPoint at = FromDIP(wxPoint(Scaled(control.x), Scaled(control.y)));
  const wxSize size = FromDIP(wxSize(Scaled(control.width), Scaled(control.height)));
  switch (control.kind) {
    case ControlKind::label: {
      // As wide as its text at least, so the whole text shows.
      auto* label = new wxStaticText(this, control.number, Text(control.text), at);
      wxSize fit = label->GetSize();
      fit.IncTo(size);
      label->SetSize(fit);
      last_label = label;
      break;
    }
    case ControlKind::list:
      list_ = new wxListBox(this, control.number, at, size, 0, nullptr, wxLB_SINGLE | wxLB_HSCROLL);
      SetAccessibleName(list_, std::string(control.name));
      if (last_label != nullptr)
        SetAccessibleLabel(list_, last_label);
      // The list reports its changes to the core (when the window has
      // something to do with them); Enter in it still runs the window's command.
      BindListEvents(list_, gate_, spec_.on_list_event, spec_.command_for);
      break;
    case ControlKind::read_only_box:
      detail_box_ = new wxTextCtrl(this, control.number, wxEmptyString, at, size, wxTE_READONLY);
      SetAccessibleName(detail_box_, std::string(control.name));
      break;
    case ControlKind::button: {
      auto* button = new wxButton(this, control.number, Text(control.text), at);
      wxSize fit = button->GetSize();
      fit.IncTo(size);
      button->SetSize(fit);
      const int number = control.number;
      button->Bind(wxEVT_BUTTON, [this, number](wxCommandEvent&) {
        gate_.Run([number](App& app) { OnControl(app, number); });
      });
      break;
    }
  }
}

void SecondaryWindow::ShowWithKeys() {
  // Key releases go to the focused control only.
  for (wxWindow* control : GetChildren())
    control->Bind(wxEVT_KEY_UP, &SecondaryWindow::OnKeyUp, this);
  Show();
}

void SecondaryWindow::OnCharHook(wxKeyEvent& event) {
  const int command = spec_.command_for(ShortcutFromKeyEvent(event));
  if (command == 0) {
    event.Skip();
    return;
  }
  if (command == kCloseSecondaryWindow) {
    // Closed when the key comes up: a release that Orca handles between this
    // window's deactivation and the main window's activation makes it take
    // the main window for already active, and it does not announce it.
    close_on_key_up_ = true;
    return;
  }
  gate_.Run([command](App& app) { RunCommand(app, command); });
}

void SecondaryWindow::OnKeyUp(wxKeyEvent& event) {
  event.Skip();
  if (!close_on_key_up_)
    return;
  close_on_key_up_ = false;
  gate_.Run([](App& app) { RunCommand(app, kCloseSecondaryWindow); });
}

void SecondaryWindow::OnClose(wxCloseEvent&) {
  // A close request (the window manager's, say) closes window 1 only; the core
  // destroys it through the UI port.
  gate_.Run([](App& app) { OnSecondaryWindowClose(app); });
}

}  // namespace skyvigil
