// Each dialog after a Redraw.
#include "views/dialogs.h"

#include "views/render.h"

namespace skyvigil {

void ShowMessage(App& app, const std::string& title, const std::string& text, MessageIcon icon) {
  Redraw(app);
  app.ui.ShowMessage(title, text, icon);
}

bool AskYesNo(App& app, const std::string& title, const std::string& text) {
  Redraw(app);
  return app.ui.AskYesNo(title, text);
}

std::optional<std::string> AskText(App& app, const TextPrompt& prompt) {
  Redraw(app);
  return app.ui.AskText(prompt);
}

std::optional<std::string> AskServiceKey(App& app, const KeyPrompt& prompt, KeyTrial& trial) {
  Redraw(app);
  return app.ui.AskServiceKey(prompt, trial);
}

}  // namespace skyvigil
