// Every path of the update check, through fakes.
#include "update/update_check.h"

#include <deque>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_announcer.h"
#include "fakes/scripted_http.h"

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
    CheckForUpdate(http, announcer, prompter, {"https://updates.test", "0.36", "Skyvigil.zip"},
                   automatic);
  }

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
  http.download = [](const std::string&, const std::filesystem::path&) { return true; };
  prompter.answers = {true};
  Check(false);
  EXPECT_THAT(announcer.events, ElementsAre("say:Downloading update"));
  EXPECT_THAT(http.downloads,
              ElementsAre("https://updates.test/softs/Skyvigil.zip -> Skyvigil.zip"));
  EXPECT_EQ(prompter.events.size(), 3u);
  EXPECT_EQ(prompter.events[1], "start updater");
  EXPECT_EQ(prompter.events[2], "exit");
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
