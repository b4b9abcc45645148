// Windows built from their specs, and the user's doings in them reported
// through the core gate.
#include "platform/wx/spec_window.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/commands.h"
#include "platform/wx/accessibility_gtk.h"
#include "platform/wx/key_shortcut.h"
#include "platform/wx/text_font.h"

namespace skyvigil {

namespace {

int g_events_held = 0;

wxString Text(std::string_view text) {
  return wxString::FromUTF8(text.data(), text.size());
}

wxArrayString ToWx(const std::vector<std::string>& lines) {
  wxArrayString items;
  items.reserve(lines.size());
  for (const std::string& line : lines)
    items.push_back(wxString::FromUTF8(line));
  return items;
}

bool IsWithin(const wxWindow* window, const wxWindow* control) {
  for (; window != nullptr; window = window->GetParent()) {
    if (window == control)
      return true;
  }
  return false;
}

// Title bar only: no system menu, not resizable; over the main window, which
// stays usable. The download window adds a close box.
long StyleOf(const WindowSpec& spec) {
  const long style = wxCAPTION | wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR;
  return spec.has_close_box ? style | wxSYSTEM_MENU | wxCLOSE_BOX : style;
}

}  // namespace

EventsHeld::EventsHeld() {
  ++g_events_held;
}

EventsHeld::~EventsHeld() {
  --g_events_held;
}

SpecWindow::SpecWindow(wxWindow* owner, CoreGate& gate, WindowKind kind, const std::string& title,
                       long style, double scale)
    : wxFrame(owner, wxID_ANY, wxString::FromUTF8(title), wxDefaultPosition, wxDefaultSize, style),
      gate_(gate),
      spec_(SpecOf(kind)),
      scale_(scale),
      pulse_(this) {
  SetFont(TextFont());  // the controls made next inherit it
  // Keys and commands of this window stay here: the main window's shortcuts
  // must not fire while another one is active.
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
  wxWindow* last_label = nullptr;
  for (const ControlSpec& control : spec_.controls)
    AddControl(control, last_label);
  if (spec_.laid_out_by_rule) {
    SetClientSize(FromDIP(wxSize(spec_.width, spec_.height)));
    Centre(wxBOTH);
  } else {
    // Inner size as the spec gives it, wider when a control reaches past it.
    int right = Scaled(spec_.width);
    for (const auto& [number, control] : controls_)
      right = std::max(right, ToDIP(control->GetRect().GetRight() + 1));
    SetClientSize(FromDIP(wxSize(right, Scaled(spec_.height))));
  }
  // Shortcuts are looked up before the focused control sees the key, so the
  // list widget can't swallow them first. (Enter, which GTK's list turns into
  // a double click before this hook, is caught in BindList.)
  Bind(wxEVT_CHAR_HOOK, &SpecWindow::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
    Report([kind = spec_.kind](App& app) { OnWindowClose(app, kind); });
  });
  pulse_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { bar_->Pulse(); });
}

SpecWindow* SpecWindow::Open(wxWindow* owner, CoreGate& gate, WindowKind kind) {
  const WindowSpec& spec = SpecOf(kind);
  // Places and sizes grow with the text, as far as the screen has room.
  const wxRect room = wxDisplay(owner).GetClientArea();
  const double scale =
      WindowSpecScale(spec, TextPercent(), owner->ToDIP(room.width), owner->ToDIP(room.height));
  return new SpecWindow(owner, gate, kind, std::string(spec.title), StyleOf(spec), scale);
}

void SpecWindow::AddControl(const ControlSpec& control, wxWindow*& last_label) {
  const wxPoint at = FromDIP(wxPoint(Scaled(control.x), Scaled(control.y)));
  const wxSize size = FromDIP(wxSize(Scaled(control.width), Scaled(control.height)));
  const int number = control.number;
  wxWindow* made = nullptr;
  switch (control.kind) {
    case ControlKind::label: {
      if (spec_.laid_out_by_rule) {
        made = new wxStaticText(this, number, Text(control.text), wxDefaultPosition, wxDefaultSize,
                                wxST_NO_AUTORESIZE);
      } else {
        // As wide as its text at least, so the whole text shows.
        made = new wxStaticText(this, number, Text(control.text), at);
        wxSize fit = made->GetSize();
        fit.IncTo(size);
        made->SetSize(fit);
      }
      last_label = made;
      break;
    }
    case ControlKind::list: {
      auto* list = new wxListBox(this, number, at, size, 0, nullptr, wxLB_SINGLE | wxLB_HSCROLL);
      BindList(list, number);
      made = list;
      break;
    }
    case ControlKind::read_only_box: {
      // The main window's box shows a whole line, however long.
      const long style =
          spec_.laid_out_by_rule ? wxTE_READONLY | wxTE_MULTILINE | wxBORDER_SUNKEN : wxTE_READONLY;
      made = new wxTextCtrl(this, number, wxEmptyString, at, size, style);
      break;
    }
    case ControlKind::button: {
      made = new wxButton(this, number, Text(control.text), at);
      wxSize fit = made->GetSize();
      fit.IncTo(size);
      made->SetSize(fit);
      const int command = control.command;
      made->Bind(wxEVT_BUTTON, [this, command](wxCommandEvent&) { Run(command); });
      break;
    }
    case ControlKind::progress_bar:
      bar_ = new wxGauge(this, number, 100, at, size);
      made = bar_;
      break;
  }
  if (!control.name.empty())
    SetAccessibleName(made, std::string(control.name));
  // A label names the control right after it (a list, the bar).
  if (control.kind != ControlKind::label) {
    if (last_label != nullptr)
      SetAccessibleLabel(made, last_label);
    last_label = nullptr;
  }
  made->Bind(wxEVT_SET_FOCUS, [this, number](wxFocusEvent& event) {
    event.Skip();
    Report([number](App& app) { OnFocus(app, number); });
  });
  // Key releases go to the focused control only.
  made->Bind(wxEVT_KEY_UP, &SpecWindow::OnKeyUp, this);
  controls_.emplace_back(number, made);
}

