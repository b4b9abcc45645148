// The modal dialogs as the core opens them: each over the screen as the state
// is now (a Redraw first), so no dialog stands over a window that is out of
// date. The core calls these, never the UI port's dialogs directly.
#pragma once

#include <optional>
#include <string>

#include "state/app_state.h"

namespace skyvigil {

void ShowMessage(App& app, const std::string& title, const std::string& text,
                 MessageIcon icon = MessageIcon::none);
bool AskYesNo(App& app, const std::string& title, const std::string& text);
// The field's text; nullopt for Escape, Cancel or closing.
std::optional<std::string> AskText(App& app, const TextPrompt& prompt);
std::optional<std::string> AskServiceKey(App& app, const KeyPrompt& prompt, KeyTrial& trial);

}  // namespace skyvigil
