// The current-weather report of the selected city in the main window: heading,
// report list, detail box and tray tooltip.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Rebuilds the report for the city selected in the city list, remembers the
// selection in prefs.ini and updates the tooltip.
void ShowCurrentWeather(App& app);

// Copies the selected report line into the detail box (empty when none).
void ShowSelectedLine(App& app);

}  // namespace skyvigil
