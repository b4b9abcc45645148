// What every window of the program shows, as one value the core renders from
// its state, and the changes that take a desktop from one such value to the
// next. The desktops only carry the changes out; they decide nothing.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace skyvigil {

// Every window the desktops build, each from its WindowSpec (app/window_specs.h).
enum class WindowKind {
  main,      // window 0
  forecast,  // the secondary window, one kind at a time
  results,
  history,
  next_hours,
  alert,
  download,   // the update download's, beside the secondary window
  shortcuts,  // the Help menu's list windows, secondary windows too
  about,
};

// The controls, numbered alike in every part of the program and on every
// desktop: unique across the windows, so a number names its window too.
enum MainControl : int {
  kAreasLabel = 0,
  kCityList = 1,
  kHeading = 2,
  kReportList = 3,
  kDetailBox = 4,
};

enum SecondaryControl : int {
  kForecastLabel = 100,
  kForecastList = 101,
  kForecastClose = 102,
  kForecastBox = 103,
  kForecastCopy = 104,
  kResultsLabel = 200,
  kResultsList = 201,
  kResultsAdd = 202,
  kResultsCancel = 203,
  kHistoryLabel = 300,
  kHistoryList = 301,
  kListLabel = 400,
  kListList = 401,
  kListCopy = 402,
  kListClose = 403,
};

enum DownloadControl : int {
  kDownloadLabel = 500,
  kDownloadBar = 501,
  kDownloadCancel = 502,
};

// The one list of a secondary window of `kind`; -1 for the other windows.
constexpr int ListControlOf(WindowKind kind) {
  switch (kind) {
    case WindowKind::forecast:
      return kForecastList;
    case WindowKind::results:
      return kResultsList;
    case WindowKind::history:
      return kHistoryList;
    case WindowKind::next_hours:
    case WindowKind::alert:
    case WindowKind::shortcuts:
    case WindowKind::about:
      return kListList;
    default:
      return -1;
  }
}

// A list's lines and its selected line (-1: none).
struct ListView {
  std::vector<std::string> lines;
  int selected = -1;
  bool operator==(const ListView&) const = default;
};

enum class MainWindowShown { hidden, shown, closed };

struct MainWindowView {
  MainWindowShown shown = MainWindowShown::hidden;
  // Grows each time the core brings the window to the front, un-minimised and
  // active (the start, a second start's request).
  int front_requests = 0;
  // Grows each time the core minimises it in place of hiding it (a desktop
  // without a tray, where a hidden window could not come back).
  int minimise_requests = 0;
  ListView cities;                          // control 1
  std::string heading = "Current Weather";  // control 2, also the accessible name of control 3
  ListView report;                          // control 3
  std::string detail;                       // control 4
  bool operator==(const MainWindowView&) const = default;
};

struct SecondaryWindowView {
  WindowKind kind = WindowKind::forecast;
  ListView list;       // its one list
  std::string detail;  // its read-only box (the forecast's); empty for the other kinds
  bool operator==(const SecondaryWindowView&) const = default;
};

struct DownloadWindowView {
  int percent = -1;  // 0 to 100; -1 while the length is unknown: the bar pulses
  bool operator==(const DownloadWindowView&) const = default;
};

struct Screen {
  MainWindowView main;
  std::optional<SecondaryWindowView> secondary;
  std::optional<DownloadWindowView> download;
  // The control that has, or gets, the keyboard focus in the program's active
  // window; -1 while no window of the program is shown.
  int focus = -1;
  int text_size = 100;  // percent of the system's text size, for every window
  bool tray_icon = true;
  std::string tray_tooltip = "Skyvigil";
  // The main window's check items that are checked (ports/command_numbers.h),
  // in ascending order; the others are not.
  std::vector<int> checked_commands;
  bool operator==(const Screen&) const = default;
};

// The changes Diff gives, in the order a desktop carries them out.
namespace screen_change {

// The font of every window, open now or later. Comes before anything that
// builds or lays out a window.
struct SetTextSize {
  int percent;
  bool operator==(const SetTextSize&) const = default;
};
// A list's lines, whatever it showed before; a Select of the list always
// follows, so a desktop may keep the cursor where it stands when the line
// stays selected.
struct SetLines {
  int control;
  std::vector<std::string> lines;
  bool operator==(const SetLines&) const = default;
};
// Selects line `index` of a list (-1 clears), raising no event of the list.
struct Select {
  int control;
  int index;
  bool operator==(const Select&) const = default;
};
// A label's or read-only box's text. The main window's heading (control 2)
// names the report list for screen readers too.
struct SetText {
  int control;
  std::string text;
  bool operator==(const SetText&) const = default;
};
// A check item of the main window's menus is checked or not.
struct SetChecked {
  int command;
  bool checked;
  bool operator==(const SetChecked&) const = default;
};
// The secondary window of `kind` opens empty, built from its spec, closing
// any secondary window still open; its lines, selection, texts and focus
// follow as changes.
struct OpenSecondary {
  WindowKind kind;
  bool operator==(const OpenSecondary&) const = default;
};
struct CloseSecondary {
  bool operator==(const CloseSecondary&) const = default;
};
struct OpenDownload {
  bool operator==(const OpenDownload&) const = default;
};
struct SetProgress {
  int percent;  // as DownloadWindowView::percent
  bool operator==(const SetProgress&) const = default;
};
struct CloseDownload {
  bool operator==(const CloseDownload&) const = default;
};
struct SetTooltip {
  std::string text;  // already cut to what the tray shows
  bool operator==(const SetTooltip&) const = default;
};
// The main window shown: `to_front` false shows it in the state it had
// (maximised, minimised or normal and active); true un-minimises it, brings it
// to the front and activates it. The focus follows as a Focus change, so the
// screen reader announces the window, then the focused control.
struct ShowMain {
  bool to_front;
  bool operator==(const ShowMain&) const = default;
};
struct HideMain {
  bool operator==(const HideMain&) const = default;
};
// Minimises the shown main window, in place of hiding it where no tray
// could bring it back.
struct MinimiseMain {
  bool operator==(const MinimiseMain&) const = default;
};
// Gives `control` the keyboard focus, activating its window when the program
// is active.
struct Focus {
  int control;
  bool operator==(const Focus&) const = default;
};
// At the exit: the tray icon goes, then the main window.
struct RemoveTray {
  bool operator==(const RemoveTray&) const = default;
};
struct CloseMain {
  bool operator==(const CloseMain&) const = default;
};

}  // namespace screen_change

using ScreenChange =
    std::variant<screen_change::SetTextSize, screen_change::SetLines, screen_change::Select,
                 screen_change::SetText, screen_change::SetChecked, screen_change::OpenSecondary,
                 screen_change::CloseSecondary, screen_change::OpenDownload,
                 screen_change::SetProgress, screen_change::CloseDownload,
                 screen_change::SetTooltip, screen_change::ShowMain, screen_change::HideMain,
                 screen_change::MinimiseMain, screen_change::Focus, screen_change::RemoveTray,
                 screen_change::CloseMain>;

}  // namespace skyvigil
