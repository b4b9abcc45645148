// Virtual keys to the core's shortcuts, and back for the system-wide keys.
#include "platform/win32/desktop/win_keys.h"

#include <array>

namespace skyvigil {

namespace {

struct KeyName {
  Shortcut::Key key;
  char character;
  WORD virtual_key;
};

// Letters and digits of the main keyboard have virtual keys equal to their
// upper-case characters and are not listed; the "=" key (with Shift "+" on
// most layouts), the minus key and the keypad's are.
constexpr std::array kNamedKeys = {
    KeyName{Shortcut::Key::escape, 0, VK_ESCAPE},
    KeyName{Shortcut::Key::enter, 0, VK_RETURN},
    KeyName{Shortcut::Key::del, 0, VK_DELETE},
    KeyName{Shortcut::Key::character, '=', VK_OEM_PLUS},
    KeyName{Shortcut::Key::character, '-', VK_OEM_MINUS},
    KeyName{Shortcut::Key::character, '+', VK_ADD},
    KeyName{Shortcut::Key::character, '-', VK_SUBTRACT},
};

bool IsLetterOrDigit(WPARAM key) {
  return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

}  // namespace

Shortcut PressedKey(WPARAM virtual_key) {
  Shortcut pressed;
  if (IsLetterOrDigit(virtual_key)) {
    pressed.key = Shortcut::Key::character;
    pressed.character = static_cast<char>(virtual_key);
  }
  for (const KeyName& name : kNamedKeys) {
    if (name.virtual_key == virtual_key) {
      pressed.key = name.key;
      pressed.character = name.character;
    }
  }
  pressed.control = GetKeyState(VK_CONTROL) < 0;
  pressed.shift = GetKeyState(VK_SHIFT) < 0;
  pressed.alt = GetKeyState(VK_MENU) < 0;
  return pressed;
}

void RegisterSystemWideKeys(HWND window) {
  for (const CommandInfo& command : MainWindowCommands()) {
    if (!command.system_wide)
      continue;
    const Shortcut& key = command.shortcut;
    WORD virtual_key = 0;
    if (key.key == Shortcut::Key::character && IsLetterOrDigit(static_cast<WPARAM>(key.character)))
      virtual_key = static_cast<WORD>(key.character);
    for (const KeyName& name : kNamedKeys) {
      if (name.key == key.key && name.character == key.character && virtual_key == 0)
        virtual_key = name.virtual_key;
    }
    if (virtual_key == 0)
      continue;
    UINT modifiers = MOD_NOREPEAT;
    modifiers |= key.control ? MOD_CONTROL : 0;
    modifiers |= key.shift ? MOD_SHIFT : 0;
    modifiers |= key.alt ? MOD_ALT : 0;
    RegisterHotKey(window, command.number, modifiers, virtual_key);
  }
}

}  // namespace skyvigil
