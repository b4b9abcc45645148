// The screen drawn from the state: what every window shows, computed whole
// from the application's state, and the changes from one screen to the next.
#pragma once

#include <vector>

#include "ports/screen.h"
#include "state/app_state.h"

namespace skyvigil {

// What every window shows for `state`; pure.
Screen Render(const AppState& state);

// The changes that take a desktop showing `before` to `after`, in the order
// of ports/screen.h; none when the two are equal. Lists whose lines are
// unchanged are not set again, a selection or a focus already in place is not
// moved, so a screen reader hears nothing twice.
std::vector<ScreenChange> Diff(const Screen& before, const Screen& after);

// Renders the state and hands the desktop what changed since the screen it
// shows; the core gate calls it after every handler, and the dialogs
// (views/dialogs) before they open, so a dialog stands over the screen as it
// is. Nothing is drawn before the desktop has built the main window.
void Redraw(App& app);

}  // namespace skyvigil
