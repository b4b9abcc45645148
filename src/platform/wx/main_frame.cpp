// Main window construction and the routing of its events into the core.
#include "platform/wx/main_frame.h"

#include <map>

#include <wx/menu.h>
#include <wx/sizer.h>

#include "app/commands.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/key_shortcut.h"
#include "platform/wx/list_events.h"

namespace skyvigil {

namespace {

constexpr int kRefreshMilliseconds = 900000;

}  // namespace

MainFrame::MainFrame(CoreGate& gate, const std::string& title)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(title)), gate_(gate), refresh_timer_(this) {
  SetClientSize(FromDIP(wxSize(1600, 1200)));
  Centre(wxBOTH);

  const long list_style = wxLB_SINGLE | wxLB_HSCROLL;
  areas_label_ = new wxStaticText(this, wxID_ANY, "Areas", wxDefaultPosition, wxDefaultSize,
                                  wxST_NO_AUTORESIZE);
  city_list_ =
      new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, list_style);
  heading_ = new wxStaticText(this, wxID_ANY, "Current Weather", wxDefaultPosition, wxDefaultSize,
                              wxST_NO_AUTORESIZE);
  report_list_ =
      new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, list_style);
  detail_box_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxTE_READONLY | wxBORDER_SUNKEN);
  LayOut();
  SetAccessibleName(city_list_, "Areas");
  SetAccessibleLabel(city_list_, areas_label_);
  SetAccessibleName(report_list_, "Current Weather");
  SetAccessibleLabel(report_list_, heading_);
  SetAccessibleName(detail_box_, "Details");

  BindListEvents(city_list_, gate_, &OnCityListEvent, &MainWindowCommandFor);
  BindListEvents(report_list_, gate_, &OnReportListEvent, &MainWindowCommandFor);

  // Shortcuts are looked up before the focused control sees the key, so
  // Delete and Escape never reach the lists and the list widget can't swallow
  // Control+N or Control+P first. (Enter, which GTK's list turns into a
  // double click before this hook, is caught in BindListEvents.)
  Bind(wxEVT_CHAR_HOOK, &MainFrame::OnCharHook, this);
  BuildMenus();
  Bind(wxEVT_CLOSE_WINDOW, &MainFrame::OnClose, this);
  Bind(wxEVT_TIMER, &MainFrame::OnTimer, this, refresh_timer_.GetId());
  refresh_timer_.Start(kRefreshMilliseconds);
  briefing_timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { gate_.Run(&OnBriefingTimerEvent); });
}

void MainFrame::StartBriefingTimer(int seconds) {
  briefing_timer_.StartOnce(seconds * 1000);
}

void MainFrame::ShowAtStart() {
  Show();
  city_list_->SetFocus();
}

// At the initial size every control stands where the classic layout put it
// (lists at x 0 and 600, 300 wide and 800 high, below their labels), except
// that the box follows the report list instead of covering it. Sizes come
// from the stretch factors alone, so everything grows and shrinks with the
// window in the same proportions, and the labels span their whole text.
void MainFrame::LayOut() {
  for (wxWindow* control :
       {static_cast<wxWindow*>(areas_label_), static_cast<wxWindow*>(heading_),
        static_cast<wxWindow*>(city_list_), static_cast<wxWindow*>(report_list_),
        static_cast<wxWindow*>(detail_box_)}) {
    control->SetMinSize(wxSize(1, control->GetBestSize().GetHeight()));
  }
  city_list_->SetMinSize(wxSize(1, 1));
  report_list_->SetMinSize(wxSize(1, 1));
  detail_box_->SetMinSize(wxSize(1, 1));

  auto* labels = new wxBoxSizer(wxHORIZONTAL);
  labels->Add(areas_label_, wxSizerFlags(600).Expand());
  labels->Add(heading_, wxSizerFlags(1000).Expand());

  auto* controls = new wxBoxSizer(wxHORIZONTAL);
  controls->Add(city_list_, wxSizerFlags(300).Expand());
  controls->AddStretchSpacer(300);
  controls->Add(report_list_, wxSizerFlags(300).Expand());
  controls->Add(detail_box_, wxSizerFlags(300).Expand());
  controls->AddStretchSpacer(400);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(labels, wxSizerFlags().Expand());
  column->Add(controls, wxSizerFlags(800).Expand());
  column->AddStretchSpacer(380);
  SetSizer(column);
  Layout();
}

void MainFrame::BuildMenus() {
  auto* bar = new wxMenuBar();
  std::map<std::string_view, wxMenu*> menus;
  for (const CommandInfo& command : MainWindowCommands()) {
    wxMenu*& menu = menus[command.menu];
    if (menu == nullptr) {
      menu = new wxMenu();
      bar->Append(menu, wxString::FromUTF8(command.menu.data(), command.menu.size()));
    }
    // wxITEM_NORMAL items; the texts carry no accelerator, the char hook does
    // that job.
    menu->Append(command.number,
                 wxString::FromUTF8(command.item_text.data(), command.item_text.size()));
    Bind(wxEVT_MENU, &MainFrame::OnMenu, this, command.number);
  }
  SetMenuBar(bar);
}

void MainFrame::OnCharHook(wxKeyEvent& event) {
  const int command = MainWindowCommandFor(ShortcutFromKeyEvent(event));
  if (command == 0) {
    event.Skip();
    return;
  }
  gate_.Run([command](App& app) { RunCommand(app, command); });
}

void MainFrame::OnMenu(wxCommandEvent& event) {
  const int command = event.GetId();
  gate_.Run([command](App& app) { RunCommand(app, command); });
}

void MainFrame::OnTimer(wxTimerEvent&) {
  gate_.Run([](App& app) { OnRefreshTimer(app); });
}

void MainFrame::OnClose(wxCloseEvent&) {
  // The close box ends the program like "Exit"; the core ends the process.
  gate_.Run([](App& app) { OnMainWindowClose(app); });
}

}  // namespace skyvigil
