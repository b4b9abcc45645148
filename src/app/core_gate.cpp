// Serialises desktop events into the core.
#include "app/core_gate.h"

#include <utility>

#include "app/commands.h"
#include "views/render.h"

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

bool CoreGate::Ended() {
  if (app_->state.exit_code.has_value() && !app_->state.exited)
    ExitProgram(*app_);
  if (app_->state.exited)
    waiting_.clear();
  return app_->state.exited;
}

bool CoreGate::Step(const Handler& handler) {
  handler(*app_);
  if (Ended())
    return false;
  Redraw(*app_);
  return true;
}

void CoreGate::Run(Handler handler) {
  if (app_ == nullptr || app_->state.exited)
    return;
  if (busy_) {
    waiting_.push_back(std::move(handler));
    return;
  }
  BusyScope scope(busy_);
  if (Step(handler) && RunWaiting())
    OnIdle(*app_);
}

bool CoreGate::RunWaiting() {
  while (!waiting_.empty()) {
    Handler next = std::move(waiting_.front());
    waiting_.pop_front();
    if (!Step(next))
      return false;
  }
  return true;
}

void CoreGate::PostToCore(CoreWork work) {
  main_thread_->Post([this, work = std::move(work)] { Run(work); });
}

void CoreGate::RunBeforeLoop(const Handler& handler) {
  if (app_ == nullptr || app_->state.exited)
    return;
  BusyScope scope(busy_);
  // Work that arrived while the start-up dialogs were open runs now, not at
  // some later, unrelated event.
  if (Step(handler))
    RunWaiting();
}

void CoreGate::Idle() {
  if (app_ == nullptr || busy_ || app_->state.exited)
    return;
  BusyScope scope(busy_);
  OnIdle(*app_);
}

}  // namespace skyvigil
