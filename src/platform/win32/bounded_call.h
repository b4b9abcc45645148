// Calls into another program that may never return (a screen reader's RPC or
// COM interface has no call time-out): each runs on a thread of its own and is
// given up after a limit, so the speech thread, and the exit that waits for
// it, never wait longer.
#pragma once

#include <chrono>
#include <functional>
#include <future>

namespace skyvigil {

class BoundedCaller {
 public:
  explicit BoundedCaller(std::chrono::milliseconds limit) : limit_(limit) {}
  BoundedCaller(const BoundedCaller&) = delete;
  BoundedCaller& operator=(const BoundedCaller&) = delete;

  // Runs `call` on a new thread and returns its answer. False when it has not
  // returned within the limit (it is left to end on its own, so it must hold
  // what it uses), and, without running `call`, while a call given up on
  // earlier still runs: a program that hangs once is not asked again until it
  // answers that call.
  bool Run(std::function<bool()> call);

  // Whether a call given up on still runs.
  bool GivenUpCallRuns();

 private:
  const std::chrono::milliseconds limit_;
  std::future<bool> given_up_;
};

}  // namespace skyvigil
