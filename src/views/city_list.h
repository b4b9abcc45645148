// The city list: one summary line per city, the selection kept or restored.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Rebuilds the city list. With `restore` the saved cities_index is selected,
// otherwise the entry that was selected before. Asks for the program's end
// when no city is left.
void RefreshCityList(App& app, bool restore);

}  // namespace skyvigil
