// The update check's chain through the fakes: each step a fetch, its dialogs
// on the main thread or, while the window is hidden, said or kept for it; the
// hand-over; the exit dropping whatever step is under way.
#include "app/update_chain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/temp_dir.h"
#include "fakes/update_signer.h"
#include "state/fetch.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kQuestion[] =
    "Alert|There is a new version of Skyvigil available, 0.40. Would you like to download it now?";
const std::string kArchive = "PK the new build";

class UpdateChainTest : public ::testing::Test {
 protected:
  UpdateChainTest() {
    h.app.state.paths.updater_program = "updater.exe";
    source.update_address = "https://updates.test";
    source.app_version = "0.36";
    source.archive_file = h.folder / "Skyvigil.zip";
    source.trust = {{key.public_key}, 23};
    ServerSays(200, "0.40");
  }

  void ServerSays(long status, std::string body) {
    h.http.answer = [status, body](const HttpRequest&) {
      return HttpResponse{status != 0, status, body};
    };
  }
  // The archive with `archive_status` and, unless empty, its signature.
  void ServerOffers(long archive_status, std::string signature) {
    h.http.download = [archive_status, signature](const std::string& url,
                                                  const std::filesystem::path& to,
                                                  const DownloadProgress&) {
      const bool is_signature = url.ends_with(".minisig");
      const long status = is_signature ? (signature.empty() ? 404 : 200) : archive_status;
      if (status != 200)
        return DownloadResult{false, status};
      platform_test::WriteBytes(to, is_signature ? signature : kArchive);
      return DownloadResult{true, 200};
    };
  }
  void Hide() { h.app.state.prefs.window_hidden = 1; }
  // Runs the check and every step it leads to.
  void Check(bool automatic) {
    h.gate.Run([this, automatic](App& app) { StartUpdateCheck(app, source, automatic); });
    h.FinishFetches();
  }

  const testing::TestSigningKey key = testing::MakeTestSigningKey(7);
  testing::AppHarness h;
  UpdateSource source;
};

TEST_F(UpdateChainTest, AMessageIsShownOrWhileTheWindowIsHiddenSaidAtOnce) {
  const struct {
    bool hidden;
    std::vector<std::string> dialogs;
    std::vector<std::string> said;
  } cases[] = {{false, {"Alert|No update available."}, {}},
               {true, {}, {"news:No update available."}}};
  ServerSays(200, "0.36");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hidden ? "hidden" : "shown");
    h.ui.dialogs.clear();
    if (c.hidden)
      Hide();
    Check(false);
    EXPECT_EQ(h.ui.dialogs, c.dialogs);
    EXPECT_EQ(h.announcer.events, c.said);
    EXPECT_THAT(h.app.state.when_window_shown, IsEmpty());
  }
}

TEST_F(UpdateChainTest, WithoutAnUpdateServerNothingIsAskedAndOnlyTheMenuSaysSo) {
  source.update_address.clear();
  Check(true);
  EXPECT_THAT(h.ui.dialogs, IsEmpty());
  Check(false);
  EXPECT_THAT(h.ui.dialogs, ElementsAre("Alert|Updates are not set up in this build."));
  EXPECT_THAT(h.http.requests, IsEmpty());
}

// The window shown by the tray icon or by a second start.
class HiddenWindowTest : public UpdateChainTest,
                         public ::testing::WithParamInterface<void (*)(App&)> {};

TEST_P(HiddenWindowTest, TheQuestionWaitsForTheWindowAndIsToldOnce) {
  Hide();
  h.ui.yes_no_answers = {false};
  Check(true);
  EXPECT_THAT(h.ui.dialogs, IsEmpty());
  EXPECT_THAT(h.announcer.events, ElementsAre("news:Skyvigil 0.40 is available."));

  // Other handlers leave the window hidden: the question still waits.
  h.gate.Run([](App& app) { RunCommand(app, kSpeakSummary); });
  h.main_thread.RunPosted();
  EXPECT_THAT(h.ui.dialogs, IsEmpty());

  h.gate.Run(GetParam());
  EXPECT_EQ(h.app.state.prefs.window_hidden, 0);
  h.main_thread.RunPosted();
  EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion));
  EXPECT_THAT(h.announcer.events, ElementsAre("news:Skyvigil 0.40 is available."));
  EXPECT_THAT(h.app.state.when_window_shown, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Showings, HiddenWindowTest,
                         ::testing::Values(&OnTrayIconClick, &OnShowRequest));

