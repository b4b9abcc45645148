// Render, Diff and Redraw: the state drawn as one value, and the few changes
// a desktop carries out to show it.
#include "views/render.h"

#include <algorithm>
#include <utility>

#include "ports/command_numbers.h"
#include "present/current_report.h"
#include "present/forecast_lines.h"
#include "present/format.h"
#include "present/hour_lines.h"
#include "views/text_size.h"

namespace skyvigil {

namespace {

namespace change = screen_change;

ListView ListOf(std::vector<std::string> lines, int selected) {
  ListView list;
  list.selected = SelectionIn(selected, lines.size());
  list.lines = std::move(lines);
  return list;
}

std::string SelectedLine(const ListView& list) {
  const std::string* line = ItemAt(list.lines, list.selected);
  return line != nullptr ? *line : std::string();
}

std::vector<std::string> ReportLines(const AppState& s, const city& c) {
  // A blank record would read as a report of zero degrees.
  std::vector<std::string> lines =
      HasWeather(c.weather) ? CurrentReportLines(c.weather, s.prefs.celcius)
                            : std::vector<std::string>{"No weather yet for " + c.name + "."};
  // While no weather comes, the report says why first, above its "Last updated".
  if (std::string why = ProblemText(s.service_problem); !why.empty())
    lines.insert(lines.begin(), std::move(why));
  return lines;
}

std::vector<std::string> SecondaryLines(const SecondaryWindowState& w, int64_t unit) {
  std::vector<std::string> lines;
  switch (w.kind) {
    case WindowKind::forecast:
      return ForecastWindowLines(w.alerts, w.days, unit, w.made_on);
    case WindowKind::results:
      for (const location& place : w.places)
        lines.push_back(FullPlaceName(place));
      return lines;
    case WindowKind::history:
      return w.announcements;
    case WindowKind::next_hours:
      return NextHourLines(w.days, w.localtime, unit);
    case WindowKind::alert:
      return w.alerts.empty() ? lines : AlertDetailLines(w.alerts.front());
    case WindowKind::shortcuts:
    case WindowKind::about:
      return w.lines;
    default:
      return lines;
  }
}

MainWindowShown ShownOf(const AppState& s) {
  if (s.exited)
    return MainWindowShown::closed;
  const bool shown = s.main_window.started && !WindowHidden(s);
  return shown ? MainWindowShown::shown : MainWindowShown::hidden;
}

// The active window's focused control; when that window is gone or hidden,
// the secondary window's, then the main window's.
int FocusOf(const AppState& s) {
  for (const ActiveWindow w : {s.active, ActiveWindow::secondary, ActiveWindow::main}) {
    if (w == ActiveWindow::download && s.download_window)
      return kDownloadCancel;
    if (w == ActiveWindow::secondary && !s.secondary.empty())
      return s.secondary.back().focus;
    if (w == ActiveWindow::main && ShownOf(s) == MainWindowShown::shown)
      return s.main_window.focus;
  }
  return -1;
}

void DiffList(std::vector<ScreenChange>& out, int control, const ListView& before,
              const ListView& after) {
  if (before.lines != after.lines) {
    out.push_back(change::SetLines{control, after.lines});
    out.push_back(change::Select{control, after.selected});
  } else if (before.selected != after.selected) {
    out.push_back(change::Select{control, after.selected});
  }
}

// The check items checked for `s`: the switches of the selected city, then
// the settings, in the order of their numbers.
std::vector<int> CheckedCommands(const AppState& s) {
  std::vector<int> checked;
  const city* selected = SelectedCity(s);
  const std::pair<int, bool> items[] = {
      {kToggleMonitor, selected != nullptr && selected->monitor == 1},
      {kToggleAlerts, selected != nullptr && selected->alerts == 1},
      {kToggleMonitorSounds, s.prefs.monitor_sounds == 1},
      {kStartAtLogin, s.starts_at_login},
      {kAlertsOnce, s.prefs.alerts_once == 1},
      {kRainAhead, s.prefs.rain_ahead == 1},
  };
  for (const auto& [command, on] : items) {
    if (on)
      checked.push_back(command);
  }
  std::sort(checked.begin(), checked.end());
  return checked;
}

// A SetChecked for each command checked in only one of the two sorted lists.
void DiffChecked(std::vector<ScreenChange>& out, const std::vector<int>& before,
                 const std::vector<int>& after) {
  size_t b = 0;
  size_t a = 0;
  while (b < before.size() || a < after.size()) {
    if (a == after.size() || (b < before.size() && before[b] < after[a])) {
      out.push_back(change::SetChecked{before[b++], false});
    } else if (b == before.size() || after[a] < before[b]) {
      out.push_back(change::SetChecked{after[a++], true});
    } else {
      ++a;
      ++b;
    }
  }
}

void DiffText(std::vector<ScreenChange>& out, int control, const std::string& before,
              const std::string& after) {
  if (before != after)
    out.push_back(change::SetText{control, after});
}

}  // namespace

Screen Render(const AppState& s) {
  Screen screen;
  const int64_t unit = s.prefs.celcius;
  screen.text_size = UsableTextSize(s.prefs.text_size);
  screen.tray_icon = !s.exited;
  screen.focus = FocusOf(s);

  MainWindowView& main = screen.main;
  main.shown = ShownOf(s);
  main.front_requests = s.main_window.front_requests;
  main.minimise_requests = s.main_window.minimise_requests;
  std::vector<std::string> city_lines;
  city_lines.reserve(s.cities.size());
  for (const city& c : s.cities)
    city_lines.push_back(CitySummaryText(c, unit));
  main.cities = ListOf(std::move(city_lines), s.main_window.selected_city);
  const int report_city = SelectionIn(s.main_window.report_city, s.cities.size());
  if (const city* shown = ItemAt(s.cities, report_city)) {
    main.heading = "Weather for " + shown->name;
    main.report = ListOf(ReportLines(s, *shown), s.main_window.selected_line);
    main.detail = SelectedLine(main.report);
    screen.tray_tooltip = TrayTooltipText(CitySummaryText(*shown, unit) + " - Skyvigil");
  }

  if (!s.secondary.empty()) {
    const SecondaryWindowState& w = s.secondary.back();
    SecondaryWindowView& view = screen.secondary.emplace();
    view.kind = w.kind;
    view.list = ListOf(SecondaryLines(w, unit), w.selected);
    if (w.kind == WindowKind::forecast && w.detail_follows)
      view.detail = SelectedLine(view.list);
  }
  if (s.download_window)
    screen.download = DownloadWindowView{*s.download_window};
  screen.checked_commands = CheckedCommands(s);
  return screen;
}

std::vector<ScreenChange> Diff(const Screen& before, const Screen& after) {
  std::vector<ScreenChange> out;
  if (before == after)
    return out;
  if (before.text_size != after.text_size)
    out.push_back(change::SetTextSize{after.text_size});
  DiffList(out, kCityList, before.main.cities, after.main.cities);
  DiffText(out, kHeading, before.main.heading, after.main.heading);
  DiffList(out, kReportList, before.main.report, after.main.report);
  DiffText(out, kDetailBox, before.main.detail, after.main.detail);
  if (before.tray_tooltip != after.tray_tooltip)
    out.push_back(change::SetTooltip{after.tray_tooltip});
  DiffChecked(out, before.checked_commands, after.checked_commands);

  // A window opened or shown here gets the focus again even where its number
  // did not change.
  bool opened = false;
  if (after.secondary) {
    const WindowKind kind = after.secondary->kind;
    SecondaryWindowView shown{kind, {}, {}};  // as a window opens: empty
    if (before.secondary && before.secondary->kind == kind) {
      shown = *before.secondary;
    } else {
      out.push_back(change::OpenSecondary{kind});
      opened = true;
    }
    DiffList(out, ListControlOf(kind), shown.list, after.secondary->list);
    // Only the forecast has a box; the other kinds' detail stays empty.
    DiffText(out, kForecastBox, shown.detail, after.secondary->detail);
  } else if (before.secondary) {
    out.push_back(change::CloseSecondary{});
  }

  if (after.download && !before.download) {
    out.push_back(change::OpenDownload{});
    out.push_back(change::SetProgress{after.download->percent});
    opened = true;
  } else if (after.download && before.download->percent != after.download->percent) {
    out.push_back(change::SetProgress{after.download->percent});
  } else if (!after.download && before.download) {
    out.push_back(change::CloseDownload{});
  }

  if (before.tray_icon && !after.tray_icon)
    out.push_back(change::RemoveTray{});
  const MainWindowView& was = before.main;
  const MainWindowView& is = after.main;
  if (is.shown == MainWindowShown::shown) {
    const bool to_front = is.front_requests != was.front_requests;
    if (was.shown != MainWindowShown::shown || to_front) {
      out.push_back(change::ShowMain{to_front});
      opened = true;
    } else if (is.minimise_requests != was.minimise_requests) {
      out.push_back(change::MinimiseMain{});
    }
  } else if (is.shown == MainWindowShown::hidden && was.shown == MainWindowShown::shown) {
    out.push_back(change::HideMain{});
  } else if (is.shown == MainWindowShown::closed && was.shown != MainWindowShown::closed) {
    out.push_back(change::CloseMain{});
  }

  if (after.focus >= 0 && (after.focus != before.focus || opened))
    out.push_back(change::Focus{after.focus});
  return out;
}

void Redraw(App& app) {
  AppState& s = app.state;
  if (!s.main_window.built)
    return;
  Screen next = Render(s);
  const std::vector<ScreenChange> changes = Diff(s.screen, next);
  s.screen = std::move(next);
  if (!changes.empty())
    app.ui.Apply(changes);
}

}  // namespace skyvigil
