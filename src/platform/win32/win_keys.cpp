// Accelerator tables from the core's shortcut functions.
#include "platform/win32/win_keys.h"

#include <vector>

namespace skyvigil {

namespace {

constexpr wchar_t kAcceleratorsProperty[] = L"SkyvigilAccelerators";

struct KeyCandidate {
  Shortcut::Key key;
  char character;
  WORD virtual_key;
};

std::vector<KeyCandidate> Candidates() {
  std::vector<KeyCandidate> keys = {{Shortcut::Key::escape, 0, VK_ESCAPE},
                                    {Shortcut::Key::enter, 0, VK_RETURN},
                                    {Shortcut::Key::del, 0, VK_DELETE}};
  // Letters and digits of the main keyboard have virtual keys equal to their
  // upper-case characters; the keypad's digits have codes of their own.
  for (char c = 'A'; c <= 'Z'; ++c)
    keys.push_back({Shortcut::Key::character, c, static_cast<WORD>(c)});
  for (char c = '0'; c <= '9'; ++c)
    keys.push_back({Shortcut::Key::character, c, static_cast<WORD>(c)});
  // The "=" key (with Shift "+" on most layouts), the minus key and the keypad's.
  keys.push_back({Shortcut::Key::character, '=', VK_OEM_PLUS});
  keys.push_back({Shortcut::Key::character, '-', VK_OEM_MINUS});
  keys.push_back({Shortcut::Key::character, '+', VK_ADD});
  keys.push_back({Shortcut::Key::character, '-', VK_SUBTRACT});
  return keys;
}

}  // namespace

HACCEL AcceleratorsFor(CommandForKey command_for) {
  std::vector<ACCEL> table;
  for (const KeyCandidate& candidate : Candidates()) {
    for (int modifiers = 0; modifiers < 8; ++modifiers) {
      Shortcut pressed;
      pressed.key = candidate.key;
      pressed.character = candidate.character;
      pressed.control = (modifiers & 1) != 0;
      pressed.shift = (modifiers & 2) != 0;
      pressed.alt = (modifiers & 4) != 0;
      const int command = command_for(pressed);
      if (command == 0)
        continue;
      BYTE flags = FVIRTKEY;
      flags |= pressed.control ? FCONTROL : 0;
      flags |= pressed.shift ? FSHIFT : 0;
      flags |= pressed.alt ? FALT : 0;
      table.push_back(ACCEL{flags, candidate.virtual_key, static_cast<WORD>(command)});
    }
  }
  return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void RegisterSystemWideKeys(HWND window) {
  for (const CommandInfo& command : MainWindowCommands()) {
    if (!command.system_wide)
      continue;
    const Shortcut& key = command.shortcut;
    for (const KeyCandidate& candidate : Candidates()) {
      if (candidate.key != key.key || candidate.character != key.character)
        continue;
      UINT modifiers = MOD_NOREPEAT;
      modifiers |= key.control ? MOD_CONTROL : 0;
      modifiers |= key.shift ? MOD_SHIFT : 0;
      modifiers |= key.alt ? MOD_ALT : 0;
      RegisterHotKey(window, command.number, modifiers, candidate.virtual_key);
      break;
    }
  }
}

void SetWindowAccelerators(HWND window, HACCEL table) {
  SetPropW(window, kAcceleratorsProperty, table);
}

HACCEL WindowAccelerators(HWND window) {
  return static_cast<HACCEL>(GetPropW(window, kAcceleratorsProperty));
}

}  // namespace skyvigil
