// The clock of the machine the program runs on, in its local time zone.
#pragma once

#include "ports/clock.h"

namespace skyvigil {

class LocalClock : public Clock {
 public:
  CivilDate Today() const override;
  TimeOfDay Now() const override;
};

}  // namespace skyvigil