// The service holds its answer until the handler has returned: a check made on
// the main thread would never return from RunCommand here.
TEST_F(UpdateChainTest, TheMenusCheckAsksTheServerOfTheSettingsOffTheMainThread) {
  h.app.state.app_version = "0.36";
  h.app.state.service.update_address = "https://updates.test";
  h.ui.yes_no_answers = {false};
  h.http.Hold();
  RunCommand(h.app, kCheckForUpdates);
  h.http.Release();
  h.FinishFetches();
  EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion));
  ASSERT_EQ(h.http.requests.size(), 1u);
  EXPECT_EQ(h.http.requests[0].url, "https://updates.test/projects/skyvigilversion.txt");
}

TEST_F(UpdateChainTest, YesDownloadsChecksTheSignatureAndHandsOver) {
  ServerOffers(200, testing::SignForTest(key, kArchive, "file:Skyvigil.zip build:24"));
  h.ui.yes_no_answers = {true};
  Check(false);
  EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion));
  EXPECT_EQ(platform_test::FolderEntries(h.folder),
            (std::vector<std::string>{"Skyvigil.zip", "Skyvigil.zip.minisig"}));
  EXPECT_EQ(h.process.updater_starts, 1);
  EXPECT_EQ(h.process.loop_quit_code, 0);
  EXPECT_FALSE(h.app.state.update_under_way);
}

TEST_F(UpdateChainTest, AFailedOrRefusedDownloadIsToldAndTheProgramGoesOn) {
  const struct {
    const char* name;
    long archive_status;
    std::string signature;
    std::string message;
  } cases[] = {
      {"the archive missing", 404, "",
       "Download error|There was an error downloading Skyvigil.zip: the update server answered "
       "with status 404."},
      {"no signature", 200, "",
       "Download error|The downloaded update was deleted because it has no signature. Skyvigil "
       "is unchanged."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    h.ui.dialogs.clear();
    ServerOffers(c.archive_status, c.signature);
    h.ui.yes_no_answers = {true};
    Check(false);
    EXPECT_THAT(h.ui.dialogs, ElementsAre(kQuestion, c.message));
    EXPECT_THAT(platform_test::FolderEntries(h.folder), IsEmpty());
    EXPECT_EQ(h.process.updater_starts, 0);
    EXPECT_FALSE(h.app.state.exited);
    EXPECT_FALSE(h.app.state.update_under_way);
  }
}

// A download that waits until the test lets it go, or the exit aborts it.
class HeldDownload {
 public:
  explicit HeldDownload(testing::ScriptedHttp& http) {
    http.download = [this](const std::string&, const std::filesystem::path&,
                           const DownloadProgress&) {
      started_.set_value();
      return go_.get_future().get();
    };
    http.on_abort = [this] { Let(DownloadResult{}); };
  }
  void AwaitStart() { started_.get_future().wait(); }
  void Let(DownloadResult result) {
    std::call_once(let_, [this, result] { go_.set_value(result); });
  }

 private:
  std::promise<void> started_;
  std::promise<DownloadResult> go_;
  std::once_flag let_;
};

TEST_F(UpdateChainTest, ACheckWhileTheUpdateDownloadsAddsNothing) {
  h.app.state.service.update_address = "https://updates.test";
  HeldDownload download(h.http);
  h.ui.yes_no_answers = {true};
  h.gate.Run([this](App& app) { StartUpdateCheck(app, source, false); });
  h.main_thread.AwaitPost();
  h.main_thread.RunPosted();  // the question and the Yes
  download.AwaitStart();
  RunCommand(h.app, kCheckForUpdates);
  EXPECT_EQ(h.http.requests.size(), 1u);
  download.Let(DownloadResult{false, 0});
  h.FinishFetches();
  EXPECT_THAT(
      h.ui.dialogs,
      ElementsAre(kQuestion, "Download error|There was an error downloading Skyvigil.zip."));
}

TEST_F(UpdateChainTest, TheExitDropsTheStepUnderWay) {
  const struct {
    const char* name;
    bool during_download;
  } cases[] = {{"the version's answer on its way", false}, {"the download", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::AppHarness exiting;
    HeldDownload download(exiting.http);
    exiting.http.answer = h.http.answer;
    exiting.app.state.paths.updater_program = "updater.exe";
    exiting.ui.yes_no_answers = {true};
    exiting.gate.Run([this](App& app) { StartUpdateCheck(app, source, false); });
    exiting.main_thread.AwaitPost();
    if (c.during_download) {
      exiting.main_thread.RunPosted();
      download.AwaitStart();
    }
    exiting.gate.Run([](App& app) { RequestExit(app); });
    exiting.main_thread.RunPosted();
    EXPECT_EQ(exiting.ui.dialogs,
              c.during_download ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    EXPECT_EQ(exiting.process.updater_starts, 0);
    EXPECT_EQ(exiting.process.loop_quit_code, 0);
    // The transfer was ended: its worker is joined after the loop, as the end does.
    EXPECT_TRUE(AwaitFetchWorkers(exiting.app, std::chrono::seconds(30)));
  }
}

}  // namespace
}  // namespace skyvigil
