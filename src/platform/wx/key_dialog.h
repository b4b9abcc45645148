// The "Weather Service Key" dialog on wx: explanation, the sign-up address in a
// read-only box, the last problem, the labelled key field, OK and Cancel.
#pragma once

#include <optional>
#include <string>

#include "ports/ui.h"

class wxWindow;

namespace skyvigil {

// nullopt when cancelled (Escape, Cancel or closing).
std::optional<std::string> AskKeyDialog(wxWindow* parent, const KeyPrompt& prompt);

}  // namespace skyvigil
