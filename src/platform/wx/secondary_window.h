// Window 1: the forecast, search results, history or a list window. Each has a title
// bar only, belongs to the main window and leaves it usable.
#pragma once

#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "app/core_gate.h"

namespace skyvigil {

class SecondaryWindow : public wxFrame {
 public:
  enum class Kind { forecast, results, history, list };

  // "Forecast": label 100, list 101, read-only box 103, buttons 104 and 102.
  static SecondaryWindow* OpenForecast(wxWindow* owner, CoreGate& gate);
  // "Results": label 200, list 201 of `entries` with entry 0 selected and
  // focused, buttons 202 and 203.
  static SecondaryWindow* OpenResults(wxWindow* owner, CoreGate& gate,
                                      const std::vector<std::string>& entries);

  // "History": label 300, list 301 of `lines` with line 0 selected and focused.
  static SecondaryWindow* OpenHistory(wxWindow* owner, CoreGate& gate,
                                      const std::vector<std::string>& lines);

  // A list window of the core's: `title`, label 400 and list 401 named
  // `list_name` holding `lines`, line 0 selected and focused, buttons 402 and 403.
  static SecondaryWindow* OpenList(wxWindow* owner, CoreGate& gate, const std::string& title,
                                   const std::string& list_name,
                                   const std::vector<std::string>& lines);

  Kind kind() const { return kind_; }
  wxListBox* list() const { return list_; }
  wxTextCtrl* detail_box() const { return detail_box_; }  // null in the results window

 private:
  SecondaryWindow(wxWindow* owner, CoreGate& gate, Kind kind, const wxString& title);
  void AddButton(int control, const char* text, wxPoint position, wxSize size);
  void OnCharHook(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void ShowWithKeys();

  CoreGate& gate_;
  Kind kind_;
  wxListBox* list_ = nullptr;
  wxTextCtrl* detail_box_ = nullptr;
  bool close_on_key_up_ = false;
};

}  // namespace skyvigil
