// Adding a city through the weather service's place search and its results window.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// "Search for City": asks for a search text, then shows what the service found.
void SearchForCity(App& app);

// Searches for `query` (also when empty) and opens the results window, or
// tells the user that nothing was found.
void ShowSearchResults(App& app, const std::string& query);

// Adds the result selected in the results window as a new city, closes the
// window and refreshes the city in the background.
void AddSearchResult(App& app);

}  // namespace skyvigil
