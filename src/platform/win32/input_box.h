// The modal one-line input box (a title, a prompt, an edit field and OK) and
// the weather service key box, built from in-memory dialog templates.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ports/ui.h"

namespace skyvigil {

class AccessibleNames;

// Enter or OK gives the field's text, Escape or closing nullopt. The field
// starts with `initial`, the cursor at its end, and is named by `prompt`.
std::optional<std::wstring> AskInputBox(HWND owner, AccessibleNames& names,
                                        const std::wstring& title, const std::wstring& prompt,
                                        const std::wstring& initial);

// The texts of the key box, UTF-16.
struct KeyBoxTexts {
  std::wstring title, explanation, address, label, problem, initial;
};

// The explanation, the address in a read-only box, the problem, the key field
// named by `label`, OK and Cancel. OK starts `trial` and the box ends when it
// is done; nullopt on Cancel, Escape or closing, which cancel a trial.
std::optional<std::wstring> AskKeyBox(HWND owner, AccessibleNames& names, const KeyBoxTexts& texts,
                                      KeyTrial& trial);

}  // namespace skyvigil
