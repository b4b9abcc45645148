// Work handed to the main thread from any thread: the only way a background
// thread reaches the application's state or its windows.
#pragma once

#include <functional>

namespace skyvigil {

class MainThread {
 public:
  virtual ~MainThread() = default;
  // Runs `work` on the main thread, later, in the order posted. Safe to call
  // from any thread.
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace skyvigil
