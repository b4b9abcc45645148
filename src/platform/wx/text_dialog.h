// The modal one-line input box: a title, a prompt, an edit field and OK.
#pragma once

#include <optional>
#include <string>

#include "ports/ui.h"

class wxWindow;

namespace skyvigil {

// Enter or OK gives the field's text, Escape or closing nullopt. All texts
// are UTF-8.
std::optional<std::string> AskTextDialog(wxWindow* parent, const TextPrompt& prompt);

}  // namespace skyvigil
