// The command table and the dispatch of every command into the core.
#include "app/commands.h"

#include <array>

#include "app/announcement_history.h"
#include "app/download_window.h"
#include "app/help_windows.h"
#include "app/main_window.h"
#include "app/service_key.h"
#include "app/settings_commands.h"
#include "app/start_program.h"
#include "app/update_chain.h"
#include "cities/city_add.h"
#include "cities/city_search.h"
#include "forecast/forecast_window.h"
#include "forecast/next_hours.h"
#include "monitor/monitor_cycle.h"
#include "monitor/quiet_hours.h"
#include "monitor/rain_ahead.h"
#include "monitor/summary.h"
#include "present/format.h"
#include "state/secondary_window.h"
#include "views/render.h"

namespace skyvigil {

namespace {

constexpr Shortcut Key(Shortcut::Key key) {
  return Shortcut{key, 0, false, false, false};
}
constexpr Shortcut Control(char c, bool shift = false, bool alt = false) {
  return Shortcut{Shortcut::Key::character, c, true, shift, alt};
}

void OpenHistory(App& app) {
  OpenSecondaryWindow(app, WindowKind::history).announcements =
      app.history != nullptr ? app.history->Lines() : std::vector<std::string>{};
}

// "Copy forecast" and "Copy all": the whole list of the secondary window, unsaid.
void CopySecondaryList(App& app) {
  const Screen screen = Render(app.state);
  app.ui.SetClipboardText(screen.secondary ? JoinedLines(screen.secondary->list.lines) : "");
}

// What the focused control shows: the selected line of a report, forecast,
// history or list window; otherwise the whole report.
void CopyFocusedItem(App& app) {
  const Screen screen = Render(app.state);
  const ListView& report = screen.main.report;
  std::string text;
  switch (screen.focus) {
    case kReportList:
    case kDetailBox:
      text = screen.main.detail;
      break;
    case kForecastList:
    case kForecastBox:
      text = screen.secondary->detail;
      break;
    case kHistoryList:
    case kListList:
      if (const std::string* line =
              ItemAt(screen.secondary->list.lines, screen.secondary->list.selected))
        text = *line;
      break;
    default:
      text = JoinedLines(report.lines);
  }
  app.ui.SetClipboardText(text);
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
    RefreshCities(app, RefreshMode::all_cities);
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
    CommandInfo{kToggleMonitor, "City", "Toggle Skyvigil (Control+M)", Control('M'), &ToggleMonitor,
                false, true},
    CommandInfo{kToggleAlerts, "City", "Toggle weather alerts (Control+G)", Control('G'),
                &ToggleAlerts, false, true},
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
                Control('M', true), &ToggleMonitorSounds, false, true},
    CommandInfo{
        kAlertsOnce, "Settings", "Speak Each Alert Once", {}, &ToggleAlertsOnce, false, true},
    CommandInfo{kRainAhead, "Settings", "Announce Rain Ahead", {}, &ToggleRainAhead, false, true},
    CommandInfo{kDailyBriefing, "Settings", "Daily Briefing...", {}, &SetDailyBriefing},
    CommandInfo{kQuietHours, "Settings", "Quiet Hours...", {}, &SetQuietHours},
    CommandInfo{kServiceKey, "Settings", "Weather Service Key...", {}, &ChangeServiceKey},
    CommandInfo{kStartAtLogin, "Settings", "Start at Login", {}, &ToggleStartAtLogin, false, true},
    CommandInfo{kLargerText, "Settings", "Larger Text (Control+Plus)", Control('+'), &LargerText},
    CommandInfo{kSmallerText, "Settings", "Smaller Text (Control+Minus)", Control('-'),
                &SmallerText},
    CommandInfo{kSpeakSummaryAnywhere, "Settings",
                "Speak Summary from Any Program (Control+Alt+Shift+W)", Control('W', true, true),
                &SpeakSummary, true},
    CommandInfo{kKeyboardShortcuts, "Help", "Keyboard Shortcuts", {}, &OpenKeyboardShortcuts},
    CommandInfo{kAbout, "Help", "About Skyvigil", {}, &OpenAbout},
};

struct CommandRow {
  int number;
  CommandHandlerFn run;
  std::string_view name;  // in the list of keys
};

// The commands that no menu lists: the other windows' keys and buttons.
constexpr std::array kWindowCommands = {
    CommandRow{kCloseSecondaryWindow, &CloseSecondaryWindow, "Close the window"},
    CommandRow{kAddSearchResult, &AddSearchResult, "Add the selected city"},
    CommandRow{kOpenAlert, &OpenAlertWindow, "Open the selected alert"},
    CommandRow{kCopyForecast, &CopySecondaryList, "Copy the whole forecast"},
    CommandRow{kCopyAll, &CopySecondaryList, "Copy all lines"},
    CommandRow{kCancelDownload, &CancelDownload, "Cancel the download"},
};

}  // namespace

std::span<const CommandInfo> MainWindowCommands() {
  return kMainWindowCommands;
}

void RunCommand(App& app, int command) {
  for (const CommandInfo& info : kMainWindowCommands) {
    if (info.number == command) {
      info.run(app);
      return;
    }
  }
  for (const CommandRow& row : kWindowCommands) {
    if (row.number == command) {
      row.run(app);
      return;
    }
  }
}

bool IsCommand(int command) {
  for (const CommandInfo& info : kMainWindowCommands) {
    if (info.number == command)
      return true;
  }
  for (const CommandRow& row : kWindowCommands) {
    if (row.number == command)
      return true;
  }
  return false;
}

std::string_view CommandName(int command) {
  for (const CommandInfo& info : kMainWindowCommands) {
    if (info.number != command)
      continue;
    // "Add City (Control+N)": the key is listed beside the name instead.
    std::string_view text = info.item_text;
    if (const size_t key = text.rfind(" ("); key != std::string_view::npos && text.ends_with(')'))
      text = text.substr(0, key);
    return text;
  }
  for (const CommandRow& row : kWindowCommands) {
    if (row.number == command)
      return row.name;
  }
  return {};
}

void OnSpeakRequest(App& app) {
  SpeakSummary(app);
}

void OnIdle(App& app) {
  // At start the saved weather is not news: the first refresh's alerts come first.
  if (!app.state.refresh.first_pending)
    MonitorCheck(app);
}

}  // namespace skyvigil
