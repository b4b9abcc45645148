// The main window's selection, its showing and hiding, and the settings saved
// with them.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// The city at `index` is selected and its report shows from its first line;
// the selection is written to prefs.ini a second later, once for a run of
// arrow keys.
void ShowCurrentWeather(App& app, int index);

// Writes prefs.ini now, the selection included.
void SaveSettings(App& app);
// Writes the selection now if it changed since the file was last written.
void SaveSelection(App& app);

// No city is left: "Alert!" / "You have to add a city to use the program.",
// then the end.
void EndWithoutCities(App& app);

// "Remove City": asks, removes the selected city and saves the list; the last
// one asks for a new city first, and the program ends without any.
void RemoveCity(App& app);

}  // namespace skyvigil
