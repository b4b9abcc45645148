// Adding cities: by a typed query (with the duplicate check) and, later, from
// the results of a place search.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// Asks for a zip code or city name and appends it as a new city (alerts on).
// An empty answer adds nothing. Saves nothing: the refresh that follows does.
void PromptNewCity(App& app);

// When another city than the one at `index` has exactly `name`, tells the user,
// removes the city at `index`, saves the list and returns true.
bool RemoveDuplicateCity(App& app, const std::string& name, size_t index);

// Says what became of the city with `id` just added: "Added " and its name as
// the service knows it, or that the service knows no such place. A service
// that could not be asked has said so already.
void ConfirmAddedCity(App& app, uint64_t id);

// "Add City": prompt, the new city listed, then in the background its refresh,
// and after it the duplicate check and the list and report rebuilt.
void AddCity(App& app);

}  // namespace skyvigil
