// The command table of the main window and the dispatch of every command and
// desktop event into the core.
#include "app/commands.h"

#include <array>
#include <exception>
#include <utility>

#include "app/announcement_history.h"
#include "app/service_key.h"
#include "app/start_program.h"
#include "app/startup_news.h"
#include "app/update_chain.h"
#include "cities/city_add.h"
#include "cities/city_search.h"
#include "monitor/briefing.h"
#include "monitor/monitor_cycle.h"
#include "monitor/quiet_hours.h"
#include "monitor/rain_ahead.h"
#include "monitor/summary.h"
#include "present/format.h"
#include "state/fetch.h"
#include "views/city_list.h"
#include "views/current_weather.h"
#include "views/forecast_window.h"
#include "views/list_windows.h"
#include "views/text_size.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

constexpr Shortcut Key(Shortcut::Key key) {
  return Shortcut{key, 0, false, false, false};
}
constexpr Shortcut Control(char c, bool shift = false, bool alt = false) {
  return Shortcut{Shortcut::Key::character, c, true, shift, alt};
}

// Keys that also run a main-window command: "+" shares its key with "=" on
// most layouts, so Control+= and Control+Shift+= (a "+" typed with Shift)
// enlarge too, as in other programs.
constexpr std::array kMainWindowExtraShortcuts = {
    std::pair{Control('='), int{kLargerText}},
    std::pair{Control('=', true), int{kLargerText}},
    std::pair{Control('+', true), int{kLargerText}},
};

// The shortcuts of the two kinds of window 1.
constexpr std::array kForecastWindowShortcuts = {
    std::pair{Key(Shortcut::Key::escape), int{kCloseSecondaryWindow}},
    std::pair{Control('C', true), int{kCopy}},
    std::pair{Key(Shortcut::Key::enter), int{kOpenAlert}},
};
constexpr std::array kListWindowShortcuts = {
    std::pair{Key(Shortcut::Key::escape), int{kCloseSecondaryWindow}},
    std::pair{Control('C', true), int{kCopy}},
};
constexpr std::array kHistoryWindowShortcuts = {
    std::pair{Key(Shortcut::Key::escape), int{kCloseSecondaryWindow}},
    std::pair{Control('C', true), int{kCopy}},
};
constexpr std::array kResultsWindowShortcuts = {
    std::pair{Key(Shortcut::Key::escape), int{kCloseSecondaryWindow}},
    std::pair{Key(Shortcut::Key::enter), int{kAddSearchResult}},
};

bool SameShortcut(const Shortcut& a, const Shortcut& b) {
  return a.key == b.key && (a.key != Shortcut::Key::character || a.character == b.character) &&
         a.control == b.control && a.shift == b.shift && a.alt == b.alt;
}

template <size_t N>
int CommandFor(const std::array<std::pair<Shortcut, int>, N>& table, const Shortcut& pressed) {
  for (const auto& [shortcut, command] : table) {
    if (SameShortcut(shortcut, pressed))
      return command;
  }
  return 0;
}

void ViewForecast(App& app) {
  const int index = app.ui.CitySelection();
  if (index < 0 || static_cast<size_t>(index) >= app.state.cities.size())
    return;
  OpenForecastWindow(app, app.state.cities[static_cast<size_t>(index)].name);
}

void CloseWindowOne(App& app) {
  CancelFetch(app, Asker::window_one);  // a late forecast or search is dropped
  app.ui.CloseSecondaryWindow();
  app.state.forecast_lines.clear();
  app.state.history_lines.clear();
  app.state.list_lines.clear();
}

void OpenHistory(App& app) {
  CancelFetch(app, Asker::window_one);  // the history takes window 1
  app.state.forecast_lines.clear();
  app.state.history_lines =
      app.history != nullptr ? app.history->Lines() : std::vector<std::string>{};
  app.ui.OpenHistoryWindow(app.state.history_lines);
}

// What follows a refresh: the list and the report show the new weather.
void RedrawCities(App& app) {
  RefreshCityList(app, false);
  ShowCurrentWeather(app);
}

void RemoveCity(App& app) {
  auto& cities = app.state.cities;
  const int index = app.ui.CitySelection();
  if (index < 0 || static_cast<size_t>(index) >= cities.size())
    return;
  const auto at = cities.begin() + index;
  if (!app.ui.AskYesNo("Remove City", "Are you sure you wish to remove " + at->name + "?"))
    return;

  cities.erase(at);
  SaveCities(cities, app.state.paths.cities_file);
  if (cities.empty()) {
    PromptNewCity(app);
    RefreshCities(app, RefreshMode::new_cities, &RedrawCities);
  }
  RefreshCityList(app, false);
  app.ui.SelectCity(0);
  ShowCurrentWeather(app);
}

