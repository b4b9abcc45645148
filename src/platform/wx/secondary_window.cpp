// Forecast, search results and history windows: controls, shortcuts and
// buttons routed into the core.
#include "platform/wx/secondary_window.h"

#include <wx/button.h>
#include <wx/sizer.h>
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

}  // namespace

SecondaryWindow::SecondaryWindow(wxWindow* owner, CoreGate& gate, Kind kind, const wxString& title)
    : wxFrame(owner, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, kStyle),
      gate_(gate),
      kind_(kind) {
  SetClientSize(FromDIP(wxSize(800, 600)));
  SetFont(TextFont());  // the controls made next inherit it
  // Keys and commands of this window stay here: the main window's shortcuts
  // must not fire while this one is active.
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
  Bind(wxEVT_CHAR_HOOK, &SecondaryWindow::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &SecondaryWindow::OnClose, this);
}

SecondaryWindow* SecondaryWindow::OpenForecast(wxWindow* owner, CoreGate& gate) {
  auto* window = new SecondaryWindow(owner, gate, Kind::forecast, "Forecast");
  auto* label = new wxStaticText(window, kForecastLabel, "Forecast", window->FromDIP(wxPoint(0, 0)),
                                 window->FromDIP(wxSize(20, 20)), wxST_NO_AUTORESIZE);
  window->list_ =
      new wxListBox(window, kForecastList, window->FromDIP(wxPoint(20, 0)),
                    window->FromDIP(wxSize(400, 600)), 0, nullptr, wxLB_SINGLE | wxLB_HSCROLL);
  window->detail_box_ =
      new wxTextCtrl(window, kForecastBox, wxEmptyString, window->FromDIP(wxPoint(600, 0)),
                     window->FromDIP(wxSize(100, 200)), wxTE_READONLY);
  window->AddButton(kForecastCopy, "Copy forecast", wxPoint(800, 0), wxSize(40, 40));
  window->AddButton(kForecastClose, "Close", wxPoint(800, 60), wxSize(40, 40));

  SetAccessibleName(window->list_, "Forecast");
  SetAccessibleLabel(window->list_, label);
  SetAccessibleName(window->detail_box_, "Details");

  BindListEvents(window->list_, gate, &OnForecastListEvent, &ForecastWindowCommandFor);

  window->ShowWithKeys();
  return window;
}

SecondaryWindow* SecondaryWindow::OpenResults(wxWindow* owner, CoreGate& gate,
                                              const std::vector<std::string>& entries) {
  auto* window = new SecondaryWindow(owner, gate, Kind::results, "Results");
  auto* label = new wxStaticText(window, kResultsLabel, "Results", window->FromDIP(wxPoint(0, 0)),
                                 window->FromDIP(wxSize(20, 20)), wxST_NO_AUTORESIZE);
  window->list_ = new wxListBox(window, kResultsList, window->FromDIP(wxPoint(20, 0)),
                                window->FromDIP(wxSize(400, 600)), 0, nullptr, wxLB_SINGLE);
  for (const std::string& entry : entries)
    window->list_->Append(wxString::FromUTF8(entry));
  window->AddButton(kResultsAdd, "Add", wxPoint(600, 0), wxSize(50, 50));
  window->AddButton(kResultsCancel, "Cancel", wxPoint(600, 80), wxSize(50, 50));

  // The results list reports nothing to the core, but Enter in it still adds.
  BindListEvents(window->list_, gate, nullptr, &ResultsWindowCommandFor);
  SetAccessibleName(window->list_, "Results");
  SetAccessibleLabel(window->list_, label);

  if (!entries.empty())
    window->list_->SetSelection(0);
  window->ShowWithKeys();
  window->list_->SetFocus();
  return window;
}

SecondaryWindow* SecondaryWindow::OpenHistory(wxWindow* owner, CoreGate& gate,
                                              const std::vector<std::string>& lines) {
  auto* window = new SecondaryWindow(owner, gate, Kind::history, "History");
  auto* label = new wxStaticText(window, kHistoryLabel, "Announcements");
  window->list_ = new wxListBox(window, kHistoryList, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                wxLB_SINGLE | wxLB_HSCROLL);
  for (const std::string& line : lines)
    window->list_->Append(wxString::FromUTF8(line));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(label, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP));
  column->Add(window->list_, wxSizerFlags(1).Expand().Border());
  window->SetSizer(column);

  BindListEvents(window->list_, gate, nullptr, &HistoryWindowCommandFor);
  SetAccessibleName(window->list_, "Announcements");
  SetAccessibleLabel(window->list_, label);

  if (!lines.empty())
    window->list_->SetSelection(0);
  window->ShowWithKeys();
  window->list_->SetFocus();
  return window;
}

SecondaryWindow* SecondaryWindow::OpenList(wxWindow* owner, CoreGate& gate,
                                           const std::string& title, const std::string& list_name,
                                           const std::vector<std::string>& lines) {
  auto* window = new SecondaryWindow(owner, gate, Kind::list, wxString::FromUTF8(title));
  auto* label = new wxStaticText(window, kListLabel, wxString::FromUTF8(list_name));
  window->list_ = new wxListBox(window, kListList, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                wxLB_SINGLE | wxLB_HSCROLL);
  for (const std::string& line : lines)
    window->list_->Append(wxString::FromUTF8(line));
  auto* copy = new wxButton(window, kListCopy, "Copy all");
  auto* close = new wxButton(window, kListClose, "Close");
  for (wxButton* button : {copy, close}) {
    const int control = button->GetId();
    button->Bind(wxEVT_BUTTON, [window, control](wxCommandEvent&) {
      window->gate_.Run([control](App& app) { OnControl(app, control); });
    });
  }
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(copy, wxSizerFlags().Border(wxRIGHT));
  buttons->Add(close);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(label, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxTOP));
  column->Add(window->list_, wxSizerFlags(1).Expand().Border());
  column->Add(buttons, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM));
  window->SetSizer(column);

  BindListEvents(window->list_, gate, nullptr, &ListWindowCommandFor);
  SetAccessibleName(window->list_, list_name);
  SetAccessibleLabel(window->list_, label);

  if (!lines.empty())
    window->list_->SetSelection(0);
  window->ShowWithKeys();
  window->list_->SetFocus();
  return window;
}

void SecondaryWindow::AddButton(int control, const char* text, wxPoint position, wxSize size) {
  auto* button = new wxButton(this, control, text, FromDIP(position), FromDIP(size));
  button->Bind(wxEVT_BUTTON, [this, control](wxCommandEvent&) {
    gate_.Run([control](App& app) { OnControl(app, control); });
  });
}

void SecondaryWindow::ShowWithKeys() {
  // Key releases go to the focused control only.
  for (wxWindow* control : GetChildren())
    control->Bind(wxEVT_KEY_UP, &SecondaryWindow::OnKeyUp, this);
  Show();
}

void SecondaryWindow::OnCharHook(wxKeyEvent& event) {
  const Shortcut pressed = ShortcutFromKeyEvent(event);
  const int command = kind_ == Kind::forecast  ? ForecastWindowCommandFor(pressed)
                      : kind_ == Kind::results ? ResultsWindowCommandFor(pressed)
                      : kind_ == Kind::list    ? ListWindowCommandFor(pressed)
                                               : HistoryWindowCommandFor(pressed);
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
