// Window 1: the forecast, search results or history window. Each has a title
// bar only, belongs to the main window and leaves it usable.
#pragma once

#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "app/core_gate.h"
#include "app/window_specs.h"

namespace skyvigil {

class SecondaryWindow : public wxFrame {
 public:
  using Kind = SecondaryWindowKind;

  // The window `spec` describes, its list holding `lines` with line 0
  // selected, and the list focused.
  static SecondaryWindow* Open(wxWindow* owner, CoreGate& gate, Kind kind,
                               const std::vector<std::string>& lines);

  Kind kind() const { return spec_.kind; }
  wxListBox* list() const { return list_; }
  wxTextCtrl* detail_box() const { return detail_box_; }  // null in the results window

 private:
  SecondaryWindow(wxWindow* owner, CoreGate& gate, const WindowSpec& spec);
  void AddControl(const ControlSpec& control, wxWindow*& last_label);
  int Scaled(int length) const { return static_cast<int>(length * scale_ + 0.5); }
  void OnCharHook(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void ShowWithKeys();

  CoreGate& gate_;
  const WindowSpec& spec_;
  double scale_ = 1.0;  // of the WindowSpec's places, with the text size
  wxListBox* list_ = nullptr;
  wxTextCtrl* detail_box_ = nullptr;
  bool close_on_key_up_ = false;
};

}  // namespace skyvigil
