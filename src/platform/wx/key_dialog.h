// The "Weather Service Key" dialog on wx: explanation, the sign-up address in a
// read-only box, the last problem, the labelled key field, OK and Cancel.
#pragma once

#include <optional>
#include <string>

#include "ports/ui.h"

class wxWindow;

namespace skyvigil {

// OK starts `trial`; the dialog stays open, and answers, until it is done.
// nullopt when cancelled (Escape, Cancel or closing), which cancels a trial.
std::optional<std::string> AskKeyDialog(wxWindow* parent, const KeyPrompt& prompt, KeyTrial& trial);

}  // namespace skyvigil
