// City search, the results window and adding a result.
#include "cities/city_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "monitor/refresh.h"
#include "views/city_list.h"
#include "views/current_weather.h"
#include "weather/cities_store.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CitySearchTest : public ::testing::Test {
 protected:
  CitySearchTest() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Parisville"] = {"Parisville", "Michigan", "United States of America", "Fog", 40, 4};
    h.app.state.cities = {h.CityAt("Springfield")};
    RefreshCityList(h.app, true);
    ShowCurrentWeather(h.app);
  }
  testing::AppHarness h;
};

TEST_F(CitySearchTest, ResultsOpenWithTheFirstEntrySelected) {
  h.ui.text_answers = {"Paris"};
  RunCommand(h.app, kSearchCity);
  EXPECT_EQ(h.ui.dialogs.back(), "Search|Enter a query to search for|");
  EXPECT_EQ(h.app.state.search_text, "Paris");
  EXPECT_EQ(h.ui.secondary_window, "Results");
  EXPECT_THAT(h.ui.result_entries, ElementsAre("Paris, Ile-de-France, France",
                                               "Parisville, Michigan, United States of America"));
  EXPECT_EQ(h.ui.result_selection, 0);
}

TEST_F(CitySearchTest, NothingFoundIsAnErrorAndOpensNoWindow) {
  for (const std::string query : {"Atlantis", ""}) {
    h.ui.text_answers = {query};
    RunCommand(h.app, kSearchCity);
    EXPECT_EQ(h.ui.dialogs.back(), "Error|No results|error");
    EXPECT_EQ(h.ui.secondary_window, "");
  }
  // The empty text still went to the service.
  EXPECT_THAT(h.Queries("/search.json"), ElementsAre("Atlantis", ""));
}

TEST_F(CitySearchTest, AFailedSearchForgetsTheEarlierResults) {
  ShowSearchResults(h.app, "Paris");
  EXPECT_EQ(h.app.state.search_results.size(), 2u);
  h.service_down = true;
  ShowSearchResults(h.app, "Paris");
  EXPECT_THAT(h.app.state.search_results, IsEmpty());
  EXPECT_EQ(h.ui.dialogs.back(), "Error|No results|error");
}

TEST_F(CitySearchTest, AddingAResultSelectsItButTheReportStaysWithTheEarlierCity) {
  ShowSearchResults(h.app, "Paris");
  h.ui.result_selection = 1;
  h.announcer.events.clear();
  for (int command : {int{kAddSearchResult}})
    RunCommand(h.app, command);
  h.FinishRefreshes();
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(h.app.state.cities[1].name, "Parisville, Michigan, United States of America");
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_EQ(h.app.state.cities[1].weather.condition.text, "Fog");
  EXPECT_THAT(h.ui.city_lines,
              ElementsAre("Springfield: Sunny, 70 degrees F", "Parisville: Fog, 40 degrees F"));
  EXPECT_EQ(h.ui.city_selection, 1);
  EXPECT_EQ(h.ui.heading, "Weather for Springfield, Illinois, United States of America");
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_THAT(h.announcer.events,
              ElementsAre("say:Added Parisville, Michigan, United States of America"));
  std::vector<city> saved;
  LoadCities(saved, h.app.state.paths.cities_file, [](std::vector<city>&) {});
  EXPECT_EQ(saved.size(), 2u);
}

TEST_F(CitySearchTest, TheAddButtonAddsLikeReturnAndCancelAddsNothing) {
  ShowSearchResults(h.app, "Paris");
  OnControl(h.app, kResultsCancel);
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_EQ(h.app.state.cities.size(), 1u);

  ShowSearchResults(h.app, "Paris");
  OnControl(h.app, kResultsAdd);
  h.FinishRefreshes();
  EXPECT_EQ(h.app.state.cities.back().name, "Paris, Ile-de-France, France");
}

TEST_F(CitySearchTest, AddingTheSameResultTwiceGivesTwoCities) {
  for (int i = 0; i < 2; ++i) {
    ShowSearchResults(h.app, "Paris");
    AddSearchResult(h.app);
    h.FinishRefreshes();
  }
  ASSERT_EQ(h.app.state.cities.size(), 3u);
  EXPECT_EQ(h.app.state.cities[1].name, h.app.state.cities[2].name);
}

TEST_F(CitySearchTest, EscapeClosesTheResultsWithoutAdding) {
  ShowSearchResults(h.app, "Paris");
  RunCommand(h.app, kCloseSecondaryWindow);
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_EQ(h.app.state.cities.size(), 1u);
}

}  // namespace
}  // namespace skyvigil
