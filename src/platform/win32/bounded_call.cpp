// The thread of each call and the wait for its answer.
#include "platform/win32/bounded_call.h"

#include <thread>
#include <utility>

namespace skyvigil {

bool BoundedCaller::GivenUpCallRuns() {
  return given_up_.valid() &&
         given_up_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool BoundedCaller::Run(std::function<bool()> call) {
  if (GivenUpCallRuns())
    return false;
  std::promise<bool> answer;
  std::future<bool> answered = answer.get_future();
  std::thread([call = std::move(call), answer = std::move(answer)]() mutable {
    answer.set_value(call());
  }).detach();
  if (answered.wait_for(limit_) != std::future_status::ready) {
    given_up_ = std::move(answered);
    return false;
  }
  return answered.get();
}

}  // namespace skyvigil
