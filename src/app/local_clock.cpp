// std::localtime shares one buffer between callers, so its use is serialised.
#include "app/local_clock.h"

#include <ctime>
#include <mutex>

namespace skyvigil {

CivilDate LocalClock::Today() const {
  static std::mutex buffer;
  const std::time_t now = std::time(nullptr);
  std::lock_guard lock(buffer);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr)
    return {};
  return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

}  // namespace skyvigil