void SpecWindow::BindList(wxListBox* list, int number) {
  // A selection moved or a line clicked: the list keeps its own behaviour and
  // the core hears the line.
  auto select = [this, list, number](wxEvent& event) {
    event.Skip();
    const int index = list->GetSelection();
    if (index >= 0)
      Report([number, index](App& app) { OnSelect(app, number, index); });
  };
  list->Bind(wxEVT_LISTBOX, select);
  list->Bind(wxEVT_LEFT_UP, select);
  list->Bind(wxEVT_RIGHT_UP, select);
  list->Bind(wxEVT_LISTBOX_DCLICK, [this, number, select](wxCommandEvent& event) {
    if (const auto pressed = EnterKeyInProgress()) {
      if (const int command = CommandForKey(spec_.kind, *pressed, number); command != 0) {
        Run(command);
        return;
      }
    }
    select(event);
  });
}

wxWindow* SpecWindow::Control(int number) const {
  for (const auto& [n, control] : controls_) {
    if (n == number)
      return control;
  }
  return nullptr;
}

int SpecWindow::FocusedControl() const {
  const wxWindow* focus = wxWindow::FindFocus();
  for (const auto& [number, control] : controls_) {
    if (IsWithin(focus, control))
      return number;
  }
  return -1;
}

// A focused list's lines are changed where they stand, added or removed at
// the end: emptied and filled again, it would leave the screen reader on a
// line that is gone, and the next window would be announced without its
// title and list. Any other list is filled afresh, which costs the screen
// reader one event per line instead of three. A Select follows.
void SpecWindow::SetLines(int number, const std::vector<std::string>& lines) {
  auto* list = wxDynamicCast(Control(number), wxListBox);
  if (list == nullptr)
    return;
  if (!list->HasFocus()) {
    list->Set(ToWx(lines));
    return;
  }
  while (list->GetCount() > lines.size())
    list->Delete(list->GetCount() - 1);
  const size_t kept = list->GetCount();
  for (size_t i = 0; i < kept; ++i) {
    const wxString text = wxString::FromUTF8(lines[i]);
    if (list->GetString(static_cast<unsigned>(i)) != text)
      list->SetString(static_cast<unsigned>(i), text);
  }
  if (lines.size() > kept)
    list->Append(ToWx({lines.begin() + static_cast<std::ptrdiff_t>(kept), lines.end()}));
}

void SpecWindow::Select(int number, int index) {
  auto* list = wxDynamicCast(Control(number), wxListBox);
  if (list == nullptr)
    return;
  const bool there = index >= 0 && static_cast<unsigned>(index) < list->GetCount();
  list->SetSelection(there ? index : wxNOT_FOUND);
  // Hidden, the city list gets its cursor now rather than when the window
  // comes back. Not while shown: before the window's first activation that
  // would reach the screen reader too early. Not for the report list either:
  // a list with a cursor is emptied row by row, each row a cursor move.
  if (there && number == kCityList && !IsShown())
    MoveListCursor(list, index);
}

void SpecWindow::SetText(int number, const std::string& text) {
  wxWindow* control = Control(number);
  if (auto* box = wxDynamicCast(control, wxTextCtrl)) {
    box->ChangeValue(wxString::FromUTF8(text));  // raises no event of its own
    return;
  }
  if (auto* label = wxDynamicCast(control, wxStaticText)) {
    label->SetLabelText(wxString::FromUTF8(text));
    // A label names the list under it: the heading names the report.
    const auto at = std::find_if(controls_.begin(), controls_.end(),
                                 [label](const auto& c) { return c.second == label; });
    if (at + 1 != controls_.end() && wxDynamicCast((at + 1)->second, wxListBox) != nullptr)
      SetAccessibleName((at + 1)->second, text);
  }
}

void SpecWindow::SetProgress(int percent) {
  if (bar_ == nullptr)
    return;
  if (percent < 0) {
    if (!pulse_.IsRunning())
      pulse_.Start(200);
    return;
  }
  pulse_.Stop();
  bar_->SetValue(percent);
}

void SpecWindow::DropLines() {
  for (const auto& [number, control] : controls_) {
    if (auto* list = wxDynamicCast(control, wxListBox))
      DropListLines(list);
  }
}

void SpecWindow::OnCharHook(wxKeyEvent& event) {
  const Shortcut pressed = ShortcutFromKeyEvent(event);
  const int command = CommandForKey(spec_.kind, pressed, FocusedControl());
  if (command == 0) {
    event.Skip();
    return;
  }
  if (spec_.kind != WindowKind::main && pressed.key == Shortcut::Key::escape) {
    // Closed when the key comes up: a release that Orca handles between this
    // window's deactivation and the main window's activation makes it take
    // the main window for already active, and it does not announce it.
    on_key_up_ = command;
    return;
  }
  Run(command);
}

void SpecWindow::OnKeyUp(wxKeyEvent& event) {
  event.Skip();
  if (const int command = std::exchange(on_key_up_, 0); command != 0)
    Run(command);
}

void SpecWindow::Report(CoreGate::Handler handler) {
  if (g_events_held == 0)
    gate_.Run(std::move(handler));
}

void SpecWindow::Run(int command) {
  Report([command](App& app) { RunCommand(app, command); });
}

}  // namespace skyvigil
