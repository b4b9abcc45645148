// City search and the results window.
#include "cities/city_search.h"

#include <optional>

#include "cities/city_add.h"
#include "monitor/refresh.h"
#include "present/format.h"
#include "state/fetch.h"
#include "state/secondary_window.h"
#include "views/dialogs.h"
#include "weather/service_requests.h"

namespace skyvigil {

void SearchForCity(App& app) {
  const std::optional<std::string> text =
      AskText(app, {"Search", "Enter a query to search for", ""});
  ShowSearchResults(app, text.value_or(""));
}

void ShowSearchResults(App& app, const std::string& query) {
  const HttpRequest request = SearchRequest(app.state.service, query);
  const uint64_t ticket = StartFetch(app, Asker::search, [request](HttpClient& http) {
    std::vector<location> found;
    ApplySearchAnswer(http.Perform(request), found);
    return CoreWork([found = std::move(found)](App& a) {
      if (found.empty()) {
        ShowMessage(a, "Error", "No results", MessageIcon::error);
        return;
      }
      OpenSecondaryWindow(a, WindowKind::results).places = found;
    });
  });
  SayIfStillFetching(app, Asker::search, ticket, "Searching");
}

void AddSearchResult(App& app) {
  AppState& s = app.state;
  if (s.secondary.empty() || s.secondary.back().kind != WindowKind::results)
    return;
  const SecondaryWindowState& results = s.secondary.back();
  const location* place = ItemAt(results.places, results.selected);
  if (place == nullptr)
    return;

  city added;
  added.name = FullPlaceName(*place);
  added.alerts = 1;
  s.cities.push_back(std::move(added));
  const uint64_t id = CityId(s.refresh, s.cities.back());
  CloseSecondaryWindow(app);

  // The new city shows at once; its weather follows.
  RefreshCities(app, RefreshMode::new_cities, [id](App& a) {
    ConfirmAddedCity(a, id);
    if (const std::optional<size_t> index = CityIndex(a.state.cities, id))
      a.state.main_window.selected_city = static_cast<int>(*index);
  });
}

}  // namespace skyvigil
