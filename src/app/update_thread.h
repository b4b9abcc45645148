// The update checks, at start-up and from the menu, on background threads that
// never touch a window: their dialogs and the exit run on the main thread.
// While the main window is hidden the automatic check's dialogs wait until the
// user shows it, and the user hears once that a new version is available.
#pragma once

#include "app/core_gate.h"
#include "ports/main_thread.h"
#include "update/update_check.h"

namespace skyvigil {

// Starts the check on a detached thread. Everything passed must outlive the
// process's run (it belongs to the application object).
void StartAutomaticUpdateCheck(CoreGate& gate, MainThread& main_thread, HttpClient& http,
                               Announcer& announcer, UpdateSource source);

// The check from the menu: on a worker of the core's fetch, its dialogs on the
// main thread; it says "No update available." when there is none.
void StartUpdateCheck(App& app);

}  // namespace skyvigil
