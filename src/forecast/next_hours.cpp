// Fetches the next hours' forecast in the background.
#include "forecast/next_hours.h"

#include "state/fetch.h"
#include "state/secondary_window.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

// Today and tomorrow hold the next 24 hours from any hour of today.
constexpr int kNextHoursDays = 2;

}  // namespace

void OpenNextHoursWindow(App& app) {
  const city* c = SelectedCity(app.state);
  if (c == nullptr)
    return;
  const HttpRequest request = ForecastRequest(app.state.service, c->name, kNextHoursDays);
  OpenSecondaryWindow(app, WindowKind::next_hours);
  const uint64_t ticket = StartFetch(app, Asker::secondary_window, [request](HttpClient& http) {
    // Read on the worker: the main thread gets only the records.
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    location place;
    ApplyForecastAnswer(http.Perform(request), days, alerts, &place);
    return CoreWork([days = std::move(days), localtime = place.localtime](App& a) {
      SecondaryWindowState& window = a.state.secondary.back();
      window.days = days;
      window.localtime = localtime;
    });
  });
  SayIfStillFetching(app, Asker::secondary_window, ticket, "Loading next hours");
}

}  // namespace skyvigil
