// Carries the update check's questions, messages and exit to the main thread.
#include "app/update_thread.h"

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

#include "app/commands.h"

namespace skyvigil {

namespace {

// Runs `work` on the main thread once no other core handler is running (so
// never in the middle of a save or while a main-thread dialog is open), and
// waits for its result. A dialog (`on_wait` given) would stand unowned behind
// other windows while the main window is hidden: it then waits until the user
// shows the window, and `on_wait` tells the user what waits.
template <class Result>
Result OnMainThread(CoreGate& gate, MainThread& main_thread, std::function<Result(App&)> work,
                    std::function<void(App&)> on_wait) {
  auto done = std::make_shared<std::promise<Result>>();
  std::future<Result> result = done->get_future();
  CoreWork finish = [work = std::move(work), done](App& app) {
    if constexpr (std::is_void_v<Result>) {
      work(app);
      done->set_value();
    } else {
      done->set_value(work(app));
    }
  };
  main_thread.Post([&gate, finish = std::move(finish), on_wait = std::move(on_wait)] {
    gate.Run([finish, on_wait](App& app) {
      if (!on_wait || app.state.prefs.window_hidden == 0) {
        finish(app);
        return;
      }
      on_wait(app);
      app.state.when_window_shown.push_back(finish);
    });
  });
  return result.get();
}

class BackgroundPrompter : public UpdatePrompter {
 public:
  BackgroundPrompter(CoreGate& gate, MainThread& main_thread)
      : gate_(gate), main_thread_(main_thread) {}

  void NewVersionFound(const std::string& version) override { version_ = version; }
  void ShowMessage(const std::string& title, const std::string& text) override {
    OnMainThread<void>(
        gate_, main_thread_,
        [title, text](App& app) { app.ui.ShowMessage(title, text, MessageIcon::none); },
        TellOnce());
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return OnMainThread<bool>(
        gate_, main_thread_, [title, text](App& app) { return app.ui.AskYesNo(title, text); },
        TellOnce());
  }
  void StartUpdater() override {
    OnMainThread<void>(
        gate_, main_thread_,
        [](App& app) { app.process.StartUpdater(app.state.paths.updater_program); }, nullptr);
  }
  void ExitProgram() override {
    // The exit ends the process on the main thread; this thread just stops.
    main_thread_.Post([gate = &gate_] { gate->Run([](App& app) { skyvigil::ExitProgram(app); }); });
  }

 private:
  // Run on the main thread while this thread waits, so `told_` needs no lock.
  std::function<void(App&)> TellOnce() {
    return [this](App& app) {
      if (std::exchange(told_, true))
        return;
      app.announcer.SpeakInBackground("Skyvigil " + version_ + " is available.");
    };
  }

  CoreGate& gate_;
  MainThread& main_thread_;
  std::string version_;
  bool told_ = false;
};

}  // namespace

void StartAutomaticUpdateCheck(CoreGate& gate, MainThread& main_thread, HttpClient& http,
                               Announcer& announcer, UpdateSource source) {
  if (source.update_address.empty())
    return;
  std::thread([&gate, &main_thread, &http, &announcer, source = std::move(source)] {
    BackgroundPrompter prompter(gate, main_thread);
    CheckForUpdate(http, announcer, prompter, source, true);
  }).detach();
}

}  // namespace skyvigil
