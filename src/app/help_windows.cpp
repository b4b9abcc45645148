// The Help menu's lines and windows.
#include "app/help_windows.h"

#include <algorithm>
#include <span>
#include <utility>

#include "app/window_specs.h"
#include "state/secondary_window.h"

namespace skyvigil {

namespace {

// As the repository's LICENSE file and the packages say.
constexpr char kLicence[] = "MIT License";

std::string CharacterName(char c) {
  switch (c) {
    case '+':
      return "Plus";
    case '-':
      return "Minus";
    case '=':
      return "Equals";
    default:
      return std::string(1, c);
  }
}

bool SameKey(const Shortcut& a, const Shortcut& b) {
  return KeyName(a) == KeyName(b);
}

// A key of the other windows, with the titles of the windows it works in.
struct WindowKeyLine {
  Shortcut key;
  int command;
  std::string windows;
};

}  // namespace

std::string KeyName(const Shortcut& key) {
  std::string name;
  if (key.control)
    name += "Control+";
  if (key.alt)
    name += "Alt+";
  if (key.shift)
    name += "Shift+";
  switch (key.key) {
    case Shortcut::Key::none:
      return "";
    case Shortcut::Key::escape:
      return name + "Escape";
    case Shortcut::Key::enter:
      return name + "Enter";
    case Shortcut::Key::del:
      return name + "Delete";
    case Shortcut::Key::character:
      return name + CharacterName(key.character);
  }
  return name;
}

std::vector<std::string> ShortcutLines(const DesktopFacts& desktop) {
  std::vector<std::string> lines;
  auto add = [&lines](const Shortcut& key, int command, std::string_view where = {}) {
    lines.push_back(KeyName(key) + std::string(where) + ": " + std::string(CommandName(command)));
  };
  const std::span<const CommandInfo> menu = MainWindowCommands();
  for (const CommandInfo& info : menu) {
    if (info.shortcut.key != Shortcut::Key::none && !info.system_wide)
      add(info.shortcut, info.number);
  }
  for (const KeyRow& row : SpecOf(WindowKind::main).keys)
    add(row.key, row.command);

  std::vector<WindowKeyLine> others;
  for (int kind = static_cast<int>(WindowKind::main) + 1;
       kind <= static_cast<int>(WindowKind::about); ++kind) {
    const WindowSpec& spec = SpecOf(static_cast<WindowKind>(kind));
    for (const KeyRow& row : spec.keys) {
      auto same = std::find_if(others.begin(), others.end(), [&row](const WindowKeyLine& l) {
        return l.command == row.command && SameKey(l.key, row.key);
      });
      if (same == others.end())
        others.push_back({row.key, row.command, std::string(spec.title)});
      else
        same->windows += ", " + std::string(spec.title);
    }
  }
  for (const WindowKeyLine& line : others)
    add(line.key, line.command, " in " + line.windows);

  if (desktop.system_wide_keys) {
    for (const CommandInfo& info : menu) {
      if (info.system_wide)
        add(info.shortcut, info.number);
    }
  }
  return lines;
}

std::vector<std::string> AboutLines(const AppState& s) {
  std::vector<std::string> lines = {
      "Skyvigil " + s.version_text,
      "Settings are kept in " + s.paths.prefs_file.string(),
      "Cities are kept in " + s.paths.cities_file.string(),
      "Sent to the weather service at " + s.service.base_address +
          ": the service key and each city's name.",
      "A search sends what was typed in its box.",
  };
  if (!s.service.update_address.empty())
    lines.push_back("The update check asks " + s.service.update_address);
  lines.push_back(std::string("Licence: ") + kLicence);
  return lines;
}

void OpenKeyboardShortcuts(App& app) {
  std::vector<std::string> lines = ShortcutLines(app.state.desktop);
  OpenSecondaryWindow(app, WindowKind::shortcuts).lines = std::move(lines);
}

void OpenAbout(App& app) {
  std::vector<std::string> lines = AboutLines(app.state);
  OpenSecondaryWindow(app, WindowKind::about).lines = std::move(lines);
}

}  // namespace skyvigil
