// Shows the selected city's report through the UI port.
#include "views/current_weather.h"

#include <chrono>

#include "present/current_report.h"
#include "present/format.h"
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
  if (app.core == nullptr) {
    SaveSelection(app);
    return;
  }
  s.selection_timer_set = true;
  app.main_thread.PostAfter(kSelectionSaveDelay, [core = app.core] {
    core->PostToCore([](App& a) {
      a.state.selection_timer_set = false;
      SaveSelection(a);
    });
  });
}

}  // namespace

void SaveSettings(App& app) {
  SavePreferences(app.state.prefs, app.state.paths.prefs_file);
  app.state.selection_unsaved = false;
}

void SaveSelection(App& app) {
  if (app.state.selection_unsaved)
    SaveSettings(app);
}

void ShowCurrentWeather(App& app) {
  AppState& s = app.state;
  s.report_lines.clear();

  int index = app.ui.CitySelection();
  if (s.cities.empty()) {
    app.ui.SetReportLines({});
    return;
  }
  // The saved selection may point past the end of the list (a list edited
  // by hand); show the first city rather than a city that does not exist.
  if (index < 0 || static_cast<size_t>(index) >= s.cities.size()) {
    index = 0;
    app.ui.SelectCity(0);
  }
  const city& shown = s.cities[static_cast<size_t>(index)];

  // Written even when unchanged: the first report completes a file that lacks
  // the settings, and a file already holding them is not rewritten.
  s.prefs.cities_index = index;
  RememberSelection(app);

  app.ui.SetHeading("Weather for " + shown.name);
  // A blank record would read as a report of zero degrees.
  s.report_lines = HasWeather(shown.weather)
                       ? CurrentReportLines(shown.weather, s.prefs.celcius)
                       : std::vector<std::string>{"No weather yet for " + shown.name + "."};
  // While no weather comes, the report says why first, above its "Last updated".
  if (const std::string why = ProblemText(s.service_problem); !why.empty())
    s.report_lines.insert(s.report_lines.begin(), why);
  app.ui.SetReportLines(s.report_lines);
  app.ui.SelectReportLine(0);
  app.ui.SetTrayTooltip(TrayTooltipText(CitySummaryText(shown, s.prefs.celcius) + " - Skyvigil"));
  ShowSelectedLine(app);
}

void ShowSelectedLine(App& app) {
  const int index = app.ui.ReportSelection();
  const auto& lines = app.state.report_lines;
  const bool valid = index >= 0 && static_cast<size_t>(index) < lines.size();
  app.ui.SetDetailText(valid ? lines[static_cast<size_t>(index)] : std::string());
}

}  // namespace skyvigil
