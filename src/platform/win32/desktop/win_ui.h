// The core's view of the desktop on plain Win32: carries out the screen's
// changes on the main, secondary and download windows and the tray icon,
// runs the modal dialogs and the clipboard; and tells the core of the keys
// and the focus the user moves.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ports/ui.h"

namespace skyvigil {

class AccessibleNames;
class CoreGate;
class MainWindow;
class SpecWindow;

class WinUi : public UiPort {
 public:
  WinUi(CoreGate& gate, AccessibleNames& names);
  ~WinUi() override;

  // The main window, hidden, with its tray icon; the screen fills and shows it.
  HWND BuildMainWindow(const std::string& title, HICON small_icon);

  void Apply(const std::vector<ScreenChange>& changes) override;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  std::optional<std::string> AskText(const TextPrompt& prompt) override;
  std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) override;
  void SetClipboardText(const std::string& text) override;

  // A key pressed in one of the windows: runs the command the core gives it
  // (Enter on a button presses the button), moves between the controls with
  // Tab; false leaves it to the focused control.
  bool TakeKey(MSG& message);
  // After each message: a focus the user moved is reported to the core.
  void NoticeFocus();

 private:
  void Carry(const screen_change::SetTextSize& change);
  void Carry(const screen_change::SetLines& change);
  void Carry(const screen_change::Select& change);
  void Carry(const screen_change::SetText& change);
  void Carry(const screen_change::SetChecked& change);
  void Carry(const screen_change::OpenSecondary& change);
  void Carry(const screen_change::CloseSecondary& change);
  void Carry(const screen_change::OpenDownload& change);
  void Carry(const screen_change::SetProgress& change);
  void Carry(const screen_change::CloseDownload& change);
  void Carry(const screen_change::SetTooltip& change);
  void Carry(const screen_change::ShowMain& change);
  void Carry(const screen_change::HideMain& change);
  void Carry(const screen_change::MinimiseMain& change);
  void Carry(const screen_change::Focus& change);
  void Carry(const screen_change::RemoveTray& change);
  void Carry(const screen_change::CloseMain& change);

  // The open window that holds control `number`, or null.
  SpecWindow* WindowWith(int number) const;
  // The open window whose top-level window is `root`, or null.
  SpecWindow* WindowOf(HWND root) const;
  // The window that gets the focus of this Apply activates on that control.
  void RememberComingFocus(SpecWindow* window) const;

  CoreGate& gate_;
  AccessibleNames& names_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<SpecWindow> secondary_;  // when open
  std::unique_ptr<SpecWindow> download_;   // the update download's, when open
  bool shown_once_ = false;
  // Whether the window was minimised when it was hidden: shown again so.
  bool was_minimized_ = false;
  int coming_focus_ = -1;      // the Focus change of the Apply under way
  HWND focus_seen_ = nullptr;  // the focus the core knows of
};

}  // namespace skyvigil
