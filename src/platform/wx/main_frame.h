// Window 0: the city list, the current-weather report with its heading and
// detail box, the menu bar, the shortcuts and the refresh timer.
#pragma once

#include <string>

#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "app/core_gate.h"

namespace skyvigil {

class MainFrame : public wxFrame {
 public:
  // Built hidden; ShowAtStart shows it once its lists are filled.
  MainFrame(CoreGate& gate, const std::string& title);
  // Shows the window with the city list focused. Filled while hidden, the
  // list already has its keyboard cursor on the selected city (WxUi sets it).
  // Shown before the lists were filled, the window reached the screen reader
  // with an empty list: the cursor GTK then placed when the list took the
  // focus was sometimes heard before the window, and only the line was read.
  void ShowAtStart();

  wxListBox* city_list() const { return city_list_; }
  wxStaticText* heading() const { return heading_; }
  wxListBox* report_list() const { return report_list_; }
  wxTextCtrl* detail_box() const { return detail_box_; }

  // One-shot: the core's briefing check runs after `seconds`.
  void StartBriefingTimer(int seconds);

  // Places the controls again for the window's size, font and lines.
  void LayOut();
  // Every window's text at `percent` of the system's size; this one laid out again.
  void SetTextPercent(int percent);

 private:
  void BuildMenus();

  void OnCharHook(wxKeyEvent& event);
  void OnMenu(wxCommandEvent& event);
  void OnTimer(wxTimerEvent& event);
  void OnActivate(wxActivateEvent& event);
  void OnClose(wxCloseEvent& event);

  CoreGate& gate_;
  wxStaticText* areas_label_ = nullptr;
  wxListBox* city_list_ = nullptr;
  wxStaticText* heading_ = nullptr;
  wxListBox* report_list_ = nullptr;
  wxTextCtrl* detail_box_ = nullptr;
  wxTimer refresh_timer_;
  wxTimer briefing_timer_;  // its own owner, so its events never mix with the refresh's
};

}  // namespace skyvigil
