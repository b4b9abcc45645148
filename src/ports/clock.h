// The user's local calendar date, behind an interface so tests can fix "today".
#pragma once

namespace skyvigil {

// A calendar date without time zone.
struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() const = 0;
};

}  // namespace skyvigil
