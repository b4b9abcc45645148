// The program's one message loop: waits for messages, gives each window's
// accelerators and dialog keys their turn, and runs the core's idle step.
#pragma once

#include "app/core_gate.h"

namespace skyvigil {

// Returns when WM_QUIT arrives (the core normally ends the process first).
int RunMessageLoop(CoreGate& gate);

}  // namespace skyvigil
