// A clock whose "today" the test decides.
#pragma once

#include "ports/clock.h"

namespace skyvigil::testing {

class FixedClock : public Clock {
 public:
  CivilDate today{2024, 3, 6};
  CivilDate Today() const override { return today; }
};

}  // namespace skyvigil::testing
