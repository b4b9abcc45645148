// The automatic update check at start-up, on a background thread that never
// touches a window: its dialogs and the exit run on the main thread.
#pragma once

#include "platform/desktop/core_gate.h"
#include "update/update_check.h"

namespace skyvigil {

// Starts the check on a detached thread. `source`, `http` and `announcer`
// must outlive the process's run (they belong to the application object).
void StartAutomaticUpdateCheck(CoreGate& gate, HttpClient& http, Announcer& announcer,
                               UpdateSource source);

}  // namespace skyvigil
