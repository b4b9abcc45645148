// A stand-in for the desktop: keeps the changes it was given and answers the
// dialogs from scripted replies.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/ui.h"

namespace skyvigil::testing {

class FakeUi : public UiPort {
 public:
  std::vector<ScreenChange> changes;  // every change applied, in order
  std::string clipboard;

  // Scripted answers; an unexpected dialog fails the test.
  std::deque<std::optional<std::string>> text_answers;  // nullopt: Escape
  std::deque<bool> yes_no_answers;
  std::deque<std::optional<std::string>> key_answers;  // nullopt: Cancel
  std::vector<KeyPrompt> key_prompts;                  // every key dialog shown
  // The key dialog's OK pressed again, then Escape, while the key is tried.
  bool escape_while_trying = false;
  // Runs the main thread's posted work while a dialog waits in its own loop.
  std::function<void()> await_main_thread;
  // Every dialog shown, as "title|text" (input boxes as "title|prompt|initial",
  // the key dialog as "title|problem|initial"), and a message's "|error".
  std::vector<std::string> dialogs;

  void Apply(const std::vector<ScreenChange>& applied) override {
    changes.insert(changes.end(), applied.begin(), applied.end());
  }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  std::optional<std::string> AskText(const TextPrompt& prompt) override;
  std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
};

}  // namespace skyvigil::testing
