// Runs the update checks off the main thread and carries their questions,
// messages and exit to it.
#include "app/update_thread.h"

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>

#include "app/commands.h"
#include "app/start_program.h"
#include "state/fetch.h"

namespace skyvigil {

namespace {

// Hands core work to the main thread, where it runs between handlers.
using PostWork = std::function<void(CoreWork)>;

// Runs `work` on the main thread once no other core handler is running (so
// never in the middle of a save or while a main-thread dialog is open), and
// waits for its result. Once the program has ended the work never runs: the
// answer is then "no" (or nothing), which ends the check.
template <class Result>
Result OnMainThread(const PostWork& post, std::function<Result(App&)> work) {
  auto done = std::make_shared<std::promise<Result>>();
  std::future<Result> result = done->get_future();
  post([work = std::move(work), done](App& app) {
    if constexpr (std::is_void_v<Result>) {
      work(app);
      done->set_value();
    } else {
      done->set_value(work(app));
    }
  });
  try {
    return result.get();
  } catch (const std::future_error&) {  // dropped unrun: the program has ended
    return Result();
  }
}

class BackgroundPrompter : public UpdatePrompter {
 public:
  explicit BackgroundPrompter(PostWork post) : post_(std::move(post)) {}

  void ShowMessage(const std::string& title, const std::string& text) override {
    OnMainThread<void>(
        post_, [title, text](App& app) { app.ui.ShowMessage(title, text, MessageIcon::none); });
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return OnMainThread<bool>(post_,
                              [title, text](App& app) { return app.ui.AskYesNo(title, text); });
  }
  void StartUpdater() override {
    OnMainThread<void>(post_,
                       [](App& app) { app.process.StartUpdater(app.state.paths.updater_program); });
  }
  void ExitProgram() override {
    // The exit runs on the main thread; this thread just stops.
    post_([](App& app) { RequestExit(app); });
  }

 private:
  PostWork post_;
};

}  // namespace

void StartAutomaticUpdateCheck(CoreGate& gate, MainThread& main_thread, HttpClient& http,
                               Announcer& announcer, UpdateSource source) {
  if (source.update_address.empty())
    return;
  std::thread([&gate, &main_thread, &http, &announcer, source = std::move(source)] {
    BackgroundPrompter prompter([&gate, &main_thread](CoreWork work) {
      main_thread.Post([&gate, work = std::move(work)] { gate.Run(work); });
    });
    CheckForUpdate(http, announcer, prompter, source, true);
  }).detach();
}

void StartUpdateCheck(App& app) {
  const UpdateSource source = UpdateSourceFor(app.state);
  StartFetch(
      app, Asker::update, [core = app.core, &announcer = app.announcer, source](HttpClient& http) {
        BackgroundPrompter prompter([core](CoreWork work) { core->PostToCore(std::move(work)); });
        CheckForUpdate(http, announcer, prompter, source, false);
        return CoreWork([](App&) {});
      });
}

}  // namespace skyvigil
