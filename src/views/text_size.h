// The text size of every window, in steps the user takes from the Settings menu.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

inline constexpr int kSmallestTextSize = 100;
inline constexpr int kLargestTextSize = 300;
inline constexpr int kTextSizeStep = 25;

// A saved size brought into the range (a file edited by hand may hold anything).
int UsableTextSize(int64_t percent);

// One step larger (`steps` 1) or smaller (-1), kept within the range; says
// "Text size 150 percent", applies it to the windows and saves it.
void ChangeTextSize(App& app, int steps);

// Gives the windows the saved size at start.
void ApplyTextSize(App& app);

}  // namespace skyvigil
