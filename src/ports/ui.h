// What the core needs from the desktop: to show the screen the core rendered
// (as the changes since the last one), modal dialogs, and the clipboard. Each
// desktop implements it; tests use a recording fake. Everything a window
// shows comes through Apply; what the user does comes back as the events of
// app/commands.h.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/screen.h"

namespace skyvigil {

enum class MessageIcon { none, error };

// A one-line input box: its title, the prompt that labels and names its
// field, and the field's first text (the cursor at its end).
struct TextPrompt {
  std::string title;
  std::string prompt;
  std::string initial;
};

// The texts of the "Weather Service Key" dialog; the core writes them.
struct KeyPrompt {
  std::string title;
  std::string explanation;  // a few lines on where the key comes from
  std::string address;      // the sign-up page, in a read-only box to select and copy
  std::string label;        // names the key's input field
  std::string problem;      // why the last key was not kept; empty the first time
  std::string initial;      // the field's text
};

// Tries a key while the key dialog stays open and answerable; the core
// implements it and keeps its state. The dialog calls Start on OK (or Enter
// in the field) and Cancel on Escape, Cancel or its close box.
class KeyTrial {
 public:
  virtual ~KeyTrial() = default;
  // Tries `key` unless a trial runs already. `done` runs later on the main
  // thread, inside the dialog's own loop; the dialog then ends with the key
  // it holds. Never runs after Cancel.
  virtual void Start(const std::string& key, std::function<void()> done) = 0;
  // Ends a trial that runs; the dialog then ends cancelled.
  virtual void Cancel() = 0;
  // While true, the dialog's OK button is disabled.
  virtual bool Trying() const = 0;
};

class UiPort {
 public:
  virtual ~UiPort() = default;

  // Carries out the changes, in order (ports/screen.h). Nothing the desktop
  // does here reaches the core as an event.
  virtual void Apply(const std::vector<ScreenChange>& changes) = 0;

  // Modal dialogs, owned by the program's active window when there is one
  // (app/window_specs.h has their fixed texts, names and sizes).
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // The field's text on OK or Enter; nullopt on Escape, Cancel or closing.
  virtual std::optional<std::string> AskText(const TextPrompt& prompt) = 0;
  // The key dialog: the explanation, the address box, the problem (when not
  // empty), the labelled key field, OK and Cancel. OK starts `trial` with the
  // field's text; the dialog ends with that text when the trial is done.
  // nullopt when cancelled.
  virtual std::optional<std::string> AskServiceKey(const KeyPrompt& prompt, KeyTrial& trial) = 0;

  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace skyvigil
