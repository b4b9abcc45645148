// The "Add City" command and the first-city prompt.
#include "cities/city_add.h"

#include <optional>

#include "app/current_weather.h"
#include "monitor/monitor_cycle.h"
#include "weather/cities_store.h"

namespace skyvigil {

void PromptNewCity(App& app) {
  std::string answer = app.ui.AskText(
      "New City", "Enter either a zip code or a city name to use with the program.", "");
  if (answer.empty())
    return;
  city added;
  added.name = std::move(answer);
  added.alerts = 1;
  app.state.cities.push_back(std::move(added));
}

bool RemoveDuplicateCity(App& app, const std::string& name, size_t index) {
  auto& cities = app.state.cities;
  for (size_t i = 0; i < cities.size(); ++i) {
    if (i == index || cities[i].name != name)
      continue;
    app.ui.ShowMessage("Alert", "You already have added this city to Skyvigil.", MessageIcon::none);
    cities.erase(cities.begin() + static_cast<std::ptrdiff_t>(index));
    SaveCities(cities, app.state.paths.cities_file);
    return true;
  }
  return false;
}

void AddCity(App& app) {
  PromptNewCity(app);
  auto& cities = app.state.cities;
  // The duplicate check is for the city that is last now: the new one, or the
  // one that was already last when nothing was given.
  const uint64_t last = cities.empty() ? 0 : CityId(app.state.refresh, cities.back());
  RefreshCityList(app, false);  // the new city shows at once, its weather follows
  RefreshCities(app, RefreshMode::new_cities, [last](App& a) {
    if (const std::optional<size_t> index = CityIndex(a.state.cities, last)) {
      const std::string name = a.state.cities[*index].name;
      RemoveDuplicateCity(a, name, *index);
    }
    RefreshCityList(a, false);
    ShowCurrentWeather(a);
  });
}

}  // namespace skyvigil
