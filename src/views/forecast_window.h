// The forecast and alerts window of one city: a fresh fetch, then a fixed list.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// Opens window 1 as the forecast window and fills it with the alerts and the
// fourteen-day forecast for `query`; plays the alert cue when alerts are in force.
void OpenForecastWindow(App& app, const std::string& query);

// Copies the forecast list's selected line into its detail box.
void ShowSelectedForecastLine(App& app);

}  // namespace skyvigil
