// The Help menu's windows: the keys' list made from the command table and the
// windows' key rows, and what About says.
#include "app/help_windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_specs.h"
#include "fakes/app_harness.h"
#include "fakes/screen_text.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;

int LinesStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  return static_cast<int>(std::count_if(
      lines.begin(), lines.end(), [&start](const auto& line) { return line.starts_with(start); }));
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += (text.empty() ? "" : "|") + line;
  return text;
}

TEST(KeyName, ModifiersInOneOrderThenTheKey) {
  using K = Shortcut::Key;
  const std::pair<Shortcut, const char*> cases[] = {
      {{K::escape}, "Escape"},
      {{K::enter, 0, false, true}, "Shift+Enter"},
      {{K::del}, "Delete"},
      {{K::character, 'N', true}, "Control+N"},
      {{K::character, '+', true}, "Control+Plus"},
      {{K::character, '-', true}, "Control+Minus"},
      {{K::character, '=', true, true}, "Control+Shift+Equals"},
      {{K::character, 'W', true, true, true}, "Control+Alt+Shift+W"},
      {{}, ""},
  };
  for (const auto& [key, name] : cases)
    EXPECT_EQ(KeyName(key), name);
}

// Every command with a key in the menus, and every key row of every window,
// is listed once; the system-wide keys only where the desktop has them.
TEST(ShortcutLines, EveryKeyOnceFromTheTables) {
  for (const bool system_wide : {true, false}) {
    SCOPED_TRACE(system_wide);
    const std::vector<std::string> lines = ShortcutLines({true, system_wide});
    size_t listed = 0;
    for (const CommandInfo& info : MainWindowCommands()) {
      if (info.shortcut.key == Shortcut::Key::none)
        continue;
      const std::string line =
          KeyName(info.shortcut) + ": " + std::string(CommandName(info.number));
      const bool shown = !info.system_wide || system_wide;
      EXPECT_EQ(LinesStartingWith(lines, KeyName(info.shortcut) + ":"), shown ? 1 : 0) << line;
      EXPECT_EQ(std::count(lines.begin(), lines.end(), line), shown ? 1 : 0) << line;
      listed += shown ? 1 : 0;
    }
    for (const KeyRow& row : SpecOf(WindowKind::main).keys) {
      EXPECT_EQ(
          LinesStartingWith(lines, KeyName(row.key) + ": " + std::string(CommandName(row.command))),
          1);
      ++listed;
    }
    for (int kind = 1; kind <= static_cast<int>(WindowKind::about); ++kind) {
      const WindowSpec& spec = SpecOf(static_cast<WindowKind>(kind));
      for (const KeyRow& row : spec.keys) {
        const std::string key = KeyName(row.key) + " in ";
        const std::string does = ": " + std::string(CommandName(row.command));
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& line) {
                                  return line.starts_with(key) && line.ends_with(does) &&
                                         line.find(std::string(spec.title)) != std::string::npos;
                                }),
                  1)
            << key << spec.title << does;
      }
    }
    EXPECT_EQ(lines.size(), listed + 5);  // the other windows' keys, grouped
  }
}

TEST(ShortcutLines, NamesAsTheUserReadsThem) {
  const std::vector<std::string> lines = ShortcutLines({true, true});
  EXPECT_EQ(lines.front(), "Escape: Hide Window");
  EXPECT_EQ(lines[2], "Control+N: Add City");
  EXPECT_THAT(std::vector(lines.end() - 6, lines.end()),
              ElementsAre("Escape in Forecast, Results, History, Next Hours, Alert details, "
                          "Keyboard Shortcuts, About Skyvigil: Close the window",
                          "Control+Shift+C in Forecast, History, Next Hours, Alert details, "
                          "Keyboard Shortcuts, About Skyvigil: Copy focused item to clipboard",
                          "Enter in Forecast: Open the selected alert",
                          "Enter in Results: Add the selected city",
                          "Escape in Downloading update: Cancel the download",
                          "Control+Alt+Shift+W: Speak Summary from Any Program"));
}

TEST(AboutLines, VersionPathsWhatIsSentAndTheLicence) {
  AppState s;
  s.version_text = "2.1.0, build 42";
  s.paths.prefs_file = "/home/ann/.config/skyvigil/prefs.ini";
  s.paths.cities_file = "/home/ann/.local/share/skyvigil/cities.json";
  s.service.base_address = "https://api.weatherapi.com/v1";
  const std::vector<std::string> plain = {
      "Skyvigil 2.1.0, build 42",
      "Settings are kept in /home/ann/.config/skyvigil/prefs.ini",
      "Cities are kept in /home/ann/.local/share/skyvigil/cities.json",
      "Sent to the weather service at https://api.weatherapi.com/v1: the service key and each "
      "city's name.",
      "A search sends what was typed in its box.",
      "Licence: MIT License"};
  EXPECT_EQ(AboutLines(s), plain);
  s.service.update_address = "https://updates.example.org/skyvigil";
  EXPECT_EQ(AboutLines(s)[5], "The update check asks https://updates.example.org/skyvigil");
}

// Opened from the menu, read line by line, a line copied, closed by Escape.
TEST(HelpWindows, OpenFromTheMenuCopyALineAndCloseWithEscape) {
  testing::AppHarness h;
  h.app.state.main_window.started = true;
  h.Draw();
  h.ui.changes.clear();
  h.Run([](App& app) { RunCommand(app, kKeyboardShortcuts); });
  const std::vector<std::string> lines = ShortcutLines(h.app.state.desktop);
  EXPECT_THAT(
      testing::Described(h.ui.changes),
      ElementsAre("open shortcuts", "lines 401: " + Joined(lines), "select 401 0", "focus 401"));
  h.Run([](App& app) { OnSelect(app, kListList, 2); });
  const Shortcut copy{Shortcut::Key::character, 'C', true, true};
  h.Run([&](App& app) { RunCommand(app, CommandForKey(WindowKind::shortcuts, copy, 401)); });
  EXPECT_EQ(h.ui.clipboard, "Control+N: Add City");

  h.Run([](App& app) { RunCommand(app, kAbout); });
  EXPECT_EQ(h.Drawn().secondary->kind, WindowKind::about);
  EXPECT_EQ(h.Drawn().secondary->list.lines, AboutLines(h.app.state));
  h.ui.changes.clear();
  h.Run([](App& app) {
    RunCommand(app, CommandForKey(WindowKind::about, Shortcut{Shortcut::Key::escape}, 401));
  });
  EXPECT_THAT(testing::Described(h.ui.changes), ElementsAre("close secondary", "focus 1"));
}

}  // namespace
}  // namespace skyvigil
