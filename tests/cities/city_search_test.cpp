// City search, the results window and adding a result.
#include "cities/city_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"
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
    h.places["Springfield"].days = 1;
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Parisville"] = {"Parisville", "Michigan", "United States of America", "Fog", 40, 4};
    h.app.state.cities = {h.CityAt("Springfield")};
    h.Draw();
  }

  void Run(int command) {
    h.Run([command](App& app) { RunCommand(app, command); });
  }
  void Search(const std::string& query) {
    h.Run([query](App& app) { ShowSearchResults(app, query); });
    h.FinishFetches();
  }
  std::optional<WindowKind> Window() {
    const Screen screen = h.Drawn();
    return screen.secondary ? std::optional(screen.secondary->kind) : std::nullopt;
  }

  testing::AppHarness h;
};

TEST_F(CitySearchTest, ResultsOpenWithTheFirstEntrySelected) {
  h.ui.text_answers = {"Paris"};
  Run(kSearchCity);
  h.FinishFetches();
  EXPECT_EQ(h.ui.dialogs.back(), "Search|Enter a query to search for|");
  const Screen screen = h.Drawn();
  ASSERT_EQ(Window(), WindowKind::results);
  EXPECT_EQ(screen.secondary->list.lines.size(), 2u);
  EXPECT_EQ(screen.secondary->list.selected, 0);
  EXPECT_EQ(screen.focus, kResultsList);
}

// Escape in the search box searches the empty text, as an empty answer does.
TEST_F(CitySearchTest, NothingFoundIsAnErrorAndOpensNoWindow) {
  for (const std::optional<std::string>& query :
       {std::optional<std::string>("Atlantis"), std::optional<std::string>()}) {
    h.ui.text_answers = {query};
    Run(kSearchCity);
    h.FinishFetches();
    EXPECT_EQ(h.ui.dialogs.back(), "Error|No results|error");
    EXPECT_EQ(Window(), std::nullopt);
  }
  EXPECT_THAT(h.Queries("/search.json"), ElementsAre("Atlantis", ""));
}

// The forecast shown stays until the results come, and stays when none come;
// "Searching" is said after a second.
TEST_F(CitySearchTest, AnOpenWindowStaysUntilTheResultsCome) {
  for (const char* query : {"Paris", "Atlantis"}) {
    SCOPED_TRACE(query);
    Run(kViewForecast);
    h.FinishFetches();
    h.announcer.events.clear();
    h.http.Hold();
    h.Run([query](App& app) { ShowSearchResults(app, query); });
    h.main_thread.RunDelayed();
    h.main_thread.RunPosted();
    EXPECT_THAT(h.announcer.events, ElementsAre("say:Searching"));
    EXPECT_EQ(Window(), WindowKind::forecast);
    h.http.Release();
    h.FinishFetches();
    EXPECT_EQ(Window(), query == std::string("Paris") ? WindowKind::results : WindowKind::forecast);
  }
}

// A newer secondary window drops the search; closing the forecast does not.
TEST_F(CitySearchTest, ANewerWindowDropsTheSearchWaitingAndClosingOneKeepsIt) {
  const struct {
    int meanwhile;
    std::optional<WindowKind> window;
  } cases[] = {
      {kAnnouncementHistory, WindowKind::history},
      {kCloseSecondaryWindow, WindowKind::results},
  };
  for (const auto& c : cases) {
    Run(kViewForecast);
    h.FinishFetches();
    h.http.Hold();
    h.Run([](App& app) { ShowSearchResults(app, "Paris"); });
    Run(c.meanwhile);
    h.http.Release();
    h.main_thread.AwaitPost();
    h.main_thread.RunPosted();
    EXPECT_EQ(Window(), c.window);
  }
  EXPECT_THAT(h.ui.dialogs, IsEmpty());
}

TEST_F(CitySearchTest, AddingAResultSelectsItButTheReportStaysWithTheEarlierCity) {
  Search("Paris");
  h.Run([](App& app) { OnSelect(app, kResultsList, 1); });
  h.announcer.events.clear();
  Run(kAddSearchResult);
  h.FinishRefreshes();
  ASSERT_EQ(h.app.state.cities.size(), 2u);
  EXPECT_EQ(h.app.state.cities[1].name, "Parisville, Michigan, United States of America");
  EXPECT_EQ(h.app.state.cities[1].alerts, 1);
  EXPECT_EQ(h.app.state.cities[1].weather.condition.text, "Fog");
  EXPECT_EQ(h.app.state.main_window.selected_city, 1);
  EXPECT_EQ(h.app.state.main_window.report_city, 0);
  EXPECT_EQ(Window(), std::nullopt);
  EXPECT_THAT(h.announcer.events,
              ElementsAre("say:Added Parisville, Michigan, United States of America"));
  std::vector<city> saved;
  LoadCities(saved, h.app.state.paths.cities_file, [](std::vector<city>&) {});
  EXPECT_EQ(saved.size(), 2u);
}

TEST_F(CitySearchTest, AddingTheSameResultTwiceGivesTwoCities) {
  for (int i = 0; i < 2; ++i) {
    Search("Paris");
    Run(kAddSearchResult);
    h.FinishRefreshes();
  }
  ASSERT_EQ(h.app.state.cities.size(), 3u);
  EXPECT_EQ(h.app.state.cities[1].name, h.app.state.cities[2].name);
}

TEST_F(CitySearchTest, EscapeClosesTheResultsWithoutAdding) {
  Search("Paris");
  Run(kCloseSecondaryWindow);
  EXPECT_EQ(Window(), std::nullopt);
  Run(kAddSearchResult);
  EXPECT_EQ(h.app.state.cities.size(), 1u);
}

}  // namespace
}  // namespace skyvigil
