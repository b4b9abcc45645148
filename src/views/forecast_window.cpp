// Fetches, in the background, and shows a city's forecast and alerts.
#include "views/forecast_window.h"

#include "present/forecast_lines.h"
#include "state/fetch.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

constexpr int kForecastDays = 14;

}  // namespace

void OpenForecastWindow(App& app, const std::string& query) {
  AppState& s = app.state;
  app.ui.OpenForecastWindow();
  s.forecast_lines.clear();
  s.forecast_alerts.clear();

  const HttpRequest request = ForecastRequest(s.service, query, kForecastDays);
  const uint64_t ticket = StartFetch(app, Asker::window_one, [request](HttpClient& http) {
    // Read on the worker: the main thread gets only the records.
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    ApplyForecastAnswer(http.Perform(request), days, alerts);
    return CoreWork([days = std::move(days), alerts = std::move(alerts)](App& a) {
      // The alert cue sounds here whatever the monitor sounds setting says.
      if (!alerts.empty())
        a.announcer.PlayCue(Cue::alert);
      a.state.forecast_lines =
          ForecastWindowLines(alerts, days, a.state.prefs.celcius, a.clock.Today());
      a.state.forecast_alerts = alerts;
      a.ui.SetForecastLines(a.state.forecast_lines);
    });
  });
  SayIfStillFetching(app, Asker::window_one, ticket, "Loading forecast");
}

void ShowSelectedForecastLine(App& app) {
  const int index = app.ui.ForecastSelection();
  const auto& lines = app.state.forecast_lines;
  const bool valid = index >= 0 && static_cast<size_t>(index) < lines.size();
  app.ui.SetForecastDetailText(valid ? lines[static_cast<size_t>(index)] : std::string());
}

}  // namespace skyvigil
