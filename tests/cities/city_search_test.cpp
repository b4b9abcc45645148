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
  h.FinishFetches();
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
    h.FinishFetches();
    EXPECT_EQ(h.ui.dialogs.back(), "Error|No results|error");
    EXPECT_EQ(h.ui.secondary_window, "");
  }
  // The empty text still went to the service.
  EXPECT_THAT(h.Queries("/search.json"), ElementsAre("Atlantis", ""));
}

TEST_F(CitySearchTest, AFailedSearchForgetsTheEarlierResults) {
  ShowSearchResults(h.app, "Paris");
  h.FinishFetches();
  EXPECT_EQ(h.app.state.search_results.size(), 2u);
  h.service_down = true;
  ShowSearchResults(h.app, "Paris");
  h.FinishFetches();
  EXPECT_THAT(h.app.state.search_results, IsEmpty());
  EXPECT_EQ(h.ui.dialogs.back(), "Error|No results|error");
}

TEST_F(CitySearchTest, AddingAResultSelectsItButTheReportStaysWithTheEarlierCity) {
  ShowSearchResults(h.app, "Paris");
  h.FinishFetches();
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
  h.FinishFetches();
  OnControl(h.app, kResultsCancel);
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_EQ(h.app.state.cities.size(), 1u);

  ShowSearchResults(h.app, "Paris");

  h.FinishFetches();
  OnControl(h.app, kResultsAdd);
  h.FinishRefreshes();
  EXPECT_EQ(h.app.state.cities.back().name, "Paris, Ile-de-France, France");
}

TEST_F(CitySearchTest, AddingTheSameResultTwiceGivesTwoCities) {
  for (int i = 0; i < 2; ++i) {
    ShowSearchResults(h.app, "Paris");
    h.FinishFetches();
    AddSearchResult(h.app);
    h.FinishRefreshes();
  }
  ASSERT_EQ(h.app.state.cities.size(), 3u);
  EXPECT_EQ(h.app.state.cities[1].name, h.app.state.cities[2].name);
}

TEST_F(CitySearchTest, EscapeClosesTheResultsWithoutAdding) {
  ShowSearchResults(h.app, "Paris");
  h.FinishFetches();
  RunCommand(h.app, kCloseSecondaryWindow);
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_EQ(h.app.state.cities.size(), 1u);
}

TEST_F(CitySearchTest, TheResultsWindowStandsAtOnceAndFillsWhenTheAnswerComes) {
  h.http.Hold();
  ShowSearchResults(h.app, "Paris");
  EXPECT_EQ(h.ui.secondary_window, "Results");
  EXPECT_THAT(h.ui.result_entries, IsEmpty());
  h.main_thread.RunDelayed();
  h.main_thread.RunPosted();
  EXPECT_THAT(h.announcer.events, ElementsAre("say:Searching"));
  h.http.Release();
  h.FinishFetches();
  EXPECT_THAT(h.ui.result_entries, ElementsAre("Paris, Ile-de-France, France",
                                               "Parisville, Michigan, United States of America"));
  EXPECT_EQ(h.ui.result_selection, 0);
}

TEST_F(CitySearchTest, EscapeWhileSearchingDropsTheAnswer) {
  h.http.Hold();
  for (const std::string query : {"Paris", "Atlantis"}) {
    ShowSearchResults(h.app, query);
    RunCommand(h.app, kCloseSecondaryWindow);
  }
  h.main_thread.RunDelayed();
  h.http.Release();
  for (int landed = 0; landed < 2; landed += h.main_thread.RunPosted())
    h.main_thread.AwaitPost();
  EXPECT_EQ(h.ui.secondary_window, "");
  EXPECT_THAT(h.ui.dialogs, IsEmpty());  // no "No results" for the search given up
  EXPECT_THAT(h.announcer.events, IsEmpty());
}

}  // namespace
}  // namespace skyvigil
