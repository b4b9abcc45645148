// The user's local calendar date and time of day, behind an interface so tests
// can fix "now".
#pragma once

namespace skyvigil {

// A calendar date without time zone.
struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// A local time of day to the minute.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() const = 0;
  virtual TimeOfDay Now() const = 0;
};

}  // namespace skyvigil
