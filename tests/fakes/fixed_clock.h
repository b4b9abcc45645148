// A clock whose "today" and time of day the test decides.
#pragma once

#include "ports/clock.h"

namespace skyvigil::testing {

class FixedClock : public Clock {
 public:
  CivilDate today{2024, 3, 6};
  TimeOfDay now{12, 0};
  CivilDate Today() const override { return today; }
  TimeOfDay Now() const override { return now; }
};

}  // namespace skyvigil::testing
