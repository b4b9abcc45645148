// The automatic update check at start-up, on a background thread that never
// touches a window: its dialogs and the exit run on the main thread. While
// the main window is hidden its dialogs wait until the user shows it, and the
// user hears once that a new version is available.
#pragma once

#include "app/core_gate.h"
#include "ports/main_thread.h"
#include "update/update_check.h"

namespace skyvigil {

// Starts the check on a detached thread. Everything passed must outlive the
// process's run (it belongs to the application object).
void StartAutomaticUpdateCheck(CoreGate& gate, MainThread& main_thread, HttpClient& http,
                               Announcer& announcer, UpdateSource source);

}  // namespace skyvigil
