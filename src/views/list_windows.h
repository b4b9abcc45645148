// The list windows: the next 24 hours of the selected city, and one alert's
// details opened from the forecast window.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Opens "Next Hours" for the selected city with a fresh two-day forecast.
void OpenNextHoursWindow(App& app);

// Enter in the forecast window: the selected line's alert in its own window.
void OpenAlertWindow(App& app);

}  // namespace skyvigil
