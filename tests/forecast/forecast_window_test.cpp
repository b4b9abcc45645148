// The forecast window of the selected city, and an alert opened from it.
#include "forecast/forecast_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/screen_text.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ForecastWindowTest : public ::testing::Test {
 protected:
  ForecastWindowTest() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["Springfield"].days = 3;
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
    h.places["Oslo"].alerts = {{"Severe", "Storm"}};
    h.places["Oslo"].days = 1;
    h.app.state.cities = {h.CityAt("Springfield"), h.CityAt("Oslo")};
    h.Draw();
  }

  // Enter on the city at `index`, and the answer.
  void Open(int index) {
    h.Run([index](App& app) { OnSelect(app, kCityList, index); });
    h.Run([](App& app) { RunCommand(app, kViewForecast); });
    h.FinishFetches();
  }

  const ListView& List() { return screen.secondary->list; }

  testing::AppHarness h;
  Screen screen;
};

// Alerts come first with their cue, whatever monitor sounds says.
TEST_F(ForecastWindowTest, EnterOpensTheSelectedCitysFourteenDaysWithTheFirstLineSelected) {
  h.Run([](App& app) { OnSelect(app, kCityList, 0); });
  h.http.Hold();
  h.Run([](App& app) { RunCommand(app, kViewForecast); });
  // Open at once, empty, its list focused.
  EXPECT_THAT(testing::Described(h.ui.changes),
              ::testing::IsSupersetOf({"open forecast", "focus 101"}));
  EXPECT_THAT(h.Drawn().secondary->list.lines, IsEmpty());
  h.http.Release();
  h.FinishFetches();
  EXPECT_THAT(h.Queries("/forecast.json"),
              ElementsAre("Springfield, Illinois, United States of America"));
  screen = h.Drawn();
  EXPECT_EQ(List().lines.size(), 3u * 14 + 2);
  EXPECT_EQ(List().selected, 0);
  EXPECT_EQ(screen.secondary->detail, "");
  EXPECT_EQ(screen.focus, kForecastList);
  EXPECT_THAT(h.announcer.events, IsEmpty());

  h.app.state.prefs.monitor_sounds = 0;
  Open(1);
  screen = h.Drawn();
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:alert"));
  EXPECT_EQ(List().lines[0], "Storm ");
}

// A slow service: the notice comes after a second, and an answer after
// Escape or after a newer secondary window is dropped; a failed fetch leaves
// the list empty, silently.
struct SlowCase {
  const char* label;
  bool service_down;
  int meanwhile;  // a command while the forecast loads
  std::optional<WindowKind> window;
  std::vector<std::string> events;
  size_t lines;
};

TEST_F(ForecastWindowTest, ALateAnswerIsDroppedWhenItsWindowIsGone) {
  const std::vector<SlowCase> cases = {
      {"waited for", false, 0, WindowKind::forecast, {"say:Loading forecast", "cue:alert"}, 14 + 7},
      {"failed", true, 0, WindowKind::forecast, {"say:Loading forecast"}, 0},
      {"escape", false, kCloseSecondaryWindow, std::nullopt, {}, 0},
      {"the history took the window", false, kAnnouncementHistory, WindowKind::history, {}, 0},
  };
  for (const SlowCase& c : cases) {
    SCOPED_TRACE(c.label);
    const auto owner = std::make_unique<testing::AppHarness>();
    testing::AppHarness& bed = *owner;
    bed.places = h.places;
    bed.service_down = c.service_down;
    bed.app.state.cities = h.app.state.cities;
    bed.app.state.main_window.selected_city = 1;
    bed.http.Hold();
    bed.Run([](App& app) { RunCommand(app, kViewForecast); });
    bed.Run([&c](App& app) { RunCommand(app, c.meanwhile); });
    bed.main_thread.RunDelayed();
    bed.main_thread.RunPosted();
    bed.http.Release();
    bed.main_thread.AwaitPost();
    bed.main_thread.RunPosted();
    const Screen shown = bed.Drawn();
    EXPECT_EQ(shown.secondary ? std::optional(shown.secondary->kind) : std::nullopt, c.window);
    EXPECT_EQ(bed.announcer.events, c.events);
    EXPECT_EQ(shown.secondary ? shown.secondary->list.lines.size() : 0u, c.lines);
  }
}

TEST_F(ForecastWindowTest, EnterOnAnAlertLineShowsItsDetailsAndEscapeReturnsToTheSameLine) {
  h.places["Oslo"].full_alerts.resize(1);
  alert& flood = h.places["Oslo"].full_alerts[0];
  flood.event = "Flood Warning";
  flood.headline = "Flood Warning until Friday";
  Open(1);
  const size_t requests = h.http.requests.size();
  h.Run([](App& app) { OnSelect(app, kForecastList, 7); });  // a day: Enter does nothing
  h.Run([](App& app) { RunCommand(app, kOpenAlert); });
  EXPECT_EQ(h.Drawn().secondary->kind, WindowKind::forecast);
  h.Run([](App& app) { OnSelect(app, kForecastList, 9); });  // the second alert's headline
  h.Run([](App& app) { RunCommand(app, kOpenAlert); });
  screen = h.Drawn();
  ASSERT_EQ(screen.secondary->kind, WindowKind::alert);
  EXPECT_EQ(List().lines[0], "Flood Warning until Friday");
  EXPECT_EQ(screen.focus, kListList);

  h.Run([](App& app) { RunCommand(app, kCloseSecondaryWindow); });
  screen = h.Drawn();
  ASSERT_TRUE(screen.secondary.has_value());
  EXPECT_EQ(screen.secondary->kind, WindowKind::forecast);
  EXPECT_EQ(List().selected, 9);
  EXPECT_EQ(screen.secondary->detail, "Flood Warning until Friday");
  EXPECT_EQ(screen.focus, kForecastList);
  EXPECT_EQ(h.http.requests.size(), requests);
}

}  // namespace
}  // namespace skyvigil
