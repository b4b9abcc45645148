// Tests of the shared text builders: exact texts for numbers, temperatures,
// categories, dates and city names, including rounding ties and locales.
#include "present/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <stdexcept>
#include <string>

namespace skyvigil {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

TEST(IntTextTest, WritesPlainDecimal) {
  struct Case {
    int64_t n;
    const char* expected;
  };
  const Case cases[] = {{0, "0"},
                        {7, "7"},
                        {-1, "-1"},
                        {1234567, "1234567"},
                        {kMax, "9223372036854775807"},
                        {kMin, "-9223372036854775808"}};
  for (const Case& c : cases)
    EXPECT_EQ(IntText(c.n), c.expected) << c.n;
}

TEST(RealTextTest, TenDecimalsWithoutTrailingZeros) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {5.6, "5.6"},
      {29.92, "29.92"},
      {1013.0, "1013"},
      {0.0, "0"},
      {-0.0, "0"},
      {0.1, "0.1"},
      {-5.6, "-5.6"},
      {1.23456789012345, "1.2345678901"},
      {0.00000000001, "0"},
      {-0.00000000001, "0"},
      {0.0000000001, "0.0000000001"},
      {2.00000000004, "2"},
      {-2.00000000004, "-2"},
      {0.00000000006, "0.0000000001"},
      // Exact ties at the tenth decimal go to the even digit.
      {0.00048828125, "0.0004882812"},
      {0.00146484375, "0.0014648438"},
      {1e20, "100000000000000000000"},
      {kInfinity, "+Infinity"},
      {-kInfinity, "-Infinity"},
      {kNaN, "NaN"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RealText(c.value), c.expected) << c.value;
}

