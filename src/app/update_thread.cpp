// Runs the update checks off the main thread and carries their questions,
// messages and exit to it.
#include "app/update_thread.h"

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

#include "app/commands.h"
#include "app/download_window.h"
#include "app/start_program.h"
#include "state/fetch.h"
#include "views/dialogs.h"

namespace skyvigil {

namespace {

// Runs `work` on the main thread once no other core handler is running (so
// never in the middle of a save or while a main-thread dialog is open), and
// waits for its result. Once the program has ended the work never runs: the
// answer is then "no" (or nothing), which ends the check. A dialog (`on_wait`
// given) would stand unowned behind other windows while the main window is
// hidden: it then waits until the user shows the window, and `on_wait` tells
// the user what waits.
template <class Result>
Result OnMainThread(const PostWork& post, std::function<Result(App&)> work,
                    std::function<void(App&)> on_wait) {
  auto done = std::make_shared<std::promise<Result>>();
  std::future<Result> result = done->get_future();
  // The promise lives only in the posted work: work dropped unrun breaks it,
  // and the wait below ends instead of lasting for ever.
  CoreWork finish = [work = std::move(work), done = std::move(done)](App& app) {
    if constexpr (std::is_void_v<Result>) {
      work(app);
      done->set_value();
    } else {
      done->set_value(work(app));
    }
  };
  post([finish = std::move(finish), on_wait = std::move(on_wait)](App& app) {
    if (!on_wait || app.state.prefs.window_hidden == 0) {
      finish(app);
      return;
    }
    on_wait(app);
    app.state.when_window_shown.push_back(finish);
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

  void NewVersionFound(const std::string& version) override { version_ = version; }
  void ShowMessage(const std::string& title, const std::string& text) override {
    OnMainThread<void>(
        post_, [title, text](App& app) { skyvigil::ShowMessage(app, title, text); }, TellOnce());
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    return OnMainThread<bool>(
        post_, [title, text](App& app) { return skyvigil::AskYesNo(app, title, text); },
        TellOnce());
  }
  void StartUpdater() override {
    OnMainThread<void>(
        post_, [](App& app) { app.process.StartUpdater(app.state.paths.updater_program); },
        nullptr);
  }
  void ExitProgram() override {
    // The exit runs on the main thread; this thread just stops.
    post_([](App& app) { RequestExit(app); });
  }
  void DownloadBegins() override {
    download_ = std::make_shared<UpdateDownload>();
    post_([download = download_](App& app) { WatchUpdateDownload(app, download); });
  }
  bool DownloadGoesOn(uint64_t received, uint64_t total) override {
    return ReportDownloadProgress(download_, received, total, post_);
  }
  bool DownloadCancelled() override { return skyvigil::DownloadCancelled(*download_); }
  bool DownloadEnds() override {
    const bool cancelled = EndDownload(*download_);
    post_([download = download_](App& app) { ForgetUpdateDownload(app, download); });
    return cancelled;
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

  PostWork post_;
  std::shared_ptr<UpdateDownload> download_;  // the one under way
  std::string version_;
  bool told_ = false;
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
    try {
      CheckForUpdate(http, announcer, prompter, source, true);
    } catch (const std::future_error&) {
      // The program is ending and dropped the work posted to its windows
      // unrun: the check has no one left to ask.
    }
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
