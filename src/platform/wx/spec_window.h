// A window built from its WindowSpec: its numbered controls, and what the
// user does in them reported to the core (selections, focus, keys, buttons,
// the close request). The main window adds its menus and layout; the
// secondary and download windows are this alone.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/timer.h>

#include "app/core_gate.h"
#include "app/window_specs.h"

namespace skyvigil {

// While one lives, the controls report nothing to the core: what the core
// applies is not something the user did.
class EventsHeld {
 public:
  EventsHeld();
  ~EventsHeld();
  EventsHeld(const EventsHeld&) = delete;
  EventsHeld& operator=(const EventsHeld&) = delete;
};

class SpecWindow : public wxFrame {
 public:
  // Built hidden, over `owner`; places and sizes grown by `scale`.
  SpecWindow(wxWindow* owner, CoreGate& gate, WindowKind kind, const std::string& title, long style,
             double scale);

  // A secondary or download window of `kind` over `owner`, hidden, its places
  // grown with the text as far as the screen has room.
  static SpecWindow* Open(wxWindow* owner, CoreGate& gate, WindowKind kind);

  WindowKind kind() const { return spec_.kind; }
  // The control numbered `number`, or null when this window has none.
  wxWindow* Control(int number) const;
  // The number of this window's control that has the focus, or -1.
  int FocusedControl() const;

  // What Apply asks of a control of this window.
  void SetLines(int number, const std::vector<std::string>& lines);
  void Select(int number, int index);
  void SetText(int number, const std::string& text);
  void SetProgress(int percent);
  // Takes the lists' lines out of the screen reader's view at once, before
  // the window goes.
  void DropLines();

 protected:
  // Hands `handler` to the core, unless the core's own changes are applied.
  void Report(CoreGate::Handler handler);
  void Run(int command);

 private:
  void AddControl(const ControlSpec& control, wxWindow*& last_label);
  void BindList(wxListBox* list, int number);
  int Scaled(int length) const { return static_cast<int>(length * scale_ + 0.5); }
  void OnCharHook(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);

  CoreGate& gate_;
  const WindowSpec& spec_;
  double scale_;
  std::vector<std::pair<int, wxWindow*>> controls_;
  wxGauge* bar_ = nullptr;
  wxTimer pulse_;      // a bar of unknown length moves while it waits
  int on_key_up_ = 0;  // a command Escape runs once the key comes up
};

}  // namespace skyvigil
