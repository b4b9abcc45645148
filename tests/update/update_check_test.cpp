// Every path of the update check, through fakes.
#include "update/update_check.h"

#include <deque>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_announcer.h"
#include "fakes/scripted_http.h"
#include "fakes/temp_dir.h"
#include "fakes/update_signer.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordingPrompter : public UpdatePrompter {
 public:
  std::vector<std::string> events;
  std::deque<bool> answers;

  void ShowMessage(const std::string& title, const std::string& text) override {
    events.push_back("message:" + title + "|" + text);
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    events.push_back("ask:" + title + "|" + text);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question";
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void StartUpdater() override { events.push_back("start updater"); }
  void ExitProgram() override { events.push_back("exit"); }
};

class UpdateCheckTest : public ::testing::Test {
 protected:
  void ServerSays(long status, std::string body) {
    http.answer = [status, body](const HttpRequest&) {
      return HttpResponse{status != 0, status, body};
    };
  }
  void Check(bool automatic) {
    UpdateSource source{"https://updates.test", "0.36", "Skyvigil.zip"};
    source.archive_file = folder / "Skyvigil.zip";
    source.trust = {{key.public_key}, 23};
    CheckForUpdate(http, announcer, prompter, source, automatic);
  }
  // The server's archive and, unless empty, its signature.
  void ServerOffers(std::string signature) {
    http.download = [this, signature](const std::string& url, const std::filesystem::path& to,
                                      const DownloadProgress&) {
      if (url.ends_with(".minisig") && signature.empty())
        return false;
      platform_test::WriteBytes(to, url.ends_with(".minisig") ? signature : kArchive);
      return true;
    };
  }

  const std::string kArchive = "PK the new build";
  const testing::TestSigningKey key = testing::MakeTestSigningKey(7);
  platform_test::TempDir folder;

  testing::ScriptedHttp http;
  testing::FakeAnnouncer announcer;
  RecordingPrompter prompter;
};

TEST_F(UpdateCheckTest, AsksForTheVersionFileWithAGet) {
  ServerSays(200, "0.36");
  Check(true);
  ASSERT_EQ(http.requests.size(), 1u);
  EXPECT_EQ(http.requests[0].method, HttpRequest::Method::get);
  EXPECT_EQ(http.requests[0].url, "https://updates.test/projects/skyvigilversion.txt");
}

TEST_F(UpdateCheckTest, TheSameVersionIsSilentAtStartAndToldFromTheMenu) {
  ServerSays(200, "0.36");
  Check(true);
  EXPECT_THAT(prompter.events, IsEmpty());
  Check(false);
  EXPECT_THAT(prompter.events, ElementsAre("message:Alert|No update available."));
}

TEST_F(UpdateCheckTest, AnyOtherTextIsOfferedQuotedAsItCame) {
  for (const std::string version : {"0.36\n", "0.35", "0.40", " 0.36"}) {
    SCOPED_TRACE(version);
    prompter.events.clear();
    prompter.answers = {false};
    ServerSays(200, version);
    Check(true);
    EXPECT_THAT(prompter.events,
                ElementsAre("ask:Alert|There is a new version of Skyvigil available, " + version +
                            ". Would you like to download it now?"));
    EXPECT_THAT(http.downloads, IsEmpty());
  }
}

TEST_F(UpdateCheckTest, BytesThatAreNotUtf8AreShownReplaced) {
  prompter.answers = {false};
  ServerSays(200, "0.4\xFF\xC3");
  Check(true);
  EXPECT_THAT(prompter.events,
              ElementsAre("ask:Alert|There is a new version of Skyvigil available, "
                          "0.4\xEF\xBF\xBD\xEF\xBF\xBD. Would you like to "
                          "download it now?"));
}

TEST_F(UpdateCheckTest, AnInstalledPackageIsOnlyToldOfANewVersion) {
  ServerSays(200, "0.40");
  CheckForUpdate(http, announcer, prompter, {"https://updates.test", "0.36", "Skyvigil.zip", true},
                 true);
  EXPECT_THAT(prompter.events,
              ElementsAre("message:Alert|Skyvigil 0.40 is available from your package source."));
  EXPECT_THAT(http.downloads, IsEmpty());
}

TEST_F(UpdateCheckTest, NoAnswerOrAnotherStatusIsSilentEvenFromTheMenu) {
  for (long status : {0L, 404L, 500L, 201L, 302L}) {
    SCOPED_TRACE(status);
    ServerSays(status, "0.40");
    Check(false);
    Check(true);
    EXPECT_THAT(prompter.events, IsEmpty());
  }
}

TEST_F(UpdateCheckTest, ConsentDownloadsStartsTheUpdaterAndExits) {
  ServerSays(200, "0.40");
  ServerOffers(testing::SignForTest(key, kArchive, "file:Skyvigil.zip build:24"));
  prompter.answers = {true};
  Check(false);
  EXPECT_THAT(announcer.events, ElementsAre("say:Downloading update"));
  const std::string to = (folder / "Skyvigil.zip").string();
  EXPECT_THAT(http.downloads,
              ElementsAre("https://updates.test/softs/Skyvigil.zip -> " + to,
                          "https://updates.test/softs/Skyvigil.zip.minisig -> " + to + ".minisig"));
  EXPECT_EQ(platform_test::FolderEntries(folder.path()),
            (std::vector<std::string>{"Skyvigil.zip", "Skyvigil.zip.minisig"}));
  EXPECT_EQ(prompter.events.size(), 3u);
  EXPECT_EQ(prompter.events[1], "start updater");
  EXPECT_EQ(prompter.events[2], "exit");
}

// The reasons themselves are the signature's tests.
TEST_F(UpdateCheckTest, AnUnsignedOrOlderArchiveIsDeletedAndTold) {
  ServerSays(200, "0.40");
  for (const auto& [signature, reason] :
       {std::pair{std::string(), "it has no signature"},
        {testing::SignForTest(key, kArchive, "file:Skyvigil.zip build:23"),
         "it is build 23, not newer than this build 23"}}) {
    prompter.events.clear();
    ServerOffers(signature);
    prompter.answers = {true};
    Check(false);
    ASSERT_EQ(prompter.events.size(), 2u);
    EXPECT_EQ(prompter.events[1],
              "message:Download error|The downloaded update was deleted "
              "because " +
                  std::string(reason) + ". Skyvigil is unchanged.");
    EXPECT_THAT(platform_test::FolderEntries(folder.path()), IsEmpty());
  }
}

TEST_F(UpdateCheckTest, AFailedDownloadIsToldAndTheProgramGoesOn) {
  ServerSays(200, "0.40");
  prompter.answers = {true};
  Check(true);
  EXPECT_THAT(announcer.events, ElementsAre("say:Downloading update"));
  ASSERT_EQ(prompter.events.size(), 2u);
  EXPECT_EQ(prompter.events[1],
            "message:Download error|There was an error downloading Skyvigil.zip.");
}

TEST_F(UpdateCheckTest, WithoutAnUpdateServerNothingIsAsked) {
  ServerSays(200, "0.40");
  CheckForUpdate(http, announcer, prompter, {"", "0.36", "Skyvigil.zip"}, false);
  EXPECT_THAT(http.requests, IsEmpty());
  EXPECT_THAT(prompter.events, IsEmpty());
}

}  // namespace
}  // namespace skyvigil
