// The next 24 hours of the selected city in the secondary window.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// "View next hours" (Shift+Enter): opens the window, empty, and fills it from
// a fresh two-day forecast when the answer comes. Says "Loading next hours" if
// the answer takes more than a second.
void OpenNextHoursWindow(App& app);

}  // namespace skyvigil
