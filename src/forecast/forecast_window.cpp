// Fetches, in the background, a city's forecast and alerts for the secondary window.
#include "forecast/forecast_window.h"

#include "present/forecast_lines.h"
#include "state/fetch.h"
#include "state/secondary_window.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

constexpr int kForecastDays = 14;

}  // namespace

void ViewForecast(App& app) {
  if (const city* c = SelectedCity(app.state))
    OpenForecastWindow(app, c->name);
}

void OpenForecastWindow(App& app, const std::string& query) {
  OpenSecondaryWindow(app, WindowKind::forecast);
  const HttpRequest request = ForecastRequest(app.state.service, query, kForecastDays);
  const uint64_t ticket = StartFetch(app, Asker::secondary_window, [request](HttpClient& http) {
    // Read on the worker: the main thread gets only the records.
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    ApplyForecastAnswer(http.Perform(request), days, alerts);
    return CoreWork([days = std::move(days), alerts = std::move(alerts)](App& a) {
      // The alert cue sounds here whatever the monitor sounds setting says.
      if (!alerts.empty())
        a.announcer.PlayCue(Cue::alert);
      SecondaryWindowState& window = a.state.secondary.back();
      window.alerts = alerts;
      window.days = days;
      window.made_on = a.clock.Today();
    });
  });
  SayIfStillFetching(app, Asker::secondary_window, ticket, "Loading forecast");
}

void OpenAlertWindow(App& app) {
  const std::vector<SecondaryWindowState>& open = app.state.secondary;
  if (open.empty() || open.back().kind != WindowKind::forecast)
    return;
  const SecondaryWindowState& forecast = open.back();
  const std::optional<size_t> which = AlertAtLine(forecast.alerts, forecast.selected);
  if (!which)
    return;
  SecondaryWindowState details;
  details.kind = WindowKind::alert;
  details.alerts = {forecast.alerts[*which]};
  OpenOverSecondaryWindow(app, std::move(details));
}

}  // namespace skyvigil
