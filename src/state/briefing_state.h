// What the daily briefing keeps between its timer's calls: the day it was
// given (or skipped), and which timer is the current one. Its forecasts are
// fetched like any other.
#pragma once

#include <cstdint>
#include <optional>

#include "ports/clock.h"

namespace skyvigil {

struct BriefingState {
  std::optional<CivilDate> done_on;  // given or skipped on that day
  uint64_t timer = 0;                // the timer set last; an older one, superseded, does nothing
};

}  // namespace skyvigil
