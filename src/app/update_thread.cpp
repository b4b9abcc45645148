// Carries the update check's questions, messages and exit to the main thread.
#include "app/update_thread.h"

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>

#include "app/commands.h"

namespace skyvigil {

namespace {

// Runs `work` on the main thread once no other core handler is running (so
// never in the middle of a save or while a main-thread dialog is open), and
// waits for its result.
template <class Result>
Result OnMainThread(CoreGate& gate, MainThread& main_thread, std::function<Result(App&)> work) {
  auto done = std::make_shared<std::promise<Result>>();
  std::future<Result> result = done->get_future();
  main_thread.Post([&gate, work = std::move(work), done] {
    gate.Run([work, done](App& app) {
      if constexpr (std::is_void_v<Result>) {
        work(app);
        done->set_value();
      } else {
        done->set_value(work(app));
      }
    });
  });
  return result.get();
}

class BackgroundPrompter : public UpdatePrompter {
 public:
  BackgroundPrompter(CoreGate& gate, MainThread& main_thread)
      : gate_(gate), main_thread_(main_thread) {}

  void ShowMessage(const std::string& title, const std::string& text) override {
    OnMainThread<void>(gate_, main_thread_, [title, text](App& app) {
      app.ui.ShowMessage(title, text, MessageIcon::none);
    });
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return OnMainThread<bool>(gate_, main_thread_,
                              [title, text](App& app) { return app.ui.AskYesNo(title, text); });
  }
  void StartUpdater() override {
    OnMainThread<void>(gate_, main_thread_,
                       [](App& app) { app.process.StartUpdater(app.state.paths.updater_program); });
  }
  void ExitProgram() override {
    // The exit ends the process on the main thread; this thread just stops.
    main_thread_.Post([gate = &gate_] { gate->Run([](App& app) { skyvigil::ExitProgram(app); }); });
  }

 private:
  CoreGate& gate_;
  MainThread& main_thread_;
};

}  // namespace

void StartAutomaticUpdateCheck(CoreGate& gate, MainThread& main_thread, HttpClient& http,
                               Announcer& announcer, UpdateSource source) {
  if (source.update_address.empty())
    return;
  std::thread([&gate, &main_thread, &http, &announcer, source = std::move(source)] {
    BackgroundPrompter prompter(gate, main_thread);
    try {
      CheckForUpdate(http, announcer, prompter, source, true);
    } catch (const std::future_error&) {
      // The program is ending and dropped the work posted to its windows
      // unrun: the check has no one left to ask.
    }
  }).detach();
}

}  // namespace skyvigil
