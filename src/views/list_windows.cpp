// Fetches and shows the next hours; shows an alert's details.
#include "views/list_windows.h"

#include "present/forecast_lines.h"
#include "present/hour_lines.h"
#include "state/fetch.h"
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
  app.ui.OpenListWindow(ListWindow::next_hours);
  s.forecast_lines.clear();
  s.history_lines.clear();
  s.list_lines.clear();

  const HttpRequest request =
      ForecastRequest(s.service, s.cities[static_cast<size_t>(index)].name, kNextHoursDays);
  const uint64_t ticket = StartFetch(app, Asker::window_one, [request](HttpClient& http) {
    // Read on the worker: the main thread gets only the lines' records.
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    location place;
    ApplyForecastAnswer(http.Perform(request), days, alerts, &place);
    return CoreWork([days = std::move(days), localtime = place.localtime](App& a) {
      a.state.list_lines = NextHourLines(days, localtime, a.state.prefs.celcius);
      a.ui.SetListWindowLines(a.state.list_lines);
    });
  });
  SayIfStillFetching(app, Asker::window_one, ticket, "Loading next hours");
}

void OpenAlertWindow(App& app) {
  AppState& s = app.state;
  const std::optional<size_t> which = AlertAtLine(s.forecast_alerts, app.ui.ForecastSelection());
  if (!which)
    return;
  std::vector<std::string> lines = AlertDetailLines(s.forecast_alerts[*which]);
  app.ui.OpenListWindow(ListWindow::alert);
  s.forecast_lines.clear();
  s.forecast_alerts.clear();
  s.list_lines = std::move(lines);
  app.ui.SetListWindowLines(s.list_lines);
}

}  // namespace skyvigil
