// What the daily briefing keeps between its timer's calls: the day it was
// given (or skipped). Its forecasts are fetched like any other.
#pragma once

#include <optional>

#include "ports/clock.h"

namespace skyvigil {

struct BriefingState {
  std::optional<CivilDate> done_on;  // given or skipped on that day
};

}  // namespace skyvigil
