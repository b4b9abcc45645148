// The update download's window, through the menu's check: opened only when
// the download takes longer than the delay, its bar updated at most once a
// pause, closed when the download ends; Escape cancels the download.
#include "app/download_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;

// What the test does next: a block of the transfer (`received` of `total`
// bytes), the end of a transfer, time passing, the user's Escape, or a wait
// until the download's end has been posted, leaving it unrun.
struct Step {
  enum Kind { block, completes, fails, time_passes, escape, end_posted } kind;
  uint64_t received = 0;
  uint64_t total = 0;
};

Step Block(uint64_t received, uint64_t total) {
  return {Step::block, received, total};
}
constexpr Step kCompletes{Step::completes};
constexpr Step kFails{Step::fails};
constexpr Step kTimePasses{Step::time_passes};
constexpr Step kEscape{Step::escape};
constexpr Step kEndPosted{Step::end_posted};

// The downloads, one transfer step at a time as the test hands them over.
class SteppedTransfers {
 public:
  // On the worker: writes what arrived so far and reports it, or ends.
  DownloadResult Run(const std::filesystem::path& target, const DownloadProgress& progress) {
    for (;;) {
      const Step step = Take();
      bool goes_on = step.kind == Step::block;
      if (step.kind != Step::fails)
        platform_test::WriteBytes(target, std::string(step.received, 'x'));
      if (goes_on)
        goes_on = progress(step.received, step.total);
      // A failed or cancelled transfer leaves no file, as the port says.
      if (!goes_on && step.kind != Step::completes)
        std::filesystem::remove(target);
      Made();
      if (!goes_on)
        return {step.kind == Step::completes, step.kind == Step::fails ? 0 : 200};
    }
  }

  // On the test's thread: hands one step over and waits until it was made.
  void Make(Step step) {
    std::unique_lock lock(mutex_);
    next_ = step;
    made_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return made_; });
  }

 private:
  Step Take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return next_.has_value(); });
    const Step step = *next_;
    next_.reset();
    return step;
  }
  void Made() {
    std::lock_guard lock(mutex_);
    made_ = true;
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Step> next_;
  bool made_ = false;
};

struct DownloadCase {
  const char* name;
  std::vector<Step> steps;  // the archive's, then the signature's
  std::vector<std::string> window;
  std::vector<std::string> said;
  std::vector<std::string> dialogs;  // after the question
};

constexpr char kQuestion[] =
    "Alert|There is a new version of Skyvigil available, 0.40. Would you like to download it now?";
constexpr char kNoSignature[] =
    "Download error|The downloaded update was deleted because it has no signature. Skyvigil is "
    "unchanged.";

TEST(DownloadWindow, OpensLateShowsProgressSparinglyAndEscapeCancels) {
  const std::vector<DownloadCase> cases = {
      {"a fast download never opens it",
       {Block(0, 1000), Block(1000, 1000), kCompletes, kFails},
       {},
       {},
       {kNoSignature}},
      {"a slow one opens after the delay and closes at its end",
       {Block(0, 1000), kTimePasses, Block(500, 1000), Block(700, 1000), kTimePasses,
        Block(900, 1000), kCompletes, kFails},
       {"open Downloading update", "bar 0", "bar 50", "bar 70", "close"},
       {},
       {kNoSignature}},
      {"without a length the bar pulses; a failure closes it",
       {Block(100, 0), kTimePasses, Block(900, 0), kFails},
       {"open Downloading update", "bar -1", "close"},
       {},
       {"Download error|There was an error downloading Skyvigil.zip."}},
      {"Escape cancels the archive's transfer",
       {Block(100, 1000), kTimePasses, kEscape, Block(200, 1000)},
       {"open Downloading update", "bar 10", "close"},
       {"say:Update download cancelled."},
       {}},
      {"Escape during the signature's deletes the archive too",
       {Block(1000, 1000), kTimePasses, kCompletes, Block(10, 0), kEscape, Block(20, 0)},
       {"open Downloading update", "bar 100", "close"},
       {"say:Update download cancelled."},
       {}},
      {"Escape after the end is too late and says nothing",
       {Block(1000, 1000), kTimePasses, kCompletes, kFails, kEndPosted, kEscape},
       {"open Downloading update", "bar 100", "close"},
       {},
       {kNoSignature}},
  };
  for (const DownloadCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::AppHarness h;
    h.app.state.app_version = "0.36";
    h.app.state.service.update_address = "https://updates.test";
    h.app.state.paths.updater_program = "updater.exe";
    h.app.state.paths.archive_file = h.folder / "Skyvigil.zip";
    h.http.answer = [](const HttpRequest&) { return HttpResponse{true, 200, "0.40"}; };
    SteppedTransfers transfers;
    h.http.download = [&transfers](const std::string&, const std::filesystem::path& target,
                                   const DownloadProgress& progress) {
      return transfers.Run(target, progress);
    };
    h.ui.yes_no_answers = {true};

    RunCommand(h.app, kCheckForUpdates);
    // The question, then the download's beginning, which may come while the
    // question's work still runs.
    while (h.app.state.update_download == nullptr) {
      h.main_thread.AwaitPost();
      h.main_thread.RunPosted();
    }
    for (const Step& step : c.steps) {
      switch (step.kind) {
        case Step::time_passes:
          h.main_thread.RunDelayed();
          break;
        case Step::escape:
          h.gate.Run(&OnDownloadWindowClose);
          break;
        case Step::end_posted:
          h.main_thread.AwaitPost();
          continue;
        default:
          transfers.Make(step);
          // After a transfer's end the worker goes on alone.
          if (step.kind != Step::block)
            continue;
      }
      h.main_thread.RunPosted();
    }
    h.FinishFetches();
    h.main_thread.RunDelayed();  // a window that was not open by the end never opens
    h.main_thread.RunPosted();

    EXPECT_EQ(h.ui.download_window, c.window);
    EXPECT_EQ(h.announcer.events, c.said);
    std::vector<std::string> dialogs = {kQuestion};
    dialogs.insert(dialogs.end(), c.dialogs.begin(), c.dialogs.end());
    EXPECT_EQ(h.ui.dialogs, dialogs);
    EXPECT_FALSE(std::filesystem::exists(h.folder / "Skyvigil.zip"));
    EXPECT_FALSE(std::filesystem::exists(h.folder / "Skyvigil.zip.minisig"));
    EXPECT_EQ(h.ui.updater_starts, 0);
    EXPECT_EQ(h.main_thread.delays.front(), kDownloadWindowDelay);
  }
}

TEST(DownloadWindow, PercentOfTheBar) {
  const struct {
    uint64_t received, total;
    int percent;
  } cases[] = {{0, 0, -1},        {5, 0, -1},
               {0, 1000, 0},      {9, 1000, 0},
               {999, 1000, 99},   {1000, 1000, 100},
               {1200, 1000, 100}, {uint64_t{1} << 40, uint64_t{1} << 41, 50}};
  for (const auto& c : cases)
    EXPECT_EQ(DownloadPercent(c.received, c.total), c.percent) << c.received << "/" << c.total;
}

}  // namespace
}  // namespace skyvigil
