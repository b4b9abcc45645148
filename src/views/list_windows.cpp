// Fetches and shows the next hours; shows an alert's details.
#include "views/list_windows.h"

#include "present/forecast_lines.h"
#include "present/hour_lines.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

// Today and tomorrow hold the next 24 hours from any hour of today.
constexpr int kNextHoursDays = 2;

}  // namespace

void OpenNextHoursWindow(App& app) {
  AppState& s = app.state;
  const int index = app.ui.CitySelection();
  if (index < 0 || static_cast<size_t>(index) >= s.cities.size())
    return;
  std::vector<forecastday> days;
  std::vector<alert> alerts;
  location place;
  FetchForecast(app.http, s.service, s.cities[static_cast<size_t>(index)].name, kNextHoursDays,
                days, alerts, &place);
  s.forecast_lines.clear();
  s.history_lines.clear();
  s.list_lines = NextHourLines(days, place.localtime, s.prefs.celcius);
  app.ui.OpenListWindow("Next Hours", "Next Hours", s.list_lines);
}

void OpenAlertWindow(App& app) {
  AppState& s = app.state;
  const std::optional<size_t> which = AlertAtLine(s.forecast_alerts, app.ui.ForecastSelection());
  if (!which)
    return;
  const std::vector<std::string> lines = AlertDetailLines(s.forecast_alerts[*which]);
  s.forecast_lines.clear();
  s.list_lines = lines;
  app.ui.OpenListWindow("Alert", "Alert", s.list_lines);
}

}  // namespace skyvigil