TEST(FixedTextTest, ExactlyTheRequestedDecimals) {
  struct Case {
    double value;
    int decimals;
    std::string expected;
  };
  const Case cases[] = {
      {static_cast<double>(230.3f), 2, "230.30"},
      {static_cast<double>(0.5f), 2, "0.50"},
      {0.5, 2, "0.50"},
      {0.0, 2, "0.00"},
      {-0.0, 2, "0.00"},
      {-0.001, 2, "0.00"},
      {-0.005, 2, "-0.01"},  // the double lies just beyond -0.005
      {1.005, 2, "1.00"},    // the double lies just below 1.005
      {0.125, 2, "0.12"},
      {0.375, 2, "0.38"},
      {2.5, 0, "2"},
      {3.5, 0, "4"},
      {-1.5, 0, "-2"},
      {-0.4, 0, "0"},
      {12.0, -3, "12"},
      {0.1, 20, "0.10000000000000000555"},
      {1.0, 600, "1." + std::string(512, '0')},
      {kInfinity, 2, "+Infinity"},
      {-kInfinity, 2, "-Infinity"},
      {kNaN, 2, "NaN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FixedText(c.value, c.decimals), c.expected) << c.value << " " << c.decimals;
  }
}

TEST(RoundToWholeTest, NearestWithTiesToEven) {
  struct Case {
    double value;
    int64_t expected;
  };
  const Case cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {-0.5, 0},
      {-0.4, 0},
      {0.49999999999999994, 0},
      {71.6, 72},
      {72.5, 72},
      {73.5, 74},
      {4503599627370495.5, 4503599627370496},
      {4503599627370497.0, 4503599627370497},
      {9223372036854774784.0, 9223372036854774784},
      {-9223372036854775808.0, kMin},
      {9223372036854775808.0, kMax},
      {1e300, kMax},
      {-1e300, kMin},
      {kInfinity, kMax},
      {-kInfinity, kMin},
      {kNaN, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundToWhole(c.value), c.expected) << c.value;
}

TEST(TemperatureTextTest, FollowsTheDisplayUnit) {
  struct Case {
    double f;
    double c;
    int64_t unit;
    const char* expected;
  };
  const Case cases[] = {
      {71.6, 22.0, 0, "72 degrees F"},
      {71.6, 22.0, 1, "22 Degrees C"},
      {71.6, 22.0, 2, "22 degrees C (72 degrees F)"},
      {71.6, 22.0, 3, "72 degrees F (22 degrees C)"},
      {72.5, 22.5, 0, "72 degrees F"},
      {73.5, 23.5, 0, "74 degrees F"},
      {72.5, 22.5, 2, "22 degrees C (72 degrees F)"},
      {73.5, 23.5, 3, "74 degrees F (24 degrees C)"},
      {-0.4, -18.0, 0, "0 degrees F"},
      {31.3, -0.4, 1, "0 Degrees C"},
      {-40.0, -40.0, 3, "-40 degrees F (-40 degrees C)"},
      {71.6, 22.0, 7, ""},
      {71.6, 22.0, 4, ""},
      {71.6, 22.0, -1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TemperatureText(c.f, c.c, c.unit), c.expected) << c.f << " " << c.c << " " << c.unit;
  }
}

TEST(AirQualityCategoryTest, BandsOfRoundedValues) {
  struct Case {
    double concentration;
    const char* expected;
  };
  const Case cases[] = {
      {0, "(Good)"},
      {50, "(Good)"},
      {50.5, "(Good)"},
      {51, "(Moderate)"},
      {51.5, "(Moderate)"},
      {100, "(Moderate)"},
      {101, "(Unhealthy for sensitive groups)"},
      {150, "(Unhealthy for sensitive groups)"},
      {151, "(Unhealthy)"},
      {200, "(Unhealthy)"},
      {201, "(Very Unhealthy)"},
      {300, "(Very Unhealthy)"},
      {300.4, "(Very Unhealthy)"},
      {300.5, "(Very Unhealthy)"},
      {301, "(Hazardous)"},
      {-1, "(Hazardous)"},
      {-0.4, "(Good)"},
      {1e30, "(Hazardous)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AirQualityCategory(RoundToWhole(c.concentration)), c.expected) << c.concentration;
  }
  EXPECT_EQ(AirQualityCategory(kMin), "(Hazardous)");
  EXPECT_EQ(AirQualityCategory(kMax), "(Hazardous)");
}

TEST(WeekdayMonthTextTest, NamesAndOutOfRange) {
  struct Case {
    int weekday;
    int month;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1, "Sunday, January"},
      {1, 2, "Monday, February"},
      {2, 3, "Tuesday, March"},
      {3, 4, "Wednesday, April"},
      {4, 5, "Thursday, May"},
      {5, 6, "Friday, June"},
      {6, 7, "Saturday, July"},
      {0, 8, "Sunday, August"},
      {1, 9, "Monday, September"},
      {2, 10, "Tuesday, October"},
      {3, 11, "Wednesday, November"},
      {4, 12, "Thursday, December"},
      {7, 1, ", January"},
      {-1, 12, ", December"},
      {5, 0, "Friday, "},
      {5, 13, "Friday, "},
      {-1, -1, ", "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WeekdayMonthText(c.weekday, c.month), c.expected) << c.weekday << " " << c.month;
  }
}

TEST(ForecastDayLabelTest, ComparesDaysOfTheYear) {
  struct Case {
    const char* date;
    CivilDate today;
    const char* expected;
  };
  const Case cases[] = {
      {"2024-03-08", {2024, 3, 8}, "Today"},
      {"2024-03-09", {2024, 3, 8}, "Tomorrow"},
      {"2024-03-08", {2024, 3, 7}, "Tomorrow"},
      {"2024-03-08", {2024, 3, 6}, "Friday, March 8"},
      {"2024-03-07", {2024, 3, 8}, "Thursday, March 7"},
      {"2024-03-10", {2024, 3, 8}, "Sunday, March 10"},
      {"2024-02-29", {2024, 2, 28}, "Tomorrow"},
      {"2024-02-29", {2024, 1, 1}, "Thursday, February 29"},
      // The year end: day 1 is never the day after day 365 or 366.
      {"2025-01-01", {2024, 12, 31}, "Wednesday, January 1"},
      {"2024-01-01", {2023, 12, 31}, "Monday, January 1"},
      {"2024-12-31", {2024, 12, 31}, "Today"},
      // Only the day numbers count, not the year.
      {"2024-03-07", {2023, 3, 8}, "Today"},
      {"2025-03-08", {2024, 3, 6}, "Tomorrow"},
      {"0001-01-01", {2024, 6, 15}, "Monday, January 1"},
      {"9999-12-31", {2024, 6, 15}, "Friday, December 31"},
      // An impossible "today" only rules out the two words.
      {"2024-03-08", {2024, 13, 1}, "Friday, March 8"},
      {"2024-03-08", {2024, 2, 30}, "Friday, March 8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ForecastDayLabel(c.date, c.today), c.expected)
        << c.date << " on " << c.today.year << "-" << c.today.month << "-" << c.today.day;
  }
}

TEST(ForecastDayLabelTest, OtherTextsAreShownAsReceived) {
  const CivilDate today{2024, 3, 8};
  for (const char* text :
       {"", "2024-3-8", "2024/03/08", "2024-03-08T00:00", " 2024-03-08", "2024-02-30", "2023-02-29",
        "2024-13-01", "2024-00-10", "2024-01-00", "abcd-ef-gh", "+024-03-08", "2024-0308-"}) {
    EXPECT_EQ(ForecastDayLabel(text, today), text) << text;
  }
}

TEST(ShortCityNameTest, TextBeforeTheFirstCommaBlank) {
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"London, City of London, Greater London, United Kingdom", "London"},
      {"St. John's, Newfoundland and Labrador, Canada", "St. John's"},
      {"Paris", "Paris"},
      {"Washington,DC", "Washington,DC"},
      {"A , B", "A "},
      {", Nowhere", ""},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShortCityName(c.name), c.expected) << c.name;
}

