// The screen's changes as short texts, so tests can list them in tables:
// "text size 125", "lines 1: a|b", "select 1 0", "text 2: Weather for Paris",
// "open forecast", "close secondary", "open download", "progress 50",
// "close download", "tooltip Paris - Skyvigil", "show main", "show main in
// front", "hide main", "focus 101", "remove tray", "close main".
#pragma once

#include <string>
#include <vector>

#include "ports/screen.h"

namespace skyvigil::testing {

std::vector<std::string> Described(const std::vector<ScreenChange>& changes);

}  // namespace skyvigil::testing
