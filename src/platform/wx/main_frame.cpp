// Main window construction and the routing of its events into the core.
#include "platform/wx/main_frame.h"

#include <algorithm>
#include <chrono>
#include <map>

#include <wx/menu.h>
#include <wx/settings.h>

#include "app/commands.h"
#include "app/window_specs.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/key_shortcut.h"
#include "platform/wx/list_events.h"
#include "platform/wx/text_font.h"
#include "views/main_layout.h"

namespace skyvigil {

namespace {

constexpr int kRefreshMilliseconds =
    static_cast<int>(std::chrono::milliseconds(kRefreshInterval).count());

// Widest of the list's lines in its font, in pixels.
int WidestLine(wxListBox* list) {
  int widest = 0;
  for (unsigned i = 0; i < list->GetCount(); ++i)
    widest = std::max(widest, list->GetTextExtent(list->GetString(i)).GetWidth());
  return widest;
}

void Place(wxWindow* control, const Rect& at) {
  control->SetSize(at.x, at.y, at.width, at.height);
}

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
                               wxTE_READONLY | wxTE_MULTILINE | wxBORDER_SUNKEN);
  ApplyTextFont(this);
  LayOut();
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    LayOut();
  });
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
  Bind(wxEVT_ACTIVATE, &MainFrame::OnActivate, this);
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

// The core's rule places every control from the window's size, the font and
// the longest lines; it runs again whenever one of them changes.
void MainFrame::LayOut() {
  const wxSize client = GetClientSize();
  const int line = city_list_->GetCharHeight();
  MainLayoutInput in;
  in.width = client.GetWidth();
  in.height = client.GetHeight();
  // A label or box line takes the font's height and a little spacing.
  in.line_height = line + line / 4;
  // Scroll bar, frame and the rows' own padding on both sides.
  in.list_frame = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) + 2 * line;
  in.box_frame = line;
  in.city_text_width = WidestLine(city_list_);
  in.report_text_width = WidestLine(report_list_);
  const MainLayout at = LayOutMainWindow(in);
  Place(areas_label_, at.areas_label);
  Place(city_list_, at.city_list);
  Place(heading_, at.heading);
  Place(report_list_, at.report_list);
  Place(detail_box_, at.detail_box);
}

void MainFrame::SetTextPercent(int percent) {
  skyvigil::SetTextPercent(percent);
  ApplyTextFont(this);
  LayOut();
}

void MainFrame::BuildMenus() {
  auto* bar = new wxMenuBar();
  std::map<std::string_view, wxMenu*> menus;
  for (const CommandInfo& command : MainWindowCommands()) {
    // No key reaches this program from other windows here.
    if (command.system_wide)
      continue;
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

void MainFrame::OnActivate(wxActivateEvent& event) {
  if (event.GetActive())
    gate_.Run([](App& app) { OnMainWindowActivated(app); });
  event.Skip();
}

void MainFrame::OnClose(wxCloseEvent&) {
  // The close box ends the program like "Exit": the core asks the loop to end.
  gate_.Run([](App& app) { OnMainWindowClose(app); });
}

}  // namespace skyvigil
