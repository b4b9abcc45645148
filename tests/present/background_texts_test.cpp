// The background texts, city first, and the conditions they trim.
#include "present/background_texts.h"

#include <gtest/gtest.h>

#include "fakes/hourly_weather.h"
#include "present/hour_lines.h"

namespace skyvigil {
namespace {

using testing::HourAt;
using testing::MakeWet;

alert FloodEnding(const char* expires) {
  alert a;
  a.event = "Flood Warning";
  a.expires = expires;
  return a;
}

hour WetAt(int at, bool rain, bool snow, int64_t chance_of_rain, int64_t chance_of_snow) {
  hour h = HourAt("2024-03-06", at);
  if (rain)
    MakeWet(h);
  if (snow)
    MakeWet(h, true);
  h.chance_of_rain = chance_of_rain;
  h.chance_of_snow = chance_of_snow;
  return h;
}

hour ClearAt(int at) {
  hour h = HourAt("2024-03-06", at);
  h.condition.text = "Clear ";
  h.temp_f = 72;
  h.chance_of_rain = 0;
  return h;
}

forecastday DayOf(const char* condition) {
  forecastday d;
  d.day.condition.text = condition;
  d.day.maxtemp_f = 65.1;
  d.day.maxtemp_c = 18.4;
  d.day.mintemp_f = 53.8;
  d.day.mintemp_c = 12.1;
  d.day.daily_chance_of_rain = 87;
  return d;
}

TEST(BackgroundTexts, CityFirstTimesAsSaidTrimmedConditions) {
  const struct {
    const char* label;
    std::string text;
    const char* expected;
  } cases[] = {
      {"extended, evening", AlertExtendedText("Paris", FloodEnding("2024-05-14T18:00:00+02:00")),
       "Paris: Flood Warning extended until 6 PM Tuesday."},
      {"extended, off the hour",
       AlertExtendedText("Paris", FloodEnding("2024-05-14T06:30:00-05:00")),
       "Paris: Flood Warning extended until 6:30 AM Tuesday."},
      {"extended, midnight", AlertExtendedText("Oslo", FloodEnding("2024-03-09T00:05:00Z")),
       "Oslo: Flood Warning extended until 12:05 AM Saturday."},
      {"extended, noon", AlertExtendedText("Oslo", FloodEnding("2024-03-08T12:00:00-06:00")),
       "Oslo: Flood Warning extended until 12 PM Friday."},
      {"extended, no time", AlertExtendedText("Oslo", FloodEnding("2024-03-08")),
       "Oslo: Flood Warning extended until 2024-03-08."},
      {"extended, no date", AlertExtendedText("Oslo", FloodEnding("2024-02-30T12:00:00+01:00")),
       "Oslo: Flood Warning extended until 2024-02-30T12:00:00+01:00."},
      {"extended, hour 24", AlertExtendedText("Oslo", FloodEnding("2024-03-08T24:00:00+01:00")),
       "Oslo: Flood Warning extended until 2024-03-08T24:00:00+01:00."},
      {"rain", RainAheadText("Paris", WetAt(15, true, false, 80, 0)),
       "Paris: rain likely from 3 PM."},
      {"snow", RainAheadText("Paris", WetAt(15, false, true, 0, 80)),
       "Paris: snow likely from 3 PM."},
      {"both, snow likelier", RainAheadText("Oslo", WetAt(9, true, true, 50, 80)),
       "Oslo: snow likely from 9 AM."},
      {"both, rain likelier", RainAheadText("Oslo", WetAt(9, true, true, 90, 80)),
       "Oslo: rain likely from 9 AM."},
      {"next hour, condition sent with a blank", HourLine(ClearAt(21), 0),
       "9 PM: Clear, 72 degrees F, 0 percent chance of rain"},
      {"briefing, Fahrenheit", BriefingText("London", DayOf("Light rain"), 0),
       "Today in London: Light rain, high 65 degrees F, low 54 degrees F, 87 percent chance of "
       "rain."},
      {"briefing, Celsius, condition in blanks", BriefingText("London", DayOf(" Light rain\t"), 1),
       "Today in London: Light rain, high 18 Degrees C, low 12 Degrees C, 87 percent chance of "
       "rain."},
      {"briefing, blank condition", BriefingText("London", DayOf("  "), 0),
       "Today in London: , high 65 degrees F, low 54 degrees F, 87 percent chance of rain."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, c.expected) << c.label;
}

}  // namespace
}  // namespace skyvigil
