// Shows the selected city's report through the UI port.
#include "views/current_weather.h"

#include "present/current_report.h"
#include "present/format.h"
#include "weather/prefs.h"

namespace skyvigil {

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

  s.prefs.cities_index = index;
  SavePreferences(s.prefs, s.paths.prefs_file);

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
