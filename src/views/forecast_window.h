// The forecast and alerts window of one city: a fresh fetch in the
// background, then a fixed list.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// Opens window 1 as the forecast window, empty, and fills it with the alerts
// and the fourteen-day forecast for `query` when the answer comes (dropped if
// window 1 closed or changed meanwhile); plays the alert cue when alerts are
// in force. Says "Loading forecast" if the answer takes more than a second.
void OpenForecastWindow(App& app, const std::string& query);

// Copies the forecast list's selected line into its detail box.
void ShowSelectedForecastLine(App& app);

}  // namespace skyvigil
