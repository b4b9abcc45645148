// Opening and closing the secondary window: its state is replaced whole, and
// whatever was still loading for the window it replaces is dropped.
#pragma once

#include "state/app_state.h"

namespace skyvigil {

// Opens the secondary window of `kind`, empty, its list focused, in place of
// any other; a load for the window replaced and a search still waiting are
// dropped (the newer request for the window wins). Returns it to be filled.
SecondaryWindowState& OpenSecondaryWindow(App& app, WindowKind kind);

// Opens `window` over the one shown, which its closing shows again.
void OpenOverSecondaryWindow(App& app, SecondaryWindowState window);

// Closes the secondary window shown (dropping what it still loads); the one
// it was opened over, if any, shows again.
void CloseSecondaryWindow(App& app);

}  // namespace skyvigil
