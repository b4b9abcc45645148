// The main window's events and the commands that show, hide and select.
#include "app/main_window.h"

#include <chrono>
#include <utility>

#include "app/commands.h"
#include "app/download_window.h"
#include "app/startup_news.h"
#include "app/window_specs.h"
#include "cities/city_add.h"
#include "monitor/refresh.h"
#include "state/secondary_window.h"
#include "views/dialogs.h"
#include "weather/cities_store.h"
#include "weather/prefs.h"

namespace skyvigil {

namespace {

// Arrow keys through the list would otherwise write the file once per key.
constexpr std::chrono::seconds kSelectionSaveDelay{1};

void RememberSelection(App& app) {
  AppState& s = app.state;
  s.selection_unsaved = true;
  if (s.selection_timer_set)
    return;
  s.selection_timer_set = true;
  app.main_thread.PostAfter(kSelectionSaveDelay, [core = app.core] {
    core->PostToCore([](App& a) {
      a.state.selection_timer_set = false;
      SaveSelection(a);
    });
  });
}

// The window is back: what waited for it follows, each as a handler of its own.
void RunWhatWaitedForTheWindow(App& app) {
  for (CoreWork& work : std::exchange(app.state.when_window_shown, {}))
    app.core->PostToCore(std::move(work));
}

}  // namespace

void ShowCurrentWeather(App& app, int index) {
  MainWindowState& w = app.state.main_window;
  w.selected_city = index;
  w.report_city = index;
  w.selected_line = 0;
  app.state.prefs.cities_index = index;
  RememberSelection(app);
}

void SaveSettings(App& app) {
  SavePreferences(app.state.prefs, app.state.paths.prefs_file);
  app.state.selection_unsaved = false;
}

void SaveSelection(App& app) {
  if (app.state.selection_unsaved)
    SaveSettings(app);
}

void EndWithoutCities(App& app) {
  ShowMessage(app, "Alert!", "You have to add a city to use the program.");
  RequestExit(app);
}

void RemoveCity(App& app) {
  auto& cities = app.state.cities;
  const int index = SelectionIn(app.state.main_window.selected_city, cities.size());
  if (index < 0)
    return;
  const auto at = cities.begin() + index;
  if (!AskYesNo(app, "Remove City", "Are you sure you wish to remove " + at->name + "?"))
    return;

  cities.erase(at);
  SaveCities(cities, app.state.paths.cities_file);
  if (cities.empty()) {
    PromptNewCity(app);
    RefreshCities(app, RefreshMode::new_cities);
  }
  if (cities.empty()) {
    EndWithoutCities(app);
    return;
  }
  ShowCurrentWeather(app, 0);
}

void OnSelect(App& app, int control, int index) {
  AppState& s = app.state;
  // The index is a line of what the desktop shows.
  const Screen& shown = s.screen;
  MainWindowState& w = s.main_window;
  if (control == kCityList && InRange(index, shown.main.cities.lines.size())) {
    if (index != w.selected_city || index != w.report_city)
      ShowCurrentWeather(app, index);
  } else if (control == kReportList && InRange(index, shown.main.report.lines.size())) {
    w.selected_line = index;
  } else if (!s.secondary.empty() && control == ListControlOf(s.secondary.back().kind) &&
             shown.secondary && InRange(index, shown.secondary->list.lines.size())) {
    SecondaryWindowState& window = s.secondary.back();
    window.selected = index;
    window.detail_follows = true;
  }
}

void OnFocus(App& app, int control) {
  AppState& s = app.state;
  if (HasControl(WindowKind::main, control)) {
    s.main_window.focus = control;
    s.active = ActiveWindow::main;
  } else if (s.download_window && HasControl(WindowKind::download, control)) {
    s.active = ActiveWindow::download;
  } else if (!s.secondary.empty() && HasControl(s.secondary.back().kind, control)) {
    s.secondary.back().focus = control;
    s.active = ActiveWindow::secondary;
  }
}

void OnWindowClose(App& app, WindowKind window) {
  if (window == WindowKind::main) {
    RequestExit(app);
  } else if (window == WindowKind::download) {
    CancelDownload(app);
  } else if (!app.state.secondary.empty() && app.state.secondary.back().kind == window) {
    CloseSecondaryWindow(app);
  }
}

void OnTrayIconClick(App& app) {
  ToggleWindow(app);
}

void OnMainWindowActivated(App& app) {
  ReleaseNewsAfterActivation(app);
}

void OnShowRequest(App& app) {
  SaveSelection(app);
  // In front with the city list focused, so the window and the list are announced.
  ++app.state.main_window.front_requests;
  app.state.main_window.focus = kCityList;
  app.state.active = ActiveWindow::main;
  Preferences& p = app.state.prefs;
  if (p.window_hidden == 0)
    return;
  p.window_hidden = 0;
  SaveSettings(app);
  RunWhatWaitedForTheWindow(app);
}

void ToggleWindow(App& app) {
  MainWindowState& w = app.state.main_window;
  if (!app.state.desktop.tray) {
    // A hidden window could not come back: no tray icon to click.
    ++w.minimise_requests;
    if (!std::exchange(w.no_tray_said, true))
      app.announcer.Speak("Skyvigil minimised. This desktop has no tray.", false);
    return;
  }
  Preferences& p = app.state.prefs;
  if (p.window_hidden == 0) {
    p.window_hidden = 1;
    // Nothing else tells the user the window went: the tray icon is not
    // reachable from the keyboard.
    app.announcer.Speak("Skyvigil hidden", false);
  } else {
    p.window_hidden = 0;
  }
  SaveSettings(app);
  if (p.window_hidden == 0)
    RunWhatWaitedForTheWindow(app);
}

}  // namespace skyvigil
