// Fetches and shows a city's forecast and alerts.
#include "views/forecast_window.h"

#include "present/forecast_lines.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

constexpr int kForecastDays = 14;

}  // namespace

void OpenForecastWindow(App& app, const std::string& query) {
  AppState& s = app.state;
  app.ui.OpenForecastWindow();
  s.forecast_lines.clear();

  std::vector<forecastday> days;
  std::vector<alert> alerts;
  FetchForecast(app.http, s.service, query, kForecastDays, days, alerts);
  // The alert cue sounds here whatever the monitor sounds setting says.
  if (!alerts.empty())
    app.announcer.PlayCue(Cue::alert);

  s.forecast_lines = ForecastWindowLines(alerts, days, s.prefs.celcius, app.clock.Today());
  s.forecast_alerts = std::move(alerts);
  app.ui.SetForecastLines(s.forecast_lines);
}

void ShowSelectedForecastLine(App& app) {
  const int index = app.ui.ForecastSelection();
  const auto& lines = app.state.forecast_lines;
  const bool valid = index >= 0 && static_cast<size_t>(index) < lines.size();
  app.ui.SetForecastDetailText(valid ? lines[static_cast<size_t>(index)] : std::string());
}

}  // namespace skyvigil
