// The "Add City" command and the first-city prompt.
#include "cities/city_add.h"

#include <optional>

#include "monitor/refresh.h"
#include "views/city_list.h"
#include "views/current_weather.h"
#include "weather/cities_store.h"

namespace skyvigil {

void PromptNewCity(App& app) {
  std::string answer =
      app.ui
          .AskText("New City", "Enter either a zip code or a city name to use with the program.",
                   "")
          .value_or("");
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

void ConfirmAddedCity(App& app, uint64_t id) {
  const std::optional<size_t> index = CityIndex(app.state.cities, id);
  if (!index)
    return;
  const city& c = app.state.cities[*index];
  if (!c.weather.location.name.empty())
    app.announcer.Speak("Added " + c.name, false);
  else if (app.state.refresh.unknown_places.contains(id))
    app.announcer.Speak("Not found: " + c.name, false);
}

void AddCity(App& app) {
  auto& cities = app.state.cities;
  const size_t before = cities.size();
  PromptNewCity(app);
  // Only a city just added is checked: twins already in the list (the search
  // may add them) are the user's own, and a cancelled prompt must change nothing.
  const uint64_t added = cities.size() > before ? CityId(app.state.refresh, cities.back()) : 0;
  RefreshCityList(app, false);  // the new city shows at once, its weather follows
  RefreshCities(app, RefreshMode::new_cities, [added](App& a) {
    if (const std::optional<size_t> index = CityIndex(a.state.cities, added)) {
      const std::string name = a.state.cities[*index].name;
      if (!RemoveDuplicateCity(a, name, *index))
        ConfirmAddedCity(a, added);
    }
    RefreshCityList(a, false);
    ShowCurrentWeather(a);
  });
}

}  // namespace skyvigil
