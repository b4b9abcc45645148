// Adding a city through the weather service's place search and its results window.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// "Search for City": asks for a search text, then shows what the service found.
void SearchForCity(App& app);

// Opens the results window, empty, and searches for `query` (also when empty)
// in the background; the answer fills the window, or closes it and tells the
// user that nothing was found. Dropped if window 1 closed or changed
// meanwhile. Says "Searching" if the answer takes more than a second.
void ShowSearchResults(App& app, const std::string& query);

// Adds the result selected in the results window as a new city, closes the
// window and refreshes the city in the background.
void AddSearchResult(App& app);

}  // namespace skyvigil
