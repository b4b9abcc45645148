// Key event translation for the main window's shortcuts.
#include "platform/wx/key_shortcut.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace skyvigil {

Shortcut ShortcutFromKeyEvent(const wxKeyEvent& event) {
  Shortcut pressed;
  pressed.control = event.ControlDown();
  pressed.shift = event.ShiftDown();
  pressed.alt = event.AltDown();
  const int code = event.GetKeyCode();
  switch (code) {
    case WXK_ESCAPE:
      pressed.key = Shortcut::Key::escape;
      return pressed;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      pressed.key = Shortcut::Key::enter;
      return pressed;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE:
      pressed.key = Shortcut::Key::del;
      return pressed;
    case '+':
    case '=':
    case '-':
      pressed.key = Shortcut::Key::character;
      pressed.character = static_cast<char>(code);
      return pressed;
    case WXK_NUMPAD_ADD:
      pressed.key = Shortcut::Key::character;
      pressed.character = '+';
      return pressed;
    case WXK_NUMPAD_SUBTRACT:
      pressed.key = Shortcut::Key::character;
      pressed.character = '-';
      return pressed;
    default:
      break;
  }
  // Key-down codes of letters are upper case, but some layouts deliver the
  // shifted letter in lower case; keypad digits have codes of their own.
  if (code >= 'a' && code <= 'z') {
    pressed.key = Shortcut::Key::character;
    pressed.character = static_cast<char>(code - 'a' + 'A');
  } else if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    pressed.key = Shortcut::Key::character;
    pressed.character = static_cast<char>(code);
  }
  return pressed;
}

std::optional<Shortcut> EnterKeyInProgress() {
#ifdef __WXGTK__
  GdkEvent* event = gtk_get_current_event();
  if (event == nullptr)
    return std::nullopt;
  std::optional<Shortcut> pressed;
  if (event->type == GDK_KEY_PRESS) {
    const GdkEventKey& key = event->key;
    if (key.keyval == GDK_KEY_Return || key.keyval == GDK_KEY_KP_Enter ||
        key.keyval == GDK_KEY_ISO_Enter) {
      pressed.emplace();
      pressed->key = Shortcut::Key::enter;
      pressed->control = (key.state & GDK_CONTROL_MASK) != 0;
      pressed->shift = (key.state & GDK_SHIFT_MASK) != 0;
      pressed->alt = (key.state & GDK_MOD1_MASK) != 0;
    }
  }
  gdk_event_free(event);
  return pressed;
#else
  return std::nullopt;
#endif
}

}  // namespace skyvigil
