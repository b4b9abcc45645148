// The forecast and alerts of one city in the secondary window, fetched fresh
// in the background, and one alert's details opened from it.
#pragma once

#include <string>

#include "state/app_state.h"

namespace skyvigil {

// "View forecast" (Enter in the main window): the selected city's forecast.
void ViewForecast(App& app);

// Opens the forecast window, empty, and fills it with the alerts and the
// fourteen-day forecast for `query` when the answer comes (dropped if the
// window closed or was replaced meanwhile); plays the alert cue when alerts
// are in force. Says "Loading forecast" if the answer takes more than a second.
void OpenForecastWindow(App& app, const std::string& query);

// Enter on an alert's line of the forecast list: the alert's details, over
// the forecast, which their Escape shows again on the same line.
void OpenAlertWindow(App& app);

}  // namespace skyvigil
