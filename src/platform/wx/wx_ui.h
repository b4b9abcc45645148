// The core's view of the desktop on wxWidgets: the screen's changes carried
// out on the windows and the tray icon, modal dialogs and the clipboard.
#pragma once

#include <string>
#include <vector>

#include "ports/ui.h"

namespace skyvigil {

class CoreGate;
class MainFrame;
class SpecWindow;
class TrayIcon;

class WxUi : public UiPort {
 public:
  explicit WxUi(CoreGate& gate);

  // Until the window stands, dialogs have no owner.
  void Attach(MainFrame* frame, TrayIcon* tray);

  void Apply(const std::vector<ScreenChange>& changes) override;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  std::optional<std::string> AskText(const TextPrompt& prompt) override;
  std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) override;
  void SetClipboardText(const std::string& text) override;

 private:
  // The open window that holds control `number`, or null.
  SpecWindow* WindowOf(int number) const;
  void Focus(int number);

  CoreGate& gate_;
  MainFrame* frame_ = nullptr;
  TrayIcon* tray_ = nullptr;
  SpecWindow* secondary_ = nullptr;  // the secondary window, when open
  SpecWindow* download_ = nullptr;   // the update download's, when open
};

}  // namespace skyvigil
