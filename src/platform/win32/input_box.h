// The modal one-line input box (a title, a prompt, an edit field and OK) and
// the weather service key box, built from in-memory dialog templates.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace skyvigil {

class AccessibleNames;

// Enter or OK gives the field's text, Escape or closing gives empty text. The
// field starts with `initial`, the cursor at its end, and is named by `prompt`.
std::wstring AskInputBox(HWND owner, AccessibleNames& names, const std::wstring& title,
                         const std::wstring& prompt, const std::wstring& initial);

// The texts of the key box, UTF-16.
struct KeyBoxTexts {
  std::wstring title, explanation, address, label, problem, initial;
};

// The explanation, the address in a read-only box, the problem, the key field
// named by `label`, OK and Cancel. nullopt on Cancel, Escape or closing.
std::optional<std::wstring> AskKeyBox(HWND owner, AccessibleNames& names, const KeyBoxTexts& texts);

}  // namespace skyvigil
