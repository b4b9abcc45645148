// Work handed to the main thread from any thread: the only way a background
// thread reaches the application's state or its windows.
#pragma once

#include <chrono>
#include <functional>

namespace skyvigil {

class MainThread {
 public:
  virtual ~MainThread() = default;
  // Runs `work` on the main thread, later, in the order posted. Safe to call
  // from any thread.
  virtual void Post(std::function<void()> work) = 0;
  // Runs `work` on the main thread once `delay` has passed, from the event
  // loop's own timer: nothing waits or polls meanwhile. Main thread only.
  virtual void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) = 0;
};

}  // namespace skyvigil
