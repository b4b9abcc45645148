// The modal one-line input box: a title, a prompt, an edit field and OK.
#pragma once

#include <optional>
#include <string>

class wxWindow;

namespace skyvigil {

// Enter or OK gives the field's text, Escape or closing nullopt. All texts
// are UTF-8.
std::optional<std::string> AskTextDialog(wxWindow* parent, const std::string& title,
                                         const std::string& prompt, const std::string& initial);

}  // namespace skyvigil
