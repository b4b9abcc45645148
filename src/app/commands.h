// The commands of the main window and the events the desktop layer hands to
// the core. One table describes every command's number, menu place, text and
// shortcut, so menus, shortcuts and dispatch can't drift apart.
#pragma once

#include <span>
#include <string_view>

#include "state/app_state.h"

namespace skyvigil {

// Command numbers: menu items and their shortcuts share them.
enum Command : int {
  kAddCity = 4,
  kHideWindow = 5,
  kToggleMonitor = 6,
  kExit = 7,
  kRemoveCity = 8,
  kToggleUnit = 9,
  kSetTempDiff = 10,
  kViewForecast = 11,
  kToggleAlerts = 12,
  kCopy = 13,
  kSearchCity = 14,
  kCheckForUpdates = 15,
  kToggleMonitorSounds = 16,
  kStartAtLogin = 18,
  kAnnouncementHistory = 19,
  kAlertsOnce = 20,
  kServiceKey = 21,
  kLargerText = 22,
  kSmallerText = 23,
  kViewNextHours = 24,
  kRainAhead = 25,
  kDailyBriefing = 26,
  kOpenAlert = 27,
  kSpeakSummary = 28,
  kQuietHours = 29,
  kSpeakSummaryAnywhere = 30,
  kCloseSecondaryWindow = 100,
  kAddSearchResult = 200,
};

// The controls of the forecast, results and history windows, numbered alike
// on every desktop.
enum SecondaryControl : int {
  kForecastLabel = 100,
  kForecastList = 101,
  kForecastBox = 103,
  kResultsLabel = 200,
  kResultsList = 201,
  kHistoryLabel = 300,
  kHistoryList = 301,
  kListLabel = 400,
  kListList = 401,
};

// Buttons of window 1 that do something.
enum Control : int {
  kForecastClose = 102,
  kForecastCopy = 104,
  kResultsAdd = 202,
  kResultsCancel = 203,
  kListCopy = 402,
  kListClose = 403,
};

// A key combination: one key with any of Control, Shift and Alt.
struct Shortcut {
  enum class Key { none, escape, enter, del, character };
  Key key = Key::none;
  // An upper-case letter, a digit of the main keyboard, or '+', '=' or '-'
  // of the main keyboard or the keypad.
  char character = 0;
  bool control = false;
  bool shift = false;
  bool alt = false;
};

// What a command does; a row of a command table carries it.
using CommandHandlerFn = void (*)(App&);

struct CommandInfo {
  int number;
  std::string_view menu;  // "Application", "City" or "Settings"
  std::string_view item_text;
  Shortcut shortcut;
  CommandHandlerFn run;
  // The shortcut works from any program, with the window hidden too; a
  // desktop that cannot register such keys leaves the row out.
  bool system_wide = false;
};

struct CommandHandler {
  int number;
  CommandHandlerFn run;
};

// The main window's menu items in menu order (menus in order of first appearance).
std::span<const CommandInfo> MainWindowCommands();

// Window 1's commands that no menu lists (Escape's close, Return's add) and
// its buttons, by control number.
std::span<const CommandHandler> SecondaryWindowCommands();
std::span<const CommandHandler> SecondaryWindowButtons();

// The command a key combination stands for in the main window, or 0.
// System-wide keys are not the window's: they reach the program from anywhere.
int MainWindowCommandFor(const Shortcut& pressed);

// The command a key combination stands for in the forecast window (Escape,
// Control+Shift+C, Return on an alert line) or the results window (Escape,
// Return), or 0.
int ForecastWindowCommandFor(const Shortcut& pressed);
int ResultsWindowCommandFor(const Shortcut& pressed);
// The history window's shortcuts: Escape, Control+Shift+C.
int HistoryWindowCommandFor(const Shortcut& pressed);
// A list window's (Next Hours, Alert): Escape, Control+Shift+C.
int ListWindowCommandFor(const Shortcut& pressed);

// Runs a command of the main window or of a secondary window; a number no
// table holds does nothing.
void RunCommand(App& app, int command);
// A press of a button of window 1, by control number.
void OnControl(App& app, int control);

// Events of the main window's controls and of the desktop.
void OnCityListEvent(App& app);    // any event of the city list
void OnReportListEvent(App& app);  // any event of the report list
void OnRefreshTimer(App& app);
// The daily briefing's one-shot timer (UiPort::StartBriefingTimer) ran out.
void OnBriefingTimerEvent(App& app);
void OnTrayIconClick(App& app);
// Another start of the program asked for the window (it ends right after).
void OnShowRequest(App& app);
// Another start, with --speak, asked for the summary.
void OnSpeakRequest(App& app);
void OnMainWindowClose(App& app);
// The main window became the active one; the first time, the start's news
// follows a moment later.
void OnMainWindowActivated(App& app);
void OnForecastListEvent(App& app);  // any event of the forecast list
// A close request for window 1 (e.g. Alt+F4) closes only that window.
void OnSecondaryWindowClose(App& app);
// Called after every handled event and whenever the event loop falls idle:
// announces what the last refresh changed.
void OnIdle(App& app);

// Start-up after the single-instance guard: settings, cities (asking for a first
// city when none can be read). The desktop layer then builds the main window.
void LoadSettingsAndCities(App& app);
// The first refresh once the main window stands; without a key of the user's
// own, the key dialog first, and no refresh when it is cancelled.
void FirstRefresh(App& app);

// The orderly exit, which the core gate runs once after the handler that asked
// for it (RequestExit): the work in flight stopped, the selection saved,
// "Exiting", tray icon removed, marker deleted, window closed, and the event
// loop asked to end with the requested code.
void ExitProgram(App& app);
// Hides a shown main window or shows a hidden one, and remembers the state.
void ToggleWindow(App& app);

}  // namespace skyvigil