TEST(JoinedLinesTest, OneLineFeedEachWithNoneAtTheEnds) {
  const struct {
    std::vector<std::string> lines;
    const char* text;
  } cases[] = {
      {{"a", "b"}, "a\nb"},
      {{"", "", " middle ", ""}, " middle "},
      {{"a", "", "b"}, "a\n\nb"},
      {{"", ""}, ""},
      {{}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JoinedLines(c.lines), c.text) << c.text;
}

TEST(CitySummaryTextTest, ShortNameConditionAndTemperature) {
  city c;
  c.name = "Paris, Ile-de-France, France";
  c.temp = 50;  // the last announced value is not what the line shows
  c.condition = "Rain";
  c.weather.condition.text = "Partly cloudy";
  c.weather.temp_f = 71.6;
  c.weather.temp_c = 22.0;
  struct Case {
    int64_t unit;
    const char* expected;
  };
  const Case cases[] = {
      {0, "Paris: Partly cloudy, 72 degrees F"},
      {1, "Paris: Partly cloudy, 22 Degrees C"},
      {2, "Paris: Partly cloudy, 22 degrees C (72 degrees F)"},
      {3, "Paris: Partly cloudy, 72 degrees F (22 degrees C)"},
      {7, "Paris: Partly cloudy, "},
  };
  for (const Case& k : cases)
    EXPECT_EQ(CitySummaryText(c, k.unit), k.expected) << k.unit;

  // Never fetched: the name alone, in every unit; one filled field is weather.
  city bare;
  bare.name = "Oslo, Oslo, Norway";
  for (int64_t unit : {0, 1, 2, 3})
    EXPECT_EQ(CitySummaryText(bare, unit), "Oslo") << unit;
  EXPECT_FALSE(HasWeather(bare.weather));
  bare.weather.last_updated = "2024-03-06 12:45";
  EXPECT_EQ(CitySummaryText(bare, 0), "Oslo: , 0 degrees F");
  bare.weather.last_updated.clear();
  bare.weather.condition.text = "Fog";
  EXPECT_EQ(CitySummaryText(bare, 0), "Oslo: Fog, 0 degrees F");
}

// Restores the C and C++ locales on leaving the test.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_c_ = std::setlocale(LC_ALL, nullptr);
    // POSIX names, then Windows names.
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "de-DE", "German_Germany.1252"}) {
      if (std::setlocale(LC_ALL, name) != nullptr) {
        try {
          std::locale::global(std::locale(name));
        } catch (const std::runtime_error&) {
          // MinGW's C++ library has no named locales: only the C locale changes.
        }
        return;
      }
    }
    std::setlocale(LC_ALL, saved_c_.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  void TearDown() override {
    std::locale::global(saved_cpp_);
    std::setlocale(LC_ALL, saved_c_.c_str());
  }

  std::string saved_c_;
  std::locale saved_cpp_;
};

TEST_F(DecimalCommaLocale, NumbersKeepTheDecimalPoint) {
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(RealText(5.6), "5.6");
  EXPECT_EQ(RealText(1013.0), "1013");
  EXPECT_EQ(FixedText(static_cast<double>(230.3f), 2), "230.30");
  EXPECT_EQ(IntText(1234567), "1234567");
  EXPECT_EQ(TemperatureText(-1234.4, 0, 0), "-1234 degrees F");
  EXPECT_EQ(ForecastDayLabel("2024-03-08", {2024, 1, 1}), "Friday, March 8");
}

}  // namespace
}  // namespace skyvigil
