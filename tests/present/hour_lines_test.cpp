// The next hours' lines and an alert's detail lines.
#include "present/hour_lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fakes/hourly_weather.h"
#include "weather/json_value.h"
#include "weather/record_json.h"

namespace skyvigil {
namespace {

using testing::DaysWithHours;
using ::testing::ElementsAre;
using testing::HourAt;
using testing::MakeWet;

TEST(HourLabel, TwelveHourClock) {
  const struct {
    const char* time;
    const char* label;
  } cases[] = {
      {"2024-03-06 00:00", "12 AM"},
      {"2024-03-06 01:00", "1 AM"},
      {"2024-03-06 11:00", "11 AM"},
      {"2024-03-06 12:00", "12 PM"},
      {"2024-03-06 15:00", "3 PM"},
      {"2024-03-06 23:00", "11 PM"},
      {"2024-03-06 7:30", "7 AM"},
      {"2024-03-06 24:00", "2024-03-06 24:00"},
      {"15:00", "15:00"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HourLabel(c.time), c.label) << c.time;
}

TEST(HourLine, EachUnitModeRainOrSnow) {
  hour wet = HourAt("2024-03-06", 15);
  MakeWet(wet);
  wet.temp_f = 64.4;
  wet.temp_c = 18;
  hour snow = HourAt("2024-03-06", 0);
  MakeWet(snow, true);
  snow.chance_of_rain = 30;
  snow.temp_f = 30.2;
  snow.temp_c = -1;
  hour even = HourAt("2024-03-06", 12);
  even.chance_of_rain = 40;
  even.chance_of_snow = 40;
  const struct {
    const hour& h;
    int64_t unit;
    const char* line;
  } cases[] = {
      {wet, 0, "3 PM: Light rain, 64 degrees F, 80 percent chance of rain"},
      {wet, 1, "3 PM: Light rain, 18 Degrees C, 80 percent chance of rain"},
      {wet, 2, "3 PM: Light rain, 18 degrees C (64 degrees F), 80 percent chance of rain"},
      {wet, 3, "3 PM: Light rain, 64 degrees F (18 degrees C), 80 percent chance of rain"},
      {snow, 0, "12 AM: Light snow, 30 degrees F, 80 percent chance of snow"},
      {even, 0, "12 PM: Partly cloudy, 60 degrees F, 40 percent chance of rain"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HourLine(c.h, c.unit), c.line);
}

TEST(NextHourLines, TwentyFourFromTheCitysHourAcrossMidnight) {
  const auto days = DaysWithHours({"2024-03-06", "2024-03-07"});
  const auto lines = NextHourLines(days, "2024-03-06 21:59", 0);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[0], "9 PM: Partly cloudy, 60 degrees F, 10 percent chance of rain");
  EXPECT_EQ(lines[2].substr(0, 7), "11 PM: ");
  EXPECT_EQ(lines[3].substr(0, 7), "12 AM: ");
  EXPECT_EQ(lines[23].substr(0, 7), "8 PM: P");
}

TEST(HoursFrom, StartAndEndOfTheList) {
  const auto days = DaysWithHours({"2024-03-06", "2024-03-07"});
  const struct {
    const char* localtime;
    size_t count;
    size_t hours;
    const char* first;
  } cases[] = {
      {"2024-03-06 0:05", 24, 24, "2024-03-06 00:00"},
      {"2024-03-07 3:00", 24, 21, "2024-03-07 03:00"},  // the answer's last hours
      {"2024-03-05 23:10", 2, 2, "2024-03-06 00:00"},   // the answer starts later
      {"2024-03-08 1:00", 24, 0, ""},                   // the answer is over
      {"not a time", 24, 0, ""},
  };
  for (const auto& c : cases) {
    const auto hours = HoursFrom(days, c.localtime, c.count);
    ASSERT_EQ(hours.size(), c.hours) << c.localtime;
    if (!hours.empty()) {
      EXPECT_EQ(hours.front().time, c.first) << c.localtime;
    }
  }
}

TEST(Sentences, CutAtSentenceEndsAndLineBreaks) {
  const struct {
    const char* text;
    std::vector<std::string> pieces;
  } cases[] = {
      {"Rivers rise. Move away! Why? Now.", {"Rivers rise.", "Move away!", "Why?", "Now."}},
      {"* WHAT...Heat up to 100.\n\n* WHERE...Bronx.",
       {"* WHAT...Heat up to 100.", "* WHERE...Bronx."}},
      {"At 23.0 feet, water covers www.weather.gov",
       {"At 23.0 feet, water covers www.weather.gov"}},
      {"  \n ", {}},
      {"", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Sentences(c.text), c.pieces) << c.text;
}

alert CapturedAlert() {
  std::ifstream in(SKYVIGIL_TEST_DATA "/service/alert_flood_warning.json", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto value = ParseJson(text);
  EXPECT_TRUE(value.has_value());
  alert a;
  FillRecord(a, value ? &*value : nullptr, NameMatch::ignore_case);
  return a;
}

TEST(AlertDetailLines, CapturedFloodWarning) {
  EXPECT_THAT(
      AlertDetailLines(CapturedAlert()),
      ElementsAre("Flood Warning issued March 6 at 9:47AM CST until March 8 at 12:00PM CST by "
                  "NWS Lincoln IL",
                  "Severity: Moderate", "Urgency: Expected", "Areas: Sangamon, IL; Menard, IL",
                  "From 2024-03-06T09:47:00-06:00", "Until 2024-03-08T12:00:00-06:00",
                  "...The Flood Warning continues for the following rivers in Illinois...",
                  "Sangamon River at Riverton.",
                  "* WHAT...Minor flooding is occurring and minor flooding is forecast.",
                  "* WHERE...Sangamon River at Riverton.", "* WHEN...Until Friday morning.",
                  "* IMPACTS...At 23.0 feet, floodwaters cover low-lying farmland along the left "
                  "bank.",
                  "Some rural roads may be closed!",
                  "Turn around, don't drown when encountering flooded roads.",
                  "Most flood deaths occur in vehicles.",
                  "Additional information is available at www.weather.gov."));
}

TEST(AlertDetailLines, FieldsTheAlertLacksAreLeftOut) {
  alert a;
  a.headline = "Air Quality Alert";
  a.expires = "2024-07-10T23:00:00-04:00";
  EXPECT_THAT(AlertDetailLines(a),
              ElementsAre("Air Quality Alert", "Until 2024-07-10T23:00:00-04:00"));
}

}  // namespace
}  // namespace skyvigil
