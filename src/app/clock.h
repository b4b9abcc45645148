// The user's local calendar date, behind an interface so tests can fix "today".
#pragma once

#include "present/format.h"

namespace skyvigil {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() const = 0;
};

}  // namespace skyvigil
