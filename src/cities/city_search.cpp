// City search and the results window.
#include "cities/city_search.h"

#include <optional>

#include "cities/city_add.h"
#include "monitor/refresh.h"
#include "state/fetch.h"
#include "views/city_list.h"
#include "views/current_weather.h"
#include "weather/service_requests.h"

namespace skyvigil {

namespace {

std::string FullPlaceName(const location& place) {
  return place.name + ", " + place.region + ", " + place.country;
}

}  // namespace

void SearchForCity(App& app) {
  app.state.search_text = app.ui.AskText("Search", "Enter a query to search for", "").value_or("");
  ShowSearchResults(app, app.state.search_text);
}

void ShowSearchResults(App& app, const std::string& query) {
  AppState& s = app.state;
  app.ui.OpenResultsWindow({});
  const HttpRequest request = SearchRequest(s.service, query);
  const uint64_t ticket = StartFetch(app, Asker::window_one, [request](HttpClient& http) {
    std::vector<location> found;
    ApplySearchAnswer(http.Perform(request), found);
    return CoreWork([found = std::move(found)](App& a) {
      a.state.search_results = found;
      if (found.empty()) {
        a.ui.CloseSecondaryWindow();
        a.ui.ShowMessage("Error", "No results", MessageIcon::error);
        return;
      }
      std::vector<std::string> entries;
      entries.reserve(found.size());
      for (const location& place : found)
        entries.push_back(FullPlaceName(place));
      a.ui.SetResultEntries(entries);
    });
  });
  SayIfStillFetching(app, Asker::window_one, ticket, "Searching");
}

void AddSearchResult(App& app) {
  AppState& s = app.state;
  const int index = app.ui.ResultSelection();
  if (index < 0 || static_cast<size_t>(index) >= s.search_results.size())
    return;

  city added;
  added.name = FullPlaceName(s.search_results[static_cast<size_t>(index)]);
  added.alerts = 1;
  s.cities.push_back(std::move(added));
  const uint64_t id = CityId(s.refresh, s.cities.back());
  app.ui.CloseSecondaryWindow();
  RefreshCityList(app, false);  // the new city shows at once, its weather follows

  RefreshCities(app, RefreshMode::new_cities, [id](App& a) {
    ConfirmAddedCity(a, id);
    RefreshCityList(a, false);
    // The report stays with the city selected before; the new city is only
    // selected in the list, which raises no list event.
    ShowCurrentWeather(a);
    if (const std::optional<size_t> index = CityIndex(a.state.cities, id))
      a.ui.SelectCity(static_cast<int>(*index));
  });
}

}  // namespace skyvigil
