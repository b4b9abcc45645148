// Where a top-level window goes on its monitor: inside the work area (the
// monitor without the taskbar), so its title and menu bar can be reached.
#pragma once

#include <windows.h>

namespace skyvigil {

// `wanted` moved into `work`, and first shrunk to it where it is wider or
// taller.
RECT FitInWorkArea(const RECT& wanted, const RECT& work);

// A window of `outer` size centred in `work`, then fitted into it.
RECT CentreInWorkArea(SIZE outer, const RECT& work);

}  // namespace skyvigil
