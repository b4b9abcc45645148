// The current-weather report of the selected city in the main window: heading,
// report list, detail box and tray tooltip.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Rebuilds the report for the city selected in the city list, remembers the
// selection (written to prefs.ini a second later, once for many changes) and
// updates the tooltip.
void ShowCurrentWeather(App& app);

// Writes prefs.ini now, the selection included.
void SaveSettings(App& app);
// Writes the selection now if it changed since the file was last written.
void SaveSelection(App& app);

// Copies the selected report line into the detail box (empty when none).
void ShowSelectedLine(App& app);

}  // namespace skyvigil