void ToggleUnit(App& app) {
  int64_t& unit = app.state.prefs.celcius;
  static constexpr std::array<const char*, 4> kNames = {
      "fahrenheit", "Celcius", "Both (Celcius first)", "Both (fahrenheit first)"};
  unit = (unit >= 0 && unit < 3) ? unit + 1 : 0;
  app.announcer.Speak(kNames[static_cast<size_t>(unit)], false);
  SavePreferences(app.state.prefs, app.state.paths.prefs_file);
  RefreshCityList(app, false);
  ShowCurrentWeather(app);
}

// The lines, one per line feed, without line feeds at either end.
std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  const size_t first = text.find_first_not_of('\n');
  if (first == std::string::npos)
    return {};
  const size_t last = text.find_last_not_of('\n');
  return text.substr(first, last - first + 1);
}

void CopyForecast(App& app) {
  app.ui.SetClipboardText(JoinedLines(app.state.forecast_lines));
}

void CopyListWindow(App& app) {
  app.ui.SetClipboardText(JoinedLines(app.state.list_lines));
}

// Says the state the switch is in afterwards, so a failed change is not
// reported as done.
void ToggleStartAtLogin(App& app) {
  app.process.SetStartAtLogin(!app.process.StartsAtLogin());
  app.announcer.Speak(app.process.StartsAtLogin() ? "Start at login on" : "Start at login off",
                      false);
}

void CopyFocusedItem(App& app) {
  switch (app.ui.Focus()) {
    case FocusedControl::report_list:
    case FocusedControl::detail_box:
      app.ui.SetClipboardText(app.ui.DetailText());
      break;
    case FocusedControl::forecast_list:
    case FocusedControl::forecast_box:
      app.ui.SetClipboardText(app.ui.ForecastDetailText());
      break;
    case FocusedControl::history_list: {
      const int index = app.ui.HistorySelection();
      const auto& lines = app.state.history_lines;
      const bool valid = index >= 0 && static_cast<size_t>(index) < lines.size();
      app.ui.SetClipboardText(valid ? lines[static_cast<size_t>(index)] : std::string());
      break;
    }
    case FocusedControl::list_window: {
      const int index = app.ui.ListWindowSelection();
      const auto& lines = app.state.list_lines;
      const bool valid = index >= 0 && static_cast<size_t>(index) < lines.size();
      app.ui.SetClipboardText(valid ? lines[static_cast<size_t>(index)] : std::string());
      break;
    }
    default:
      app.ui.SetClipboardText(JoinedLines(app.state.report_lines));
      break;
  }
  app.announcer.Speak("Copied", true);
}

void LargerText(App& app) {
  ChangeTextSize(app, 1);
}

void SmallerText(App& app) {
  ChangeTextSize(app, -1);
}

void ExitCommand(App& app) {
  RequestExit(app);
}

void ChangeServiceKey(App& app) {
  if (AskForServiceKey(app))
    RefreshCities(app, RefreshMode::all_cities, &RedrawCities);
}

void CheckForUpdatesNow(App& app) {
  StartUpdateCheck(app, UpdateSourceFor(app.state), false);
}

