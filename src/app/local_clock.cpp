// std::localtime shares one buffer between callers, so its use is serialised.
#include "app/local_clock.h"

#include <ctime>
#include <mutex>

namespace skyvigil {

namespace {

// A copy of the local broken-down time; all zero when the time can't be had.
std::tm LocalNow() {
  static std::mutex buffer;
  const std::time_t now = std::time(nullptr);
  std::lock_guard lock(buffer);
  const std::tm* local = std::localtime(&now);
  return local != nullptr ? *local : std::tm{};
}

}  // namespace

CivilDate LocalClock::Today() const {
  const std::tm local = LocalNow();
  if (local.tm_mday == 0)
    return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

TimeOfDay LocalClock::Now() const {
  const std::tm local = LocalNow();
  return {local.tm_hour, local.tm_min};
}

}  // namespace skyvigil
