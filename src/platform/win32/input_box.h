// The modal one-line input box: a title, a prompt, an edit field and OK,
// built from an in-memory dialog template.
#pragma once

#include <windows.h>

#include <string>

namespace skyvigil {

class AccessibleNames;

// Enter or OK gives the field's text, Escape or closing gives empty text. The
// field starts with `initial`, the cursor at its end, and is named by `prompt`.
std::wstring AskInputBox(HWND owner, AccessibleNames& names, const std::wstring& title,
                         const std::wstring& prompt, const std::wstring& initial);

}  // namespace skyvigil
