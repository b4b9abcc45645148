// What the daily briefing keeps between its timer's calls: the day it was
// given (or skipped) and the fetch of its forecasts in flight.
#pragma once

#include <optional>
#include <thread>

#include "ports/clock.h"

namespace skyvigil {

struct BriefingState {
  BriefingState() = default;
  BriefingState(BriefingState&&) = default;  // only before a briefing starts
  BriefingState& operator=(BriefingState&&) = delete;
  // The worker only performs its batch and posts; it is done or nearly so.
  ~BriefingState() {
    if (worker.joinable())
      worker.join();
  }

  std::optional<CivilDate> done_on;  // given or skipped on that day
  bool fetching = false;
  std::thread worker;
};

}  // namespace skyvigil
