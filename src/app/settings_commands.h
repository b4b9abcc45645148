// The Settings menu's commands that the shell serves: the unit, the text
// size, the boxes of the temperature difference, the daily briefing and the
// quiet hours, and the start at login.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Cycles the temperature display unit and says its name.
void ToggleUnit(App& app);

// One text size step larger (`steps` 1) or smaller (-1), kept within the
// range; says "Text size 150 percent" and saves it.
void ChangeTextSize(App& app, int steps);

// Asks for a new temperature difference; a value above 0 replaces it.
void SetTemperatureDifference(App& app);

// "Daily Briefing...": asks for "HH:MM", again after a message while the
// answer is neither a time nor empty; empty switches it off, Escape leaves it
// as it was.
void SetDailyBriefing(App& app);

// "Quiet Hours...": asks for "HH:MM-HH:MM", again naming the form until the
// hours are well typed or empty (switched off); Escape leaves them as they were.
void SetQuietHours(App& app);

// Says the state the switch is in afterwards, so a failed change is not
// reported as done.
void ToggleStartAtLogin(App& app);

}  // namespace skyvigil
