// The Next Hours and Alert windows through the fakes.
#include "views/list_windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/hourly_weather.h"
#include "fakes/scripted_http.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;

struct WindowBed {
  WindowBed() {
    h.places["London"] = {"London", "City of London", "United Kingdom", "Cloudy", 60, 15.6};
    h.places["London"].localtime = "2024-03-06 22:40";
    auto days = testing::DaysWithHours({"2024-03-06", "2024-03-07"});
    testing::MakeWet(days[1].hour[1]);
    h.places["London"].hourly = days;
    alert flood;
    flood.event = "Flood Warning";
    flood.headline = "Flood Warning until Friday";
    flood.severity = "Moderate";
    flood.desc = "Rivers rise. Roads close.";
    h.places["London"].full_alerts = {flood};
    h.app.state.cities = {h.CityAt("London")};
    h.ui.city_selection = 0;
  }
  AppHarness h;
};

TEST(NextHoursWindow, TwentyFourLinesFromTheCitysHourFirstSelected) {
  WindowBed bed;
  bed.h.app.state.prefs.celcius = 1;
  RunCommand(bed.h.app, kViewNextHours);
  EXPECT_EQ(bed.h.ui.secondary_window, "Next Hours");
  EXPECT_TRUE(bed.h.ui.list_lines.empty()) << "opened at once, filled by the answer";
  bed.h.FinishFetches();
  const auto& lines = bed.h.ui.list_lines;
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[0], "10 PM: Partly cloudy, 16 Degrees C, 10 percent chance of rain");
  EXPECT_EQ(bed.h.ui.list_selection, 0);
  EXPECT_EQ(bed.h.ui.focus, FocusedControl::list_window);
  ASSERT_EQ(bed.h.http.requests.size(), 1u);
  EXPECT_EQ(testing::FormField(bed.h.http.requests[0].body, "days"), "2");
}

TEST(NextHoursWindow, CopyTheLineOrTheWholeListAndEscapeCloses) {
  WindowBed bed;
  RunCommand(bed.h.app, kViewNextHours);
  bed.h.FinishFetches();
  bed.h.ui.list_selection = 3;
  RunCommand(bed.h.app, kCopy);
  EXPECT_EQ(bed.h.ui.clipboard, "1 AM: Light rain, 60 degrees F, 80 percent chance of rain");
  OnControl(bed.h.app, kListCopy);
  EXPECT_EQ(bed.h.ui.clipboard.substr(0, 64),
            "10 PM: Partly cloudy, 60 degrees F, 10 percent chance of rain\n11");
  EXPECT_EQ(std::count(bed.h.ui.clipboard.begin(), bed.h.ui.clipboard.end(), '\n'), 23);
  EXPECT_EQ(ListWindowCommandFor({Shortcut::Key::escape}), kCloseSecondaryWindow);
  RunCommand(bed.h.app, kCloseSecondaryWindow);
  EXPECT_EQ(bed.h.ui.secondary_window, "");
  EXPECT_TRUE(bed.h.app.state.list_lines.empty());
}

TEST(AlertWindow, EnterOnAnAlertLineOpensItsDetails) {
  WindowBed bed;
  RunCommand(bed.h.app, kViewForecast);
  bed.h.FinishFetches();
  bed.h.ui.forecast_selection = 2;  // the alert's severity line
  RunCommand(bed.h.app, kOpenAlert);
  EXPECT_EQ(bed.h.ui.secondary_window, "Alert");
  EXPECT_THAT(bed.h.ui.list_lines, ElementsAre("Flood Warning until Friday", "Severity: Moderate",
                                               "Rivers rise.", "Roads close."));
  RunCommand(bed.h.app, kCloseSecondaryWindow);
  EXPECT_EQ(bed.h.ui.secondary_window, "");
}

TEST(AlertWindow, EnterOnADayLineDoesNothing) {
  WindowBed bed;
  bed.h.places["London"].days = 1;
  bed.h.places["London"].hourly.clear();
  RunCommand(bed.h.app, kViewForecast);
  bed.h.FinishFetches();
  bed.h.ui.forecast_selection = static_cast<int>(bed.h.ui.forecast_lines.size()) - 1;
  RunCommand(bed.h.app, kOpenAlert);
  EXPECT_EQ(bed.h.ui.secondary_window, "Forecast");
}

}  // namespace
}  // namespace skyvigil
