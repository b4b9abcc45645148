// The main window's menus, layout and showing.
#include "platform/wx/main_frame.h"

#include <algorithm>
#include <map>

#include <wx/menu.h>
#include <wx/settings.h>

#include "app/commands.h"
#include "views/main_layout.h"

namespace skyvigil {

namespace {

// Widest of the list's lines in its font, in pixels.
int WidestLine(const wxListBox* list) {
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
    : SpecWindow(nullptr, gate, WindowKind::main, title, wxDEFAULT_FRAME_STYLE, 1.0) {
  LayOut();
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    LayOut();
  });
  BuildMenus();
  // The start-up news waits until the window has been announced.
  Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
    if (event.GetActive())
      Report([](App& app) { OnMainWindowActivated(app); });
    event.Skip();
  });
}

void MainFrame::ShowAgain(bool to_front) {
  if (to_front) {
    Iconize(false);
    Show();
    Raise();
    return;
  }
  if (was_iconized_) {
    // Asked for while the window is hidden, the minimised state is the one it
    // is shown in; asked for right after showing, the window manager may not
    // see it yet.
    Iconize(true);
    Show();
    return;
  }
  Show();
  if (was_maximized_)
    Maximize(true);
  Raise();  // brings it to the front and activates it
}

void MainFrame::SetChecked(int command, bool checked) {
  GetMenuBar()->Check(command, checked);
}

void MainFrame::HideRemembering() {
  was_iconized_ = IsIconized();
  was_maximized_ = IsMaximized();
  Hide();
}

// The core's rule places every control from the window's size, the font and
// the longest lines; it runs again whenever one of them changes.
void MainFrame::LayOut() {
  auto* cities = static_cast<wxListBox*>(Control(kCityList));
  auto* report = static_cast<wxListBox*>(Control(kReportList));
  const wxSize client = GetClientSize();
  const int line = cities->GetCharHeight();
  MainLayoutInput in;
  in.width = client.GetWidth();
  in.height = client.GetHeight();
  // A label or box line takes the font's height and a little spacing.
  in.line_height = line + line / 4;
  // Scroll bar, frame and the rows' own padding on both sides.
  in.list_frame = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) + 2 * line;
  in.box_frame = line;
  in.city_text_width = WidestLine(cities);
  in.report_text_width = WidestLine(report);
  const MainLayout at = LayOutMainWindow(in);
  Place(Control(kAreasLabel), at.areas_label);
  Place(cities, at.city_list);
  Place(Control(kHeading), at.heading);
  Place(report, at.report_list);
  Place(Control(kDetailBox), at.detail_box);
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
    // The texts carry no accelerator: the char hook does that job.
    menu->Append(command.number,
                 wxString::FromUTF8(command.item_text.data(), command.item_text.size()), "",
                 command.check_item ? wxITEM_CHECK : wxITEM_NORMAL);
    const int number = command.number;
    const bool check_item = command.check_item;
    Bind(
        wxEVT_MENU,
        [this, number, check_item](wxCommandEvent&) {
          // GTK has flipped the mark already; the core's SetChecked decides
          // it, so a switch that failed does not show as switched.
          if (check_item)
            GetMenuBar()->Check(number, !GetMenuBar()->IsChecked(number));
          Run(number);
        },
        number);
  }
  SetMenuBar(bar);
}

}  // namespace skyvigil
