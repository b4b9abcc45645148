// The main window: built from its spec, laid out by the core's rule, with the
// menu bar; shown, hidden and brought back as the screen says.
#pragma once

#include <string>

#include "platform/wx/spec_window.h"

namespace skyvigil {

class MainFrame : public SpecWindow {
 public:
  // Built hidden; the screen fills it, then shows it.
  MainFrame(CoreGate& gate, const std::string& title);

  // `to_front` false: in the state it had when hidden (minimised, maximised
  // or normal and active); true: un-minimised, in front and active.
  void ShowAgain(bool to_front);
  void HideRemembering();
  // A check item's mark, as the core rendered it.
  void SetChecked(int command, bool checked);

  // Places the controls again for the window's size, font and lines.
  void LayOut();

 private:
  void BuildMenus();

  // The window's state when it was hidden, restored when it is shown again.
  bool was_iconized_ = false;
  bool was_maximized_ = false;
};

}  // namespace skyvigil
