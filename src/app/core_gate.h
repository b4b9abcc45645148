// Hands desktop events to the core one at a time. While a handler runs (its
// modal dialogs and network requests included) nothing else reaches the core:
// idle passes are skipped and other events wait until the handler returns.
// After each handler the screen is drawn again (Redraw). An exit a handler
// asked for runs when it returns; after it nothing runs.
#pragma once

#include <deque>
#include <functional>

#include "state/app_state.h"

namespace skyvigil {

class CoreGate : public CorePoster {
 public:
  using Handler = std::function<void(App&)>;

  void Attach(App& app) {
    app_ = &app;
    main_thread_ = &app.main_thread;
    app.core = this;
  }

  // From any thread: posts `work` to the main thread, where it runs like Run.
  void PostToCore(CoreWork work) override;

  // Runs `handler` now, or after the handler that is running (an event is
  // never dropped: each carries its value); then lets the core announce what
  // changed.
  void Run(Handler handler);
  // Start-up steps before the event loop runs: nothing is announced after
  // them, since the first refresh has not happened yet.
  // Work that reached Run meanwhile (a dialog runs its own loop) follows them.
  void RunBeforeLoop(const Handler& handler);
  // The event loop fell idle.
  void Idle();

  bool busy() const { return busy_; }

 private:
  // Runs the exit once it was asked for; true when the program has ended.
  bool Ended();
  // Runs one handler and draws what it changed; false once the program ended.
  bool Step(const Handler& handler);
  // Runs the work that arrived while a handler ran; false once the program ended.
  bool RunWaiting();

  App* app_ = nullptr;
  MainThread* main_thread_ = nullptr;
  bool busy_ = false;
  std::deque<Handler> waiting_;
};

}  // namespace skyvigil
