// Carries the update check's questions, messages and exit to the main thread.
#include "platform/desktop/update_thread.h"

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>

#include <wx/app.h>

#include "app/commands.h"

namespace skyvigil {

namespace {

// Runs `work` on the main thread once no other core handler is running (so
// never in the middle of a save or while a main-thread dialog is open), and
// waits for its result.
template <class Result>
Result OnMainThread(CoreGate& gate, std::function<Result(App&)> work) {
  auto done = std::make_shared<std::promise<Result>>();
  std::future<Result> result = done->get_future();
  wxTheApp->CallAfter([&gate, work = std::move(work), done] {
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
  explicit BackgroundPrompter(CoreGate& gate) : gate_(gate) {}

  void ShowMessage(const std::string& title, const std::string& text) override {
    OnMainThread<void>(
        gate_, [title, text](App& app) { app.ui.ShowMessage(title, text, MessageIcon::none); });
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return OnMainThread<bool>(gate_,
                              [title, text](App& app) { return app.ui.AskYesNo(title, text); });
  }
  void StartUpdater() override {
    OnMainThread<void>(gate_, [](App& app) { app.ui.StartUpdater(); });
  }
  void ExitProgram() override {
    // The exit ends the process on the main thread; this thread just stops.
    wxTheApp->CallAfter(
        [gate = &gate_] { gate->Run([](App& app) { skyvigil::ExitProgram(app); }); });
  }

 private:
  CoreGate& gate_;
};

}  // namespace

void StartAutomaticUpdateCheck(CoreGate& gate, HttpClient& http, Announcer& announcer,
                               UpdateSource source) {
  if (source.update_address.empty())
    return;
  std::thread([&gate, &http, &announcer, source = std::move(source)] {
    BackgroundPrompter prompter(gate);
    CheckForUpdate(http, announcer, prompter, source, true);
  }).detach();
}

}  // namespace skyvigil
