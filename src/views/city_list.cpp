// The city list rebuild.
#include "views/city_list.h"

#include <algorithm>
#include <string>
#include <vector>

#include "present/format.h"

namespace skyvigil {

void RefreshCityList(App& app, bool restore) {
  AppState& s = app.state;
  // Nothing selected (or an empty list) counts as the first entry.
  const int before = std::max(app.ui.CitySelection(), 0);

  std::vector<std::string> lines;
  lines.reserve(s.cities.size());
  for (const city& c : s.cities)
    lines.push_back(CitySummaryText(c, s.prefs.celcius));
  app.ui.SetCityLines(lines);

  if (lines.empty()) {
    app.ui.ShowMessage("Alert!", "You have to add a city to use the program.", MessageIcon::none);
    RequestExit(app);
    return;
  }
  app.ui.SelectCity(restore ? static_cast<int>(s.prefs.cities_index) : before);
}

}  // namespace skyvigil
