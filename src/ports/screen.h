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
  main,        // window 0
  forecast,    // window 1, one kind at a time
  results,
  history,
  next_hours,
  alert,
  download,    // the update download's, beside window 1
};

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
  // active with its city list focused (the start, a second start's request).
  int front_requests = 0;
  ListView cities;      // control 1
  std::string heading;  // control 2, also the accessible name of control 3
  ListView report;      // control 3
  std::string detail;   // control 4
  bool operator==(const MainWindowView&) const = default;
};

// Window 1.
struct SecondaryWindowView {
  WindowKind kind = WindowKind::forecast;
  ListView list;       // its one list
  std::string detail;  // its read-only box, for a kind that has one
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
  // window (a number of the window specs); -1 for none.
  int focus = -1;
  int text_size = 100;  // percent of the system's text size, for every window
  bool tray_icon = true;
  std::string tray_tooltip = "Skyvigil";
  // The menu items shown checked, by command number, in ascending order; the
  // other items that the command table marks as check items are unchecked.
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
// A list's lines, whatever it showed before; its selection follows in a Select.
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
// Window 1 of `kind` opens empty, built from its spec, closing any window 1
// still open; its lines, selection, texts and focus follow as changes.
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
struct SetChecked {
  int command;
  bool checked;
  bool operator==(const SetChecked&) const = default;
};
// The main window shown: `to_front` false shows it in the state it had
// (maximised, minimised or normal and active, the city list focused when no
// control has the focus); true un-minimises it, brings it to the front and
// activates it with the city list focused, so the screen reader announces the
// window, then the list.
struct ShowMain {
  bool to_front;
  bool operator==(const ShowMain&) const = default;
};
struct HideMain {
  bool operator==(const HideMain&) const = default;
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
                 screen_change::SetText, screen_change::OpenSecondary,
                 screen_change::CloseSecondary, screen_change::OpenDownload,
                 screen_change::SetProgress, screen_change::CloseDownload,
                 screen_change::SetTooltip, screen_change::SetChecked, screen_change::ShowMain,
                 screen_change::HideMain, screen_change::Focus, screen_change::RemoveTray,
                 screen_change::CloseMain>;

}  // namespace skyvigil