// Each row carries its handler, so a command can't be listed without one.
constexpr std::array kMainWindowCommands = {
    CommandInfo{kHideWindow, "Application", "Hide Window (Escape)", Key(Shortcut::Key::escape),
                &ToggleWindow},
    CommandInfo{kCheckForUpdates, "Application", "Check for Updates", {}, &CheckForUpdatesNow},
    CommandInfo{kAnnouncementHistory, "Application", "Announcement History (Control+H)",
                Control('H'), &OpenHistory},
    CommandInfo{kExit, "Application", "Exit", {}, &ExitCommand},
    CommandInfo{kAddCity, "City", "Add City (Control+N)", Control('N'), &AddCity},
    CommandInfo{kRemoveCity, "City", "Remove City (Delete)", Key(Shortcut::Key::del), &RemoveCity},
    CommandInfo{kSearchCity, "City", "Search for City (Control+S)", Control('S'), &SearchForCity},
    CommandInfo{kToggleMonitor, "City", "Toggle Skyvigil (Control+M)", Control('M'),
                &ToggleMonitor},
    CommandInfo{kToggleAlerts, "City", "Toggle weather alerts (Control+G)", Control('G'),
                &ToggleAlerts},
    CommandInfo{kViewForecast, "City", "View forecast (Enter)", Key(Shortcut::Key::enter),
                &ViewForecast},
    CommandInfo{kViewNextHours, "City", "View next hours (Shift+Enter)",
                Shortcut{Shortcut::Key::enter, 0, false, true, false}, &OpenNextHoursWindow},
    CommandInfo{kCopy, "City", "Copy focused item to clipboard (Control+Shift+C)",
                Control('C', true), &CopyFocusedItem},
    CommandInfo{kSpeakSummary, "City", "Speak Summary (Control+Shift+W)", Control('W', true),
                &SpeakSummary},
    CommandInfo{kToggleUnit, "Settings", "Toggle temperature display unit (Control+1)",
                Control('1'), &ToggleUnit},
    CommandInfo{kSetTempDiff, "Settings", "Set monitor temperature difference (Control+2)",
                Control('2'), &SetTemperatureDifference},
    CommandInfo{kToggleMonitorSounds, "Settings", "Toggle monitor sounds (control+shift+m)",
                Control('M', true), &ToggleMonitorSounds},
    CommandInfo{kAlertsOnce, "Settings", "Speak Each Alert Once", {}, &ToggleAlertsOnce},
    CommandInfo{kRainAhead, "Settings", "Announce Rain Ahead", {}, &ToggleRainAhead},
    CommandInfo{kDailyBriefing, "Settings", "Daily Briefing...", {}, &SetDailyBriefing},
    CommandInfo{kQuietHours, "Settings", "Quiet Hours...", {}, &SetQuietHours},
    CommandInfo{kServiceKey, "Settings", "Weather Service Key...", {}, &ChangeServiceKey},
    CommandInfo{kStartAtLogin, "Settings", "Start at Login", {}, &ToggleStartAtLogin},
    CommandInfo{kLargerText, "Settings", "Larger Text (Control+Plus)", Control('+'), &LargerText},
    CommandInfo{kSmallerText, "Settings", "Smaller Text (Control+Minus)", Control('-'),
                &SmallerText},
    CommandInfo{kSpeakSummaryAnywhere, "Settings",
                "Speak Summary from Any Program (Control+Alt+Shift+W)", Control('W', true, true),
                &SpeakSummary, true},
};

// The commands of window 1 that no menu lists, and its buttons.
constexpr std::array kWindowCommands = {
    CommandHandler{kCloseSecondaryWindow, &CloseWindowOne},
    CommandHandler{kAddSearchResult, &AddSearchResult},
    CommandHandler{kOpenAlert, &OpenAlertWindow},
};
constexpr std::array kButtons = {
    CommandHandler{kForecastClose, &CloseWindowOne},
    CommandHandler{kResultsCancel, &CloseWindowOne},
    CommandHandler{kForecastCopy, &CopyForecast},
    CommandHandler{kResultsAdd, &AddSearchResult},
    CommandHandler{kListCopy, &CopyListWindow},
    CommandHandler{kListClose, &CloseWindowOne},
};

template <size_t N>
void RunFrom(const std::array<CommandHandler, N>& table, App& app, int number) {
  for (const CommandHandler& row : table) {
    if (row.number == number) {
      row.run(app);
      return;
    }
  }
}

}  // namespace

std::span<const CommandInfo> MainWindowCommands() {
  return kMainWindowCommands;
}

int ForecastWindowCommandFor(const Shortcut& pressed) {
  return CommandFor(kForecastWindowShortcuts, pressed);
}

int ResultsWindowCommandFor(const Shortcut& pressed) {
  return CommandFor(kResultsWindowShortcuts, pressed);
}

int HistoryWindowCommandFor(const Shortcut& pressed) {
  return CommandFor(kHistoryWindowShortcuts, pressed);
}

int ListWindowCommandFor(const Shortcut& pressed) {
  return CommandFor(kListWindowShortcuts, pressed);
}

int MainWindowCommandFor(const Shortcut& pressed) {
  for (const CommandInfo& info : kMainWindowCommands) {
    if (!info.system_wide && info.shortcut.key != Shortcut::Key::none &&
        SameShortcut(info.shortcut, pressed)) {
      return info.number;
    }
  }
  return CommandFor(kMainWindowExtraShortcuts, pressed);
}

