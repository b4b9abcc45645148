// Opening the forecast window for the selected city, its copies and closing.
#include "views/forecast_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "monitor/refresh.h"
#include "views/city_list.h"
#include "views/current_weather.h"

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
    RefreshCityList(h.app, true);
    ShowCurrentWeather(h.app);
  }
  testing::AppHarness h;
};

TEST_F(ForecastWindowTest, EnterOpensTheSelectedCitysFourteenDayForecast) {
  h.ui.city_selection = 0;
  RunCommand(h.app, kViewForecast);
  h.FinishFetches();
  ASSERT_EQ(h.http.requests.size(), 1u);
  EXPECT_EQ(h.http.requests[0].url, "https://weather.test/v1/forecast.json");
  EXPECT_EQ(h.http.requests[0].body,
            "key=k&q=Springfield%2C%20Illinois%2C%20United%20States%20of%20America&days=14&alerts="
            "yes");
  EXPECT_EQ(h.ui.secondary_window, "Forecast");
  ASSERT_EQ(h.ui.forecast_lines.size(), 3u * 14 + 2);
  EXPECT_EQ(h.ui.forecast_lines[0], "Today");
  EXPECT_EQ(h.ui.forecast_lines[1], "Sunny");
  EXPECT_EQ(h.ui.forecast_lines[2], "High of 75 degrees F, low of 65 degrees F");
  EXPECT_EQ(h.ui.forecast_lines[14], "...");
  EXPECT_EQ(h.ui.forecast_lines[15], "Tomorrow");
  EXPECT_EQ(h.ui.forecast_lines[30], "Friday, March 8");
  EXPECT_EQ(h.ui.forecast_selection, 0);
  EXPECT_EQ(h.ui.forecast_detail_text, "");
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

TEST_F(ForecastWindowTest, AlertsComeFirstWithTheirCueWhateverMonitorSoundsSays) {
  h.app.state.prefs.monitor_sounds = 0;
  h.ui.city_selection = 1;
  RunCommand(h.app, kViewForecast);
  h.FinishFetches();
  EXPECT_THAT(h.announcer.events, ElementsAre("cue:alert"));
  EXPECT_EQ(h.ui.forecast_lines[0], "Storm ");
  EXPECT_EQ(h.ui.forecast_lines[1], "Storm issued");
  EXPECT_EQ(h.ui.forecast_lines[2], "Severity: Severe");
  EXPECT_EQ(h.ui.forecast_lines[7], "Today");
}

TEST_F(ForecastWindowTest, CopyTakesTheDetailBoxOrTheWholeList) {
  h.ui.city_selection = 0;
  RunCommand(h.app, kViewForecast);
  h.FinishFetches();
  // Right after opening the box is still empty: the copy is empty but spoken.
  RunCommand(h.app, kCopy);
  EXPECT_EQ(h.ui.clipboard, "");
  EXPECT_THAT(h.announcer.events, ElementsAre("SAY!:Copied"));

  h.ui.forecast_selection = 2;
  OnForecastListEvent(h.app);
  EXPECT_EQ(h.ui.forecast_detail_text, "High of 75 degrees F, low of 65 degrees F");
  h.ui.focus = FocusedControl::forecast_box;
  RunCommand(h.app, kCopy);
  EXPECT_EQ(h.ui.clipboard, "High of 75 degrees F, low of 65 degrees F");

  h.announcer.events.clear();
  OnControl(h.app, kForecastCopy);
  std::string whole;
  for (const std::string& line : h.ui.forecast_lines)
    whole += line + "\n";
  whole.pop_back();
  EXPECT_EQ(h.ui.clipboard, whole);
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

TEST_F(ForecastWindowTest, AFailedFetchShowsAnEmptyListSilently) {
  h.service_down = true;
  h.ui.city_selection = 1;
  RunCommand(h.app, kViewForecast);
  h.FinishFetches();
  EXPECT_EQ(h.ui.secondary_window, "Forecast");
  EXPECT_THAT(h.ui.forecast_lines, IsEmpty());
  EXPECT_THAT(h.announcer.events, IsEmpty());
  OnControl(h.app, kForecastCopy);
  EXPECT_EQ(h.ui.clipboard, "");
}

TEST_F(ForecastWindowTest, EscapeCloseAndCloseRequestsCloseOnlyTheForecast) {
  for (auto close : {+[](App& app) { RunCommand(app, kCloseSecondaryWindow); },
                     +[](App& app) { OnControl(app, kForecastClose); },
                     +[](App& app) { OnSecondaryWindowClose(app); }}) {
    h.ui.city_selection = 0;
    RunCommand(h.app, kViewForecast);
    h.FinishFetches();
    close(h.app);
    EXPECT_EQ(h.ui.secondary_window, "");
    EXPECT_TRUE(h.ui.window_shown);
    EXPECT_FALSE(h.ui.window_closed);
  }
}

// A slow service: the window stands at once, the notice comes after a second,
// and an answer after Escape or after a newer window 1 is dropped.
struct SlowCase {
  const char* label;
  std::function<void(App&)> meanwhile;
  std::string window;
  std::vector<std::string> events;
  size_t lines;
};

TEST_F(ForecastWindowTest, TheWindowStandsAtOnceAndALateAnswerIsDropped) {
  const std::vector<SlowCase> cases = {
      {"waited for", [](App&) {}, "Forecast", {"say:Loading forecast", "cue:alert"}, 14 + 7},
      {"escape", [](App& a) { RunCommand(a, kCloseSecondaryWindow); }, "", {}, 0},
      {"history took window 1",
       [](App& a) { RunCommand(a, kAnnouncementHistory); },
       "History",
       {},
       0},
  };
  for (const SlowCase& c : cases) {
    SCOPED_TRACE(c.label);
    const auto owner = std::make_unique<testing::AppHarness>();
    testing::AppHarness& bed = *owner;
    bed.places = h.places;
    bed.app.state.cities = h.app.state.cities;
    bed.ui.city_selection = 1;
    bed.http.Hold();
    RunCommand(bed.app, kViewForecast);
    EXPECT_EQ(bed.ui.secondary_window, "Forecast");
    EXPECT_THAT(bed.ui.forecast_lines, IsEmpty());
    c.meanwhile(bed.app);
    bed.main_thread.RunDelayed();
    bed.main_thread.RunPosted();
    bed.http.Release();
    bed.main_thread.AwaitPost();
    bed.main_thread.RunPosted();
    EXPECT_EQ(bed.ui.secondary_window, c.window);
    EXPECT_EQ(bed.announcer.events, c.events);
    EXPECT_EQ(bed.ui.forecast_lines.size(), c.lines);
    EXPECT_EQ(bed.app.state.forecast_lines.size(), c.lines);
  }
}

TEST(SecondaryWindowShortcuts, EachWindowHasItsOwn) {
  using K = Shortcut::Key;
  const Shortcut escape{K::escape, 0, false, false, false};
  const Shortcut enter{K::enter, 0, false, false, false};
  const Shortcut copy{K::character, 'C', true, true, false};
  EXPECT_EQ(ForecastWindowCommandFor(escape), kCloseSecondaryWindow);
  EXPECT_EQ(ForecastWindowCommandFor(copy), kCopy);
  EXPECT_EQ(ForecastWindowCommandFor(enter), kOpenAlert);
  EXPECT_EQ(ResultsWindowCommandFor(escape), kCloseSecondaryWindow);
  EXPECT_EQ(ResultsWindowCommandFor(enter), kAddSearchResult);
  EXPECT_EQ(ResultsWindowCommandFor(copy), 0);
}

}  // namespace
}  // namespace skyvigil
