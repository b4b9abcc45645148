// The Next Hours window through the fakes.
#include "forecast/next_hours.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "fakes/hourly_weather.h"

namespace skyvigil {
namespace {

TEST(NextHoursWindow, TwentyFourLinesFromTheCitysHourFirstSelected) {
  testing::AppHarness h;
  h.places["London"] = {"London", "City of London", "United Kingdom", "Cloudy", 60, 15.6};
  h.places["London"].localtime = "2024-03-06 22:40";
  h.places["London"].hourly = testing::DaysWithHours({"2024-03-06", "2024-03-07"});
  h.app.state.cities = {h.CityAt("London")};
  h.app.state.prefs.celcius = 1;
  h.http.Hold();
  h.Run([](App& app) { RunCommand(app, kViewNextHours); });
  EXPECT_TRUE(h.Drawn().secondary->list.lines.empty()) << "opened at once, filled by the answer";
  h.http.Release();
  h.FinishFetches();
  const Screen screen = h.Drawn();
  EXPECT_EQ(screen.secondary->kind, WindowKind::next_hours);
  const ListView& list = screen.secondary->list;
  ASSERT_EQ(list.lines.size(), 24u);
  EXPECT_EQ(list.lines[0], "10 PM: Partly cloudy, 16 Degrees C, 10 percent chance of rain");
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(screen.focus, kListList);
  ASSERT_EQ(h.http.requests.size(), 1u);
  EXPECT_EQ(testing::FormField(h.http.requests[0].body, "days"), "2");
}

}  // namespace
}  // namespace skyvigil
