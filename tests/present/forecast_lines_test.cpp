// The forecast window's lines for alerts and days.
#include "present/forecast_lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

alert FullAlert(const std::string& event) {
  alert a;
  a.headline = event + " issued March 6";
  a.msgType = "Alert";
  a.severity = "Moderate";
  a.urgency = "Expected";
  a.areas = "Sangamon";
  a.category = "Met";
  a.certainty = "Likely";
  a.event = event;
  a.note = "Check local news";
  a.effective = "2024-03-06T10:00:00-06:00";
  a.expires = "2024-03-07T10:00:00-06:00";
  a.desc = "Rivers rise.";
  a.instruction = "Move to higher ground.";
  return a;
}

forecastday Day(const std::string& date) {
  forecastday f;
  f.date = date;
  f.day.maxtemp_f = 61.2;
  f.day.maxtemp_c = 16.2;
  f.day.mintemp_f = 45.4;
  f.day.mintemp_c = 7.4;
  f.day.avgtemp_f = 53;
  f.day.avgtemp_c = 11.7;
  f.day.maxwind_mph = 12.3;
  f.day.maxwind_kph = 19.8;
  f.day.avgvis_miles = 6;
  f.day.avgvis_km = 9.7;
  f.day.totalprecip_in = 0.12;
  f.day.totalprecip_mm = 3.1;
  f.day.avghumidity = 77;
  f.day.uv = 3;
  f.day.condition.text = "Patchy rain possible";
  f.day.daily_will_it_rain = 1;
  f.day.daily_chance_of_rain = 80;
  f.astro = {"06:30 AM", "05:58 PM", "04:10 AM", "01:55 PM", "Waning Crescent", "17"};
  return f;
}

constexpr CivilDate kToday{2024, 3, 6};

TEST(ForecastLines, TwoAlertsAndThreeDaysInTheirOrderWithSeparators) {
  const auto lines =
      ForecastWindowLines({FullAlert("Flood Warning"), FullAlert("Wind Advisory")},
                          {Day("2024-03-06"), Day("2024-03-07"), Day("2024-03-08")}, 0, kToday);
  const std::vector<std::string> first_alert = {
      "Flood Warning Alert",
      "Flood Warning issued March 6",
      "Severity: Moderate",
      "Urgency: Expected",
      "Effective 2024-03-06T10:00:00-06:00",
      "Expires 2024-03-07T10:00:00-06:00",
      "Note: Check local news",
      "Description: Rivers rise.",
      "Areas affected: Sangamon",
      "Category: Met",
      "Certainty: Likely",
  };
  const std::vector<std::string> day_after_tomorrow = {
      "Friday, March 8",
      "Patchy rain possible",
      "High of 61 degrees F, low of 45 degrees F",
      "Average of 53 degrees F",
      "Chance of rain: 80%",
      "Winds: 12.3 Miles Per Hour (19.8 Kilometers per Hour)",
      "Visibility: 6 Miles (9.7 Kilometers)",
      "Precipitation: 0.12 Inches (3.1 MM)",
      "Humidity: 77%",
      "UV: 3",
      "Sunrise: 06:30 AM",
      "Sunset: 05:58 PM",
      "Moonrise: 04:10 AM",
      "Moon phase: Waning Crescent",
      "Moonset: 01:55 PM",
  };
  ASSERT_EQ(lines.size(), 11u + 1 + 11 + 15 + 1 + 15 + 1 + 15);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 11), first_alert);
  EXPECT_EQ(lines[11], ",");
  EXPECT_EQ(lines[12], "Wind Advisory Alert");
  EXPECT_EQ(lines[22], "Certainty: Likely");
  EXPECT_EQ(lines[23], "Today");
  EXPECT_EQ(lines[38], "...");
  EXPECT_EQ(lines[39], "Tomorrow");
  EXPECT_EQ(lines[54], "...");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 55, lines.end()), day_after_tomorrow);
}

TEST(ForecastLines, AnAlertWithoutOptionalFieldsHasSixLines) {
  alert bare;
  bare.event = "Heat";
  bare.msgType = "Update";
  bare.headline = "Hot";
  bare.effective = "now";
  bare.expires = "later";
  bare.desc = "Very hot.";
  bare.areas = "All";
  bare.instruction = "Drink water.";
  EXPECT_THAT(AlertLines({bare}),
              ElementsAre("Heat Update", "Hot", "Effective now", "Expires later",
                          "Description: Very hot.", "Areas affected: All"));
}

TEST(ForecastLines, RainAndSnowLinesFollowTheFlagsNotThePercentages) {
  struct Case {
    int64_t will_rain, rain_chance, will_snow, snow_chance;
    std::vector<std::string> extra;
  };
  const std::vector<Case> cases = {
      {1, 0, 0, 90, {"Chance of rain: 0%"}},
      {0, 80, 0, 0, {}},
      {0, 0, 1, 35, {"Chance of snow: 35%"}},
      {1, 60, 1, 20, {"Chance of rain: 60%", "Chance of snow: 20%"}},
      {2, 60, 0, 0, {}},
  };
  for (const Case& c : cases) {
    forecastday d = Day("2024-03-10");
    d.day.daily_will_it_rain = c.will_rain;
    d.day.daily_chance_of_rain = c.rain_chance;
    d.day.daily_will_it_snow = c.will_snow;
    d.day.daily_chance_of_snow = c.snow_chance;
    const auto lines = ForecastDayLines({d}, 0, kToday);
    ASSERT_EQ(lines.size(), 14u + c.extra.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 4 + c.extra.size()),
              c.extra);
    EXPECT_EQ(lines[4 + c.extra.size()], "Winds: 12.3 Miles Per Hour (19.8 Kilometers per Hour)");
  }
}

TEST(ForecastLines, TemperaturesFollowEveryDisplayUnit) {
  const std::vector<std::pair<int64_t, std::vector<std::string>>> units = {
      {0, {"High of 61 degrees F, low of 45 degrees F", "Average of 53 degrees F"}},
      {1, {"High of 16 Degrees C, low of 7 Degrees C", "Average of 12 Degrees C"}},
      {2,
       {"High of 16 degrees C (61 degrees F), low of 7 degrees C (45 degrees F)",
        "Average of 12 degrees C (53 degrees F)"}},
      {3,
       {"High of 61 degrees F (16 degrees C), low of 45 degrees F (7 degrees C)",
        "Average of 53 degrees F (12 degrees C)"}},
  };
  for (const auto& [unit, expected] : units) {
    const auto lines = ForecastDayLines({Day("2024-03-06")}, unit, kToday);
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.begin() + 4),
                ElementsAreArray(expected));
  }
}

TEST(ForecastLines, NothingFetchedGivesNoLines) {
  EXPECT_TRUE(ForecastWindowLines({}, {}, 0, kToday).empty());
}

TEST(ForecastLines, AlertAtLineFollowsTheAlertsLines) {
  alert bare;  // six lines: event, headline, effective, expires, description, areas
  bare.event = "Fog";
  const std::vector<alert> alerts = {FullAlert("Flood Warning"), bare};
  const auto lines = AlertLines(alerts);
  ASSERT_EQ(lines.size(), 11u + 1 + 6);
  const struct {
    int line;
    std::optional<size_t> alert;
  } cases[] = {{-1, std::nullopt}, {0, 0}, {10, 0}, {11, std::nullopt}, {12, 1}, {17, 1},
               {18, std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(AlertAtLine(alerts, c.line), c.alert) << c.line;
}

}  // namespace
}  // namespace skyvigil