void RunCommand(App& app, int command) {
  for (const CommandInfo& info : kMainWindowCommands) {
    if (info.number == command) {
      info.run(app);
      return;
    }
  }
  RunFrom(kWindowCommands, app, command);
}

void OnControl(App& app, int control) {
  RunFrom(kButtons, app, control);
}

std::span<const CommandHandler> SecondaryWindowCommands() {
  return kWindowCommands;
}

std::span<const CommandHandler> SecondaryWindowButtons() {
  return kButtons;
}

void OnForecastListEvent(App& app) {
  ShowSelectedForecastLine(app);
}

void OnSecondaryWindowClose(App& app) {
  CloseWindowOne(app);
}

void OnCityListEvent(App& app) {
  ShowCurrentWeather(app);
}

void OnReportListEvent(App& app) {
  ShowSelectedLine(app);
}

void OnRefreshTimer(App& app) {
  RefreshCities(app, RefreshMode::all_cities, &RedrawCities);
}

void OnBriefingTimerEvent(App& app) {
  OnBriefingTimer(app);
}

void OnTrayIconClick(App& app) {
  ToggleWindow(app);
}

namespace {

// The window is back: what waited for it follows, each as a handler of its own.
void RunWhatWaitedForTheWindow(App& app) {
  for (CoreWork& work : std::exchange(app.state.when_window_shown, {})) {
    if (app.core != nullptr)
      app.core->PostToCore(std::move(work));
    else
      work(app);
  }
}

}  // namespace

void OnShowRequest(App& app) {
  SaveSelection(app);
  app.ui.BringMainWindowBack();
  Preferences& p = app.state.prefs;
  if (p.window_hidden == 0)
    return;
  p.window_hidden = 0;
  SaveSettings(app);
  RunWhatWaitedForTheWindow(app);
}

void OnMainWindowClose(App& app) {
  RequestExit(app);
}

void OnMainWindowActivated(App& app) {
  ReleaseNewsAfterActivation(app);
}

void OnSpeakRequest(App& app) {
  SpeakSummary(app);
}

void OnIdle(App& app) {
  // At start the saved weather is not news: the first refresh's alerts come first.
  if (!app.state.refresh.first_pending)
    MonitorCheck(app);
}

void LoadSettingsAndCities(App& app) {
  LoadPreferences(app.state.prefs, app.state.service, app.state.paths.prefs_file);
  RecallBriefingDay(app);
  LoadCities(app.state.cities, app.state.paths.cities_file, [&app](std::vector<city>&) {
    PromptNewCity(app);
    // Kept at once: the key dialog that may follow can be cancelled.
    if (!app.state.cities.empty())
      SaveCities(app.state.cities, app.state.paths.cities_file);
  });
}

void FirstRefresh(App& app) {
  ApplyTextSize(app);
  // The saved cities and report show at once; the refresh updates them.
  RefreshCityList(app, true);
  if (app.state.exit_code.has_value())
    return;  // no city to show
  ShowCurrentWeather(app);
  // Without a key the service would refuse every request: no weather then.
  if (!HasOwnServiceKey(app.state.service) && !AskForServiceKey(app))
    return;
  app.state.refresh.first_pending = true;
  // The refresh's alerts come first: the briefing waits for its end.
  RefreshCities(app, RefreshMode::all_cities, [](App& a) {
    RedrawCities(a);
    OnBriefingTimer(a);
  });
}

void ExitProgram(App& app) {
  // Nothing runs in the core after this, so nothing the work in flight would
  // apply or say can follow "Exiting", which is said before anything stops.
  app.state.exited = true;
  app.announcer.Speak("Exiting", true);
  StopRefresh(app);
  SaveSelection(app);
  app.ui.RemoveTrayIcon();
  app.process.ReleaseMarker();
  app.ui.CloseMainWindow();
  app.process.QuitEventLoop(app.state.exit_code.value_or(0));
}

void ToggleWindow(App& app) {
  Preferences& p = app.state.prefs;
  if (p.window_hidden == 0) {
    app.ui.HideMainWindow();
    p.window_hidden = 1;
    // Nothing else tells the user the window went: the tray icon is not
    // reachable from the keyboard.
    app.announcer.Speak("Skyvigil hidden", false);
  } else {
    app.ui.ShowMainWindow();
    p.window_hidden = 0;
  }
  SaveSettings(app);
  if (p.window_hidden == 0)
    RunWhatWaitedForTheWindow(app);
}

}  // namespace skyvigil
