// The city list rebuild: summary lines, the selection, an empty list.
#include "views/city_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/app_harness.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CityListTest : public ::testing::Test {
 protected:
  CityListTest() {
    h.places["Springfield"] = {"Springfield", "Illinois", "United States of America",
                               "Sunny",       70,         21};
    h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
    h.places["Oslo"] = {"Oslo", "Oslo", "Norway", "Snow", 23, -5};
  }

  AppHarness h;
};

TEST_F(CityListTest, CityListShowsSummariesAndRestoresTheSavedSelection) {
  h.app.state.cities = {h.CityAt("Springfield"), h.CityAt("Paris"), h.CityAt("Oslo")};
  h.app.state.prefs.cities_index = 2;
  h.app.state.prefs.celcius = 1;
  RefreshCityList(h.app, true);
  EXPECT_THAT(h.ui.city_lines,
              ElementsAre("Springfield: Sunny, 21 Degrees C", "Paris: Light rain, 10 Degrees C",
                          "Oslo: Snow, -5 Degrees C"));
  EXPECT_EQ(h.ui.city_selection, 2);

  h.ui.city_selection = 1;
  RefreshCityList(h.app, false);
  EXPECT_EQ(h.ui.city_selection, 1);
}

// The list only asks for the end; the core gate carries it out afterwards.
TEST_F(CityListTest, AnEmptyCityListAsksForTheEndAfterTellingTheUser) {
  h.app.state.cities.clear();
  RefreshCityList(h.app, false);
  EXPECT_THAT(h.ui.dialogs, ElementsAre("Alert!|You have to add a city to use the program."));
  EXPECT_EQ(h.app.state.exit_code, 0);
  EXPECT_THAT(h.announcer.events, IsEmpty());
  EXPECT_FALSE(h.ui.marker_released);
}

}  // namespace
}  // namespace skyvigil
