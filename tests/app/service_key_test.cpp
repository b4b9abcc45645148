// The weather service key: asked for at start without a key of the user's
// own, tried before it is kept, saved into prefs.ini, never said.
#include "app/service_key.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "app/commands.h"
#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using testing::FormField;
using ::testing::IsEmpty;

class ServiceKeyTest : public ::testing::Test {
 protected:
  ServiceKeyTest() {
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["London"] = {"London", "City of London", "United Kingdom", "Mist", 48, 9};
    h.app.state.cities = {h.CityAt("Paris")};
    h.app.state.service.api_key = DefaultServiceConfig().api_key;
    std::ofstream(h.app.state.paths.prefs_file, std::ios::binary)
        << "[service]\r\nbase_address = https://weather.test/v1\r\n";
    const auto places = h.http.answer;
    h.http.answer = [places](const HttpRequest& r) {
      const std::string key = FormField(r.body, "key");
      if (key == "spent")
        return HttpResponse{true, 403,
                            R"({"error":{"code":2007,"message":"API key has exceeded calls per )"
                            R"(month quota."}})"};
      if (key != "good")
        return HttpResponse{true, 401,
                            R"({"error":{"code":2006,"message":"API key is invalid."}})"};
      return places(r);
    };
  }

  AppHarness h;
};

TEST_F(ServiceKeyTest, AtStartARefusedKeyIsToldAndAnAcceptedOneKeptAndUsed) {
  h.ui.key_answers = {"bad", "spent", " good "};
  FirstRefresh(h.app);
  h.FinishRefreshes();

  EXPECT_THAT(h.ui.dialogs,
              ElementsAre("Weather Service Key||", "Weather Service Key|API key is invalid.|bad",
                          "Weather Service Key|API key has exceeded calls per month quota.|spent"));
  const KeyPrompt& first = h.ui.key_prompts.front();
  EXPECT_EQ(first.address, "https://www.weatherapi.com/signup.aspx");
  EXPECT_EQ(first.label, "Weather service key");
  EXPECT_NE(first.explanation.find("WeatherAPI.com"), std::string::npos);
  EXPECT_THAT(h.announcer.events, ElementsAre("say:API key is invalid.",
                                              "say:API key has exceeded calls per month quota."));
  // The key goes into its group; the unchanged selection wrote nothing before it.
  EXPECT_EQ(h.ReadFile("prefs.ini"),
            "\xEF\xBB\xBF\r\n[service]\r\nbase_address = https://weather.test/v1\r\n"
            "api_key = good\r\n");
  EXPECT_EQ(h.app.state.service.api_key, "good");
  // Three trials, then the refresh with the kept key.
  EXPECT_THAT(h.Queries("/current.json"),
              ElementsAre("London", "London", "London", "Paris, Ile-de-France, France"));
  EXPECT_EQ(FormField(h.http.requests.back().body, "key"), "good");
  EXPECT_THAT(h.Drawn().main.cities.lines, ElementsAre("Paris: Light rain, 50 degrees F"));
}

TEST_F(ServiceKeyTest, CancellingLeavesTheProgramRunningWithoutWeather) {
  h.ui.key_answers = {std::nullopt};
  FirstRefresh(h.app);
  EXPECT_FALSE(h.app.state.refresh.running);
  EXPECT_FALSE(h.app.state.refresh.first_pending);
  EXPECT_THAT(h.http.requests, IsEmpty());
  EXPECT_THAT(h.Drawn().main.cities.lines, ElementsAre("Paris: Light rain, 50 degrees F"));
  EXPECT_EQ(h.ReadFile("prefs.ini").find("api_key"), std::string::npos);
}

TEST_F(ServiceKeyTest, TheSettingsMenuAsksAgainAndRefreshesWithTheNewKey) {
  h.app.state.service.api_key = "old";
  h.ui.key_answers = {"good"};
  RunCommand(h.app, kServiceKey);
  h.FinishRefreshes();
  EXPECT_THAT(h.Queries("/current.json"), ElementsAre("London", "Paris, Ile-de-France, France"));
  EXPECT_EQ(h.app.state.service.api_key, "good");
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

// A second OK while the key is tried does nothing; Escape ends the trial.
TEST_F(ServiceKeyTest, EscapeWhileTheKeyIsTriedCancelsTheTrial) {
  h.http.Hold();
  h.ui.key_answers = {"good"};
  h.ui.escape_while_trying = true;
  RunCommand(h.app, kServiceKey);
  EXPECT_EQ(h.app.state.fetch.workers.size(), 1u);
  h.http.Release();
  h.main_thread.AwaitPost();
  h.main_thread.RunPosted();  // the late answer
  EXPECT_THAT(h.ui.dialogs, ElementsAre("Weather Service Key||"));
  EXPECT_EQ(h.app.state.service.api_key, DefaultServiceConfig().api_key);
  EXPECT_THAT(h.announcer.events, IsEmpty());
  EXPECT_FALSE(h.app.state.refresh.running);
}

TEST_F(ServiceKeyTest, TheTrialsAnswerReachesTheDialogWhileTheCoreGateIsBusy) {
  h.ui.key_answers = {"good"};
  bool kept = false;
  h.gate.Run([&kept](App& app) { kept = AskForServiceKey(app); });
  EXPECT_TRUE(kept);
  EXPECT_EQ(h.app.state.service.api_key, "good");
}

}  // namespace
}  // namespace skyvigil
