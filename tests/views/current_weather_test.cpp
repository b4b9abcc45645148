// The report in the main window: heading, report list, detail box and tooltip.
#include "views/current_weather.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "fakes/app_harness.h"
#include "fakes/example_weather.h"

namespace skyvigil {
namespace {

using testing::ExampleWeather;

class ShowCurrentWeatherTest : public ::testing::Test {
 protected:
  ShowCurrentWeatherTest() {
    city springfield;
    springfield.name = "Springfield, Illinois, United States of America";
    springfield.weather = ExampleWeather();
    city plain;
    plain.name = "Zurich";
    plain.weather.condition.text = "Fog";
    plain.weather.temp_f = 41;
    h.app.state.cities = {springfield, plain};
    h.ui.city_lines = {"a", "b"};
  }
  testing::AppHarness h;
};

TEST_F(ShowCurrentWeatherTest, ShowsTheSelectedCityAndRemembersIt) {
  h.ui.city_selection = 0;
  ShowCurrentWeather(h.app);
  EXPECT_EQ(h.ui.heading, "Weather for Springfield, Illinois, United States of America");
  EXPECT_EQ(h.ui.report_lines.size(), 17u);
  EXPECT_EQ(h.ui.report_selection, 0);
  EXPECT_EQ(h.ui.detail_text, "Last updated: 2024-03-06 12:45");
  EXPECT_EQ(h.ui.tooltip, "Springfield: Partly cloudy, 70 degrees F - Skyvigil");

  h.ui.city_selection = 1;
  ShowCurrentWeather(h.app);
  EXPECT_EQ(h.ui.heading, "Weather for Zurich");
  EXPECT_EQ(h.ui.tooltip, "Zurich: Fog, 41 degrees F - Skyvigil");
  EXPECT_EQ(h.app.state.prefs.cities_index, 1);
}

// Arrow keys through the list write prefs.ini once, a second after the first
// change, with the selection the list has then.
TEST_F(ShowCurrentWeatherTest, TheSelectionIsWrittenOnceASecondAfterItChanged) {
  h.ui.city_lines = {"a", "b", "c"};
  h.app.state.cities.push_back(h.app.state.cities[1]);
  for (int selection : {0, 1, 2, 1}) {
    h.ui.city_selection = selection;
    ShowCurrentWeather(h.app);
  }
  EXPECT_FALSE(std::filesystem::exists(h.folder / "prefs.ini"));
  EXPECT_EQ(h.main_thread.delays, std::vector<std::chrono::milliseconds>{std::chrono::seconds(1)});
  h.main_thread.RunDelayed();
  h.main_thread.RunPosted();
  EXPECT_NE(h.ReadFile("prefs.ini").find("cities_index = 1\r\n"), std::string::npos);

  // The next report sets the next timer.
  ShowCurrentWeather(h.app);
  EXPECT_EQ(h.main_thread.delays.size(), 2u);
}

TEST_F(ShowCurrentWeatherTest, NoSelectionShowsTheFirstCity) {
  h.ui.city_selection = -1;
  ShowCurrentWeather(h.app);
  EXPECT_EQ(h.ui.city_selection, 0);
  EXPECT_EQ(h.ui.heading, "Weather for Springfield, Illinois, United States of America");
}

TEST_F(ShowCurrentWeatherTest, DetailBoxFollowsTheReportSelection) {
  h.ui.city_selection = 0;
  ShowCurrentWeather(h.app);
  h.ui.report_selection = 4;
  ShowSelectedLine(h.app);
  EXPECT_EQ(h.ui.detail_text, "Humidity: 81%");
  h.ui.report_selection = -1;
  ShowSelectedLine(h.app);
  EXPECT_EQ(h.ui.detail_text, "");
  h.ui.report_selection = 17;
  ShowSelectedLine(h.app);
  EXPECT_EQ(h.ui.detail_text, "");
}

}  // namespace
}  // namespace skyvigil
