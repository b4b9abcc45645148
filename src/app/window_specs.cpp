// The rows of every window, and the keys' commands.
#include "app/window_specs.h"

#include <algorithm>
#include <array>

namespace skyvigil {

namespace {

using K = ControlKind;

constexpr Shortcut Key(Shortcut::Key key) {
  return Shortcut{key, 0, false, false, false};
}
constexpr Shortcut Control(char c, bool shift = false) {
  return Shortcut{Shortcut::Key::character, c, true, shift, false};
}
constexpr Shortcut kEscape = Key(Shortcut::Key::escape);
constexpr Shortcut kEnter = Key(Shortcut::Key::enter);

// Placed by LayOutMainWindow; the rows' places are those of a window never
// laid out.
constexpr std::array kMainControls = {
    ControlSpec{kAreasLabel, K::label, "Areas", "", 0, 0, 20, 20},
    ControlSpec{kCityList, K::list, "", "Areas", 0, 20, 300, 800},
    ControlSpec{kHeading, K::label, "Current Weather", "", 600, 0, 40, 40},
    ControlSpec{kReportList, K::list, "", "Current Weather", 600, 20, 300, 800},
    ControlSpec{kDetailBox, K::read_only_box, "", "Details", 800, 20, 300, 800},
};

// "+" shares its key with "=" on most layouts, so Control+= and Control+Shift+=
// (a "+" typed with Shift) enlarge too, as in other programs.
constexpr std::array kMainKeys = {
    KeyRow{Control('='), kLargerText},
    KeyRow{Control('=', true), kLargerText},
    KeyRow{Control('+', true), kLargerText},
};

// Each label stands above its list, which screen readers take as its name too.
constexpr std::array kForecastControls = {
    ControlSpec{kForecastLabel, K::label, "Forecast", "", 0, 0, 20, 20},
    ControlSpec{kForecastList, K::list, "", "Forecast", 20, 20, 400, 580},
    ControlSpec{kForecastBox, K::read_only_box, "", "Details", 600, 0, 100, 200},
    ControlSpec{kForecastCopy, K::button, "Copy forecast", "", 800, 0, 40, 40, kCopyForecast},
    ControlSpec{kForecastClose, K::button, "Close", "", 800, 60, 40, 40, kCloseSecondaryWindow},
};

// Enter opens an alert from the list only: on a button it presses the button.
constexpr std::array kForecastKeys = {
    KeyRow{kEscape, kCloseSecondaryWindow},
    KeyRow{Control('C', true), kCopy},
    KeyRow{kEnter, kOpenAlert, kForecastList},
};

constexpr std::array kResultsControls = {
    ControlSpec{kResultsLabel, K::label, "Results", "", 0, 0, 20, 20},
    ControlSpec{kResultsList, K::list, "", "Results", 20, 20, 400, 580},
    ControlSpec{kResultsAdd, K::button, "Add", "", 600, 0, 50, 50, kAddSearchResult},
    ControlSpec{kResultsCancel, K::button, "Cancel", "", 600, 80, 50, 50, kCloseSecondaryWindow},
};

constexpr std::array kResultsKeys = {
    KeyRow{kEscape, kCloseSecondaryWindow},
    KeyRow{kEnter, kAddSearchResult, kResultsList},
};

constexpr std::array kHistoryControls = {
    ControlSpec{kHistoryLabel, K::label, "Announcements", "", 0, 0, 20, 20},
    ControlSpec{kHistoryList, K::list, "", "Announcements", 20, 20, 760, 580},
};

// The history's and the list windows' keys.
constexpr std::array kListKeys = {
    KeyRow{kEscape, kCloseSecondaryWindow},
    KeyRow{Control('C', true), kCopy},
};

// A list window's label and list carry its title, as its list's name.
constexpr std::array kNextHoursControls = {
    ControlSpec{kListLabel, K::label, "Next Hours", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "Next Hours", 20, 20, 560, 520},
    ControlSpec{kListCopy, K::button, "Copy all", "", 20, 550, 80, 30, kCopyAll},
    ControlSpec{kListClose, K::button, "Close", "", 110, 550, 80, 30, kCloseSecondaryWindow},
};

constexpr std::array kAlertControls = {
    ControlSpec{kListLabel, K::label, "Alert details", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "Alert details", 20, 20, 760, 520},
    ControlSpec{kListCopy, K::button, "Copy all", "", 20, 550, 80, 30, kCopyAll},
    ControlSpec{kListClose, K::button, "Close", "", 110, 550, 80, 30, kCloseSecondaryWindow},
};

// The Help menu's windows: a list to read line by line, and Close.
constexpr std::array kShortcutsControls = {
    ControlSpec{kListLabel, K::label, "Keyboard Shortcuts", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "Keyboard Shortcuts", 20, 20, 760, 520},
    ControlSpec{kListClose, K::button, "Close", "", 20, 550, 80, 30, kCloseSecondaryWindow},
};

constexpr std::array kAboutControls = {
    ControlSpec{kListLabel, K::label, "About Skyvigil", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "About Skyvigil", 20, 20, 760, 520},
    ControlSpec{kListClose, K::button, "Close", "", 20, 550, 80, 30, kCloseSecondaryWindow},
};

// A label naming the bar under it (0 to 100, or pulsing while the length is
// unknown) and a Cancel button, which has the focus.
constexpr std::array kDownloadControls = {
    ControlSpec{kDownloadLabel, K::label, "Downloaded", "", 12, 12, 296, 20},
    ControlSpec{kDownloadBar, K::progress_bar, "", "Downloaded", 12, 36, 296, 20},
    ControlSpec{kDownloadCancel, K::button, "Cancel", "", 12, 68, 90, 28, kCancelDownload},
};

constexpr std::array kDownloadKeys = {KeyRow{kEscape, kCancelDownload}};

// In the order of WindowKind.
const std::array kWindows = {
    WindowSpec{WindowKind::main, "", kMainControls, kMainKeys, true, true, true, 1600, 1200},
    WindowSpec{WindowKind::forecast, "Forecast", kForecastControls, kForecastKeys, false, false,
               false, 800, 600},
    WindowSpec{WindowKind::results, "Results", kResultsControls, kResultsKeys, false, false, false,
               800, 600},
    WindowSpec{WindowKind::history, "History", kHistoryControls, kListKeys, false, false, false,
               800, 600},
    WindowSpec{WindowKind::next_hours, "Next Hours", kNextHoursControls, kListKeys, false, false,
               false, 600, 600},
    WindowSpec{WindowKind::alert, "Alert details", kAlertControls, kListKeys, false, false, false,
               800, 600},
    WindowSpec{WindowKind::download, "Downloading update", kDownloadControls, kDownloadKeys, false,
               false, true, 320, 108},
    WindowSpec{WindowKind::shortcuts, "Keyboard Shortcuts", kShortcutsControls, kListKeys, false,
               false, false, 800, 600},
    WindowSpec{WindowKind::about, "About Skyvigil", kAboutControls, kListKeys, false, false, false,
               800, 600},
};

bool SameShortcut(const Shortcut& a, const Shortcut& b) {
  return a.key == b.key && (a.key != Shortcut::Key::character || a.character == b.character) &&
         a.control == b.control && a.shift == b.shift && a.alt == b.alt;
}

}  // namespace

const WindowSpec& SpecOf(WindowKind kind) {
  return kWindows[static_cast<size_t>(kind)];
}

bool HasControl(WindowKind kind, int number) {
  const std::span<const ControlSpec> controls = SpecOf(kind).controls;
  return std::any_of(controls.begin(), controls.end(),
                     [number](const ControlSpec& c) { return c.number == number; });
}

int CommandForKey(WindowKind kind, const Shortcut& pressed, int focus) {
  const WindowSpec& spec = SpecOf(kind);
  if (spec.has_menu) {
    // A system-wide key is not the window's: it reaches the program from anywhere.
    for (const CommandInfo& info : MainWindowCommands()) {
      if (!info.system_wide && info.shortcut.key != Shortcut::Key::none &&
          SameShortcut(info.shortcut, pressed))
        return info.number;
    }
  }
  for (const KeyRow& row : spec.keys) {
    if (SameShortcut(row.key, pressed) && (row.only_in < 0 || row.only_in == focus))
      return row.command;
  }
  return 0;
}

double WindowSpecScale(const WindowSpec& spec, int text_percent, int area_width, int area_height) {
  int width = spec.width;
  int height = spec.height;
  for (const ControlSpec& c : spec.controls) {
    width = std::max(width, c.x + c.width);
    height = std::max(height, c.y + c.height);
  }
  // A window may take nine tenths of the work area, so it never covers it all.
  const double room_width = area_width * 9 / 10;
  const double room_height = area_height * 9 / 10;
  const double fits = std::min(room_width / width, room_height / height);
  return std::max(1.0, std::min(text_percent / 100.0, fits));
}

}  // namespace skyvigil
