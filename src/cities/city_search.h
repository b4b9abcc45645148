// Adding a city through the weather service's place search and its results window.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// "Search for City": asks for a search text (cancelling gives the empty
// text), then searches for it.
void SearchForCity(App& app);

// Searches for `query` (also when empty) in the background. Results open the
// results window with the first one selected; none: "Error" / "No results"
// and no window opens, the secondary window shown staying as it is. Dropped
// if another secondary window opened meanwhile. Says "Searching" if the
// answer takes more than a second.
void ShowSearchResults(App& app, const std::string& query);

// Adds the result selected in the results window as a new city, closes the
// window and refreshes the city in the background; the city is then selected
// in the list while the report stays with the city shown before.
void AddSearchResult(App& app);

}  // namespace skyvigil
