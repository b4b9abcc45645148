// Serialises desktop events into the core.
#include "app/core_gate.h"

#include <utility>

#include "app/commands.h"

namespace skyvigil {

namespace {

class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void CoreGate::Run(Handler handler) {
  if (app_ == nullptr)
    return;
  if (busy_) {
    waiting_.push_back(std::move(handler));
    return;
  }
  BusyScope scope(busy_);
  handler(*app_);
  while (!waiting_.empty()) {
    Handler next = std::move(waiting_.front());
    waiting_.pop_front();
    next(*app_);
  }
  OnIdle(*app_);
}

void CoreGate::PostToCore(CoreWork work) {
  main_thread_->Post([this, work = std::move(work)] { Run(work); });
}

void CoreGate::RunBeforeLoop(const Handler& handler) {
  if (app_ == nullptr)
    return;
  BusyScope scope(busy_);
  handler(*app_);
  // Work that arrived while the start-up dialogs were open runs now, not at
  // some later, unrelated event.
  while (!waiting_.empty()) {
    Handler next = std::move(waiting_.front());
    waiting_.pop_front();
    next(*app_);
  }
}

void CoreGate::RunUnlessBusy(const Handler& handler) {
  if (!busy_)
    Run(handler);
}

void CoreGate::Idle() {
  if (app_ == nullptr || busy_)
    return;
  BusyScope scope(busy_);
  OnIdle(*app_);
}

}  // namespace skyvigil
