// The current-weather report's texts: its lines and the tray tooltip.
#include "present/current_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/example_weather.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using testing::ExampleWeather;

TEST(CurrentReportLines, ReadEveryFactInOrder) {
  EXPECT_THAT(
      CurrentReportLines(ExampleWeather(), 2),
      ElementsAre(
          "Last updated: 2024-03-06 12:45", "Partly cloudy",
          "Temperature: 21 degrees C (70 degrees F)", "Feels like: 21 degrees C (69 degrees F)",
          "Humidity: 81%",
          "Wind: WSW at 8.1 Miles Per Hour (13 Kilometers Per Hour) with gusts of 11.4 Miles Per "
          "Hour (18.4 Kilometers per Hour)",
          "Pressure: 29.92 in (1013 mb)", "UV index: 4", "Air Quality", "EPA index: 2",
          "DEFRA index: 3", "Carbon Monoxide (Co): 230.30 (Very Unhealthy)",
          "Ozone (O3): 50.50 (Good)", "Nitrogen dioxide (no2): 51.50 (Moderate)",
          "Sulphur dioxide (so2): -1.00 (Hazardous)", "pm2.5: 300.50 (Very Unhealthy)",
          "pm10: 0.00 (Good)"));
}

TEST(CurrentReportLines, AnEmptyRecordShowsEmptyTextsAndZeros) {
  const auto lines = CurrentReportLines(currentWeather{}, 0);
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0], "Last updated: ");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "Temperature: 0 degrees F");
  EXPECT_EQ(lines[4], "Humidity: 0%");
  EXPECT_EQ(lines[5],
            "Wind:  at 0 Miles Per Hour (0 Kilometers Per Hour) with gusts of 0 Miles Per Hour (0 "
            "Kilometers per Hour)");
  EXPECT_EQ(lines[16], "pm10: 0.00 (Good)");
}

TEST(CurrentReportLines, OnlyTemperatureLinesFollowTheDisplayUnit) {
  const currentWeather w = ExampleWeather();
  const std::vector<std::pair<int64_t, std::string>> units = {
      {0, "Temperature: 70 degrees F"},
      {1, "Temperature: 21 Degrees C"},
      {3, "Temperature: 70 degrees F (21 degrees C)"},
      {7, "Temperature: "}};
  const auto reference = CurrentReportLines(w, 2);
  for (const auto& [unit, line] : units) {
    SCOPED_TRACE(unit);
    const auto lines = CurrentReportLines(w, unit);
    EXPECT_EQ(lines[2], line);
    for (size_t i = 4; i < lines.size(); ++i)
      EXPECT_EQ(lines[i], reference[i]);
  }
}

TEST(TrayTooltipText, CutsAfterTheSixtyThirdCharacter) {
  const std::string seventy(70, 'x');
  EXPECT_EQ(TrayTooltipText(seventy), std::string(63, 'x'));
  EXPECT_EQ(TrayTooltipText(std::string(63, 'y')), std::string(63, 'y'));
  // Characters, not bytes: "é" is two bytes in UTF-8 and is never split.
  std::string accented;
  for (int i = 0; i < 70; ++i)
    accented += "\xC3\xA9";
  EXPECT_EQ(TrayTooltipText(accented), accented.substr(0, 126));
}

}  // namespace
}  // namespace skyvigil
