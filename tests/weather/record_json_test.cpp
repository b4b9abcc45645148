// Tests of the generic fill and write rules of the weather records.
#include "weather/record_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "weather/json_value.h"

namespace skyvigil {
namespace {

constexpr int64_t kMaxInt = std::numeric_limits<int64_t>::max();
constexpr int64_t kMinInt = std::numeric_limits<int64_t>::min();
constexpr float kMaxFloat = std::numeric_limits<float>::max();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

JsonValue Parse(const std::string& text) {
  auto value = ParseJson(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value.value_or(JsonValue{});
}

template <class Record>
Record Filled(const std::string& text, NameMatch match = NameMatch::ignore_case) {
  JsonValue value = Parse(text);
  Record record;
  FillRecord(record, &value, match);
  return record;
}

// ---- Member lookup ----

TEST(FindMember, PicksTheLastMatchingMember) {
  const JsonValue object = Parse(R"({"a":1,"Temp":2,"temp":3,"TEMP":4,"b":5,"a":6})");
  const struct {
    const char* name;
    NameMatch match;
    bool found;
    uint64_t value;
  } cases[] = {
      {"a", NameMatch::exact, true, 6},          {"a", NameMatch::ignore_case, true, 6},
      {"A", NameMatch::exact, false, 0},         {"A", NameMatch::ignore_case, true, 6},
      {"temp", NameMatch::exact, true, 3},       {"Temp", NameMatch::exact, true, 2},
      {"temp", NameMatch::ignore_case, true, 4}, {"tEmP", NameMatch::ignore_case, true, 4},
      {"b", NameMatch::ignore_case, true, 5},    {"c", NameMatch::ignore_case, false, 0},
      {"", NameMatch::exact, false, 0},          {"te", NameMatch::ignore_case, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const JsonValue* member = FindMember(&object, c.name, c.match);
    if (!c.found) {
      EXPECT_EQ(member, nullptr);
      continue;
    }
    ASSERT_NE(member, nullptr);
    ASSERT_NE(member->as_unsigned(), nullptr);
    EXPECT_EQ(*member->as_unsigned(), c.value);
  }
}

TEST(FindMember, FoldsOnlyAsciiLetters) {
  // "\xC3\x89" is É, "\xC3\xA9" is é: not folded; '[' and '{' differ from letters by 0x20 too.
  const JsonValue object = Parse("{\"\xC3\x89t\xC3\xA9\":1,\"a[\":2}");
  EXPECT_EQ(FindMember(&object, "\xC3\xA9t\xC3\xA9", NameMatch::ignore_case), nullptr);
  EXPECT_NE(FindMember(&object, "\xC3\x89T\xC3\xA9", NameMatch::ignore_case), nullptr);
  EXPECT_EQ(FindMember(&object, "a{", NameMatch::ignore_case), nullptr);
  EXPECT_NE(FindMember(&object, "A[", NameMatch::ignore_case), nullptr);
}

TEST(FindMember, NothingOutsideAnObject) {
  const JsonValue array = Parse(R"([{"a":1}])");
  const JsonValue text = Parse(R"("a")");
  EXPECT_EQ(FindMember(nullptr, "a", NameMatch::exact), nullptr);
  EXPECT_EQ(FindMember(&array, "a", NameMatch::exact), nullptr);
  EXPECT_EQ(FindMember(&text, "a", NameMatch::ignore_case), nullptr);
}

// ---- Fill rule, per field type ----

TEST(FillRecord, IntegerFields) {
  const struct {
    const char* json;
    int64_t expected;
  } cases[] = {
      {"81", 81},
      {"81.6", 81},
      {"74.9", 74},
      {"-3.7", -3},
      {"-0.5", 0},
      {"0.999", 0},
      {"-12", -12},
      {"1e2", 100},
      {"true", 1},
      {"false", 0},
      {"null", 0},
      {"\"81\"", 0},
      {"[81]", 0},
      {"{\"humidity\":81}", 0},
      {"9223372036854775807", kMaxInt},
      {"-9223372036854775808", kMinInt},
      {"9223372036854775808", kMaxInt},   // unsigned beyond the range
      {"18446744073709551615", kMaxInt},  // largest unsigned
      {"18446744073709551616", kMaxInt},  // beyond unsigned: a double
      {"9.3e18", kMaxInt},
      {"-9.3e18", kMinInt},
      {"-9223372036854775809", kMinInt},
      {"9223372036854775808.0", kMaxInt},  // 2^63 as a double
      {"-9223372036854775808.0", kMinInt},
      {"1e308", kMaxInt},
      {"-1e308", kMinInt},
      {"4611686018427387904.0", 4611686018427387904},  // 2^62 as a double
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    currentWeather weather = Filled<currentWeather>(std::string("{\"humidity\":") + c.json + "}");
    EXPECT_EQ(weather.humidity, c.expected);
  }
}

TEST(FillRecord, DoubleFields) {
  const struct {
    const char* json;
    double expected;
  } cases[] = {
      {"4", 4.0},
      {"4.5", 4.5},
      {"-1", -1.0},
      {"0.1", 0.1},
      {"21.3", 21.3},
      {"true", 1.0},
      {"false", 0.0},
      {"null", 0.0},
      {"\"4\"", 0.0},
      {"[4]", 0.0},
      {"{}", 0.0},
      {"18446744073709551615", 18446744073709551615.0},
      {"-9223372036854775808", -9223372036854775808.0},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    currentWeather weather = Filled<currentWeather>(std::string("{\"uv\":") + c.json + "}");
    EXPECT_EQ(weather.uv, c.expected);
  }
}

TEST(FillRecord, FloatFieldsAreRoundedToSinglePrecision) {
  const struct {
    const char* json;
    float expected;
  } cases[] = {
      {"0.1", 0.1f},
      {"68.5", 68.5f},
      {"12", 12.0f},
      {"16777217", 16777216.0f},  // 2^24 + 1 rounds to even
      {"true", 1.0f},
      {"false", 0.0f},
      {"null", 0.0f},
      {"\"0.1\"", 0.0f},
      {"3.4028234663852886e38", kMaxFloat},
      {"3.40282356e38", kMaxFloat},  // above FLT_MAX, still rounds down to it
      {"-3.40282356e38", -kMaxFloat},
      {"3.4028235677973366e38", kInfinity},  // halfway to the next power: rounds to even
      {"1e39", kInfinity},
      {"-1e300", -kInfinity},
      {"18446744073709551615", 18446744073709551616.0f},
      {"1e-50", 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    aqi readings = Filled<aqi>(std::string("{\"co\":") + c.json + "}");
    EXPECT_EQ(readings.co, c.expected);
  }
}

TEST(FillRecord, TextFields) {
  const struct {
    const char* json;
    const char* expected;
  } cases[] = {
      {"\"45%\"", "45%"}, {"\"\"", ""},           {"45", ""},
      {"45.5", ""},       {"true", ""},           {"null", ""},
      {"[\"45\"]", ""},   {"{\"a\":\"45\"}", ""}, {"\"a\\nb\"", "a\nb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    astro times = Filled<astro>(std::string("{\"moon_illumination\":") + c.json + "}");
    EXPECT_EQ(times.moon_illumination, c.expected);
  }
}

// Flood and hurricane descriptions run to thousands of characters: a text
// keeps every byte, however long (the answer's own cap bounds it).
TEST(FillRecord, TextIsKeptWholeWhateverItsLength) {
  std::string flood;  // 3,200 characters, 4,000 bytes
  for (int i = 0; i < 400; ++i)
    flood += "Flo\u00f6d \u00e9.";
  const std::string a2047(2047, 'a');
  const struct {
    const char* name;
    std::string text;
    std::size_t bytes;
  } cases[] = {
      {"2,049 bytes", std::string(2049, 'a'), 2049},
      {"a two-byte letter across byte 2,048", a2047 + "\u00e9z", 2050},
      {"a 3,200-character flood description", flood, 4000},
      {"64 KiB and one byte", std::string((64u << 10) + 1, 'x'), (64u << 10) + 1},
      {"nearly the whole answer", std::string((1u << 20) - 64, 'y'), (1u << 20) - 64},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const alert filled = Filled<alert>("{\"desc\":\"" + c.text + "\"}");
    EXPECT_EQ(filled.desc.size(), c.bytes);
    EXPECT_TRUE(filled.desc == c.text);  // not printed: up to a megabyte
  }
}

TEST(FillRecord, EveryFieldByItsOwnName) {
  const currentWeather weather = Filled<currentWeather>(R"({
    "last_updated": "2024-05-01 14:30", "last_updated_epoch": 1714566600,
    "temp_c": 21.3, "temp_f": 70.3, "feelslike_c": 20.1, "feelslike_f": 68.2,
    "condition": {"text": "Partly cloudy", "icon": "//cdn/116.png", "code": 1003, "extra": 1},
    "wind_mph": 10.5, "wind_kph": 16.9, "wind_degree": 250, "wind_dir": "WSW",
    "pressure_mb": 1015, "pressure_in": 29.97, "precip_mm": 0.1, "precip_in": 0.01,
    "humidity": 81.6, "cloud": 75, "is_day": true, "uv": 4, "gust_mph": 14.2, "gust_kph": 22.8,
    "location": {"lat": 47.37, "lon": 8.55, "name": "Zurich", "region": "ZH",
                 "country": "Switzerland", "tz_id": "Europe/Zurich",
                 "localtime_epoch": 1714573800, "localtime": "2024-05-01 16:30"},
    "aqi": {"co": 0.1, "o3": 68.5, "no2": 12.3, "so2": 1.5, "pm2_5": 7.25, "pm10": 9.75,
            "us_epa_index": 2, "gb_defra_index": 3},
    "unknown_member": "ignored"
  })");
  EXPECT_EQ(weather.last_updated, "2024-05-01 14:30");
  EXPECT_EQ(weather.last_updated_epoch, 1714566600);
  EXPECT_EQ(weather.temp_c, 21.3);
  EXPECT_EQ(weather.temp_f, 70.3);
  EXPECT_EQ(weather.feelslike_c, 20.1);
  EXPECT_EQ(weather.feelslike_f, 68.2);
  EXPECT_EQ(weather.condition.text, "Partly cloudy");
  EXPECT_EQ(weather.condition.icon, "//cdn/116.png");
  EXPECT_EQ(weather.condition.code, 1003);
  EXPECT_EQ(weather.wind_mph, 10.5);
  EXPECT_EQ(weather.wind_kph, 16.9);
  EXPECT_EQ(weather.wind_degree, 250);
  EXPECT_EQ(weather.wind_dir, "WSW");
  EXPECT_EQ(weather.pressure_mb, 1015.0);
  EXPECT_EQ(weather.pressure_in, 29.97);
  EXPECT_EQ(weather.precip_mm, 0.1);
  EXPECT_EQ(weather.precip_in, 0.01);
  EXPECT_EQ(weather.humidity, 81);
  EXPECT_EQ(weather.cloud, 75);
  EXPECT_EQ(weather.is_day, 1);
  EXPECT_EQ(weather.uv, 4.0);
  EXPECT_EQ(weather.gust_mph, 14.2);
  EXPECT_EQ(weather.gust_kph, 22.8);
  EXPECT_EQ(weather.location.lat, 47.37);
  EXPECT_EQ(weather.location.lon, 8.55);
  EXPECT_EQ(weather.location.name, "Zurich");
  EXPECT_EQ(weather.location.region, "ZH");
  EXPECT_EQ(weather.location.country, "Switzerland");
  EXPECT_EQ(weather.location.tz_id, "Europe/Zurich");
  EXPECT_EQ(weather.location.localtime_epoch, 1714573800);
  EXPECT_EQ(weather.location.localtime, "2024-05-01 16:30");
  EXPECT_EQ(weather.aqi.co, 0.1f);
  EXPECT_EQ(weather.aqi.o3, 68.5f);
  EXPECT_EQ(weather.aqi.no2, 12.3f);
  EXPECT_EQ(weather.aqi.so2, 1.5f);
  EXPECT_EQ(weather.aqi.pm2_5, 7.25f);
  EXPECT_EQ(weather.aqi.pm10, 9.75f);
  EXPECT_EQ(weather.aqi.us_epa_index, 2);
  EXPECT_EQ(weather.aqi.gb_defra_index, 3);
}

TEST(FillRecord, AirQualityIsNotLookedUpUnderItsServiceName) {
  // The generic rule reads the aqi field from a member "aqi"; the service's
  // "air_quality" member is for the fetch code to hand in explicitly.
  const currentWeather weather =
      Filled<currentWeather>(R"({"air_quality":{"co":1.5,"us_epa_index":2}})");
  EXPECT_EQ(weather.aqi.co, 0.0f);
  EXPECT_EQ(weather.aqi.us_epa_index, 0);
}

TEST(FillRecord, ResetsBeforeFilling) {
  const char* values[] = {"null",
                          "[]",
                          "[{\"code\":5}]",
                          "\"text\"",
                          "5",
                          "true",
                          "{}",
                          "{\"Text\":\"x\",\"other\":1}"};
  for (const char* json : values) {
    SCOPED_TRACE(json);
    condition sky{"Sunny", "//icon.png", 1000};
    const JsonValue value = Parse(json);
    FillRecord(sky, &value, NameMatch::exact);
    EXPECT_EQ(sky.text, "");
    EXPECT_EQ(sky.icon, "");
    EXPECT_EQ(sky.code, 0);
  }
  condition sky{"Sunny", "//icon.png", 1000};
  FillRecord(sky, nullptr, NameMatch::ignore_case);
  EXPECT_EQ(sky.text, "");
  EXPECT_EQ(sky.icon, "");
  EXPECT_EQ(sky.code, 0);
}

TEST(FillRecord, MissingMembersKeepTheResetValue) {
  forecastday stale;
  stale.date = "old";
  stale.date_epoch = 7;
  stale.day.uv = 9;
  stale.day.condition.text = "old";
  stale.astro.sunrise = "old";
  const JsonValue value = Parse(R"({"date":"2024-05-02","day":{"avghumidity":64.5}})");
  FillRecord(stale, &value, NameMatch::ignore_case);
  EXPECT_EQ(stale.date, "2024-05-02");
  EXPECT_EQ(stale.date_epoch, 0);
  EXPECT_EQ(stale.day.avghumidity, 64);
  EXPECT_EQ(stale.day.uv, 0.0);
  EXPECT_EQ(stale.day.condition.text, "");
  EXPECT_EQ(stale.astro.sunrise, "");
}

TEST(FillRecord, NestedRecordFromANonObjectIsReset) {
  const currentWeather weather =
      Filled<currentWeather>(R"({"condition":"Sunny","location":[1,2],"temp_c":3})");
  EXPECT_EQ(weather.condition.text, "");
  EXPECT_EQ(weather.location.lat, 0.0);
  EXPECT_EQ(weather.temp_c, 3.0);
}

TEST(FillRecord, LetterCaseOfMemberNames) {
  const struct {
    const char* json;
    NameMatch match;
    int64_t us_epa_index;
    int64_t gb_defra_index;
  } cases[] = {
      {R"({"US_EPA_INDEX":3,"Gb_Defra_Index":4})", NameMatch::ignore_case, 3, 4},
      {R"({"US_EPA_INDEX":3,"Gb_Defra_Index":4})", NameMatch::exact, 0, 0},
      {R"({"us_epa_index":1,"US_EPA_INDEX":3})", NameMatch::ignore_case, 3, 0},
      {R"({"US_EPA_INDEX":3,"us_epa_index":1})", NameMatch::ignore_case, 1, 0},
      {R"({"us_epa_index":1,"US_EPA_INDEX":3})", NameMatch::exact, 1, 0},
      {R"({"us_epa_index":1,"us_epa_index":5})", NameMatch::exact, 5, 0},
      {R"({"us_epa_index":1,"us_epa_index":"5"})", NameMatch::exact, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const aqi readings = Filled<aqi>(c.json, c.match);
    EXPECT_EQ(readings.us_epa_index, c.us_epa_index);
    EXPECT_EQ(readings.gb_defra_index, c.gb_defra_index);
  }
}

// ---- Fill rule for lists ----

TEST(FillList, OneRecordPerItemInArrayOrder) {
  const JsonValue value = Parse(R"([
    {"headline":"Flood warning","msgType":"Alert","severity":"Moderate"},
    7,
    {"HEADLINE":"Wind advisory","instruction":"Stay inside"},
    null
  ])");
  std::vector<alert> alerts(5);
  alerts[0].headline = "stale";
  FillList(alerts, &value, NameMatch::ignore_case);
  ASSERT_EQ(alerts.size(), 4u);
  EXPECT_EQ(alerts[0].headline, "Flood warning");
  EXPECT_EQ(alerts[0].msgType, "Alert");
  EXPECT_EQ(alerts[0].severity, "Moderate");
  EXPECT_EQ(alerts[0].instruction, "");
  EXPECT_EQ(alerts[1].headline, "");  // not an object: a reset record
  EXPECT_EQ(alerts[2].headline, "Wind advisory");
  EXPECT_EQ(alerts[2].instruction, "Stay inside");
  EXPECT_EQ(alerts[3].headline, "");
}

TEST(FillList, NonArrayLeavesTheListEmpty) {
  const char* values[] = {"null", "{}", R"({"forecastday":[{"date":"x"}]})", "\"[]\"", "0", "[]"};
  for (const char* json : values) {
    SCOPED_TRACE(json);
    std::vector<forecastday> days(3);
    days[0].date = "stale";
    const JsonValue value = Parse(json);
    FillList(days, &value, NameMatch::ignore_case);
    EXPECT_TRUE(days.empty());
  }
  std::vector<forecastday> days(2);
  FillList(days, nullptr, NameMatch::ignore_case);
  EXPECT_TRUE(days.empty());
}

TEST(FillList, ForecastDaysWithNestedRecords) {
  const JsonValue value = Parse(R"({"forecast":{"forecastday":[
    {"date":"2024-05-01","date_epoch":1714521600,
     "day":{"maxtemp_c":22.4,"maxtemp_f":72.3,"totalsnow_in":0.5,"totalsnow_cm":1.27,
            "avghumidity":70.9,"uv":5,"daily_will_it_rain":1,"daily_chance_of_rain":86,
            "condition":{"text":"Patchy rain nearby","code":1063}},
     "astro":{"sunrise":"06:01 AM","moon_illumination":45,"moon_phase":"Waning Crescent"}},
    {"date":"2024-05-02"}
  ]}})");
  std::vector<forecastday> days;
  FillList(days,
           FindMember(FindMember(&value, "forecast", NameMatch::ignore_case), "forecastday",
                      NameMatch::ignore_case),
           NameMatch::ignore_case);
  ASSERT_EQ(days.size(), 2u);
  EXPECT_EQ(days[0].date, "2024-05-01");
  EXPECT_EQ(days[0].date_epoch, 1714521600);
  EXPECT_EQ(days[0].day.maxtemp_c, 22.4);
  EXPECT_EQ(days[0].day.maxtemp_f, 72.3);
  EXPECT_EQ(days[0].day.totalsnow_in, 0.5);
  EXPECT_EQ(days[0].day.totalsnow_cm, 1.27);
  EXPECT_EQ(days[0].day.avghumidity, 70);
  EXPECT_EQ(days[0].day.uv, 5.0);
  EXPECT_EQ(days[0].day.daily_will_it_rain, 1);
  EXPECT_EQ(days[0].day.daily_chance_of_rain, 86);
  EXPECT_EQ(days[0].day.condition.text, "Patchy rain nearby");
  EXPECT_EQ(days[0].day.condition.code, 1063);
  EXPECT_EQ(days[0].astro.sunrise, "06:01 AM");
  EXPECT_EQ(days[0].astro.moon_illumination, "");  // a number, not a text
  EXPECT_EQ(days[0].astro.moon_phase, "Waning Crescent");
  EXPECT_EQ(days[1].date, "2024-05-02");
  EXPECT_EQ(days[1].day.maxtemp_c, 0.0);
}

TEST(FillList, HoursOfAForecastDay) {
  const JsonValue value = Parse(R"({"date":"2024-07-09","hour":[
    {"time_epoch":1720472400,"time":"2024-07-09 00:00","temp_c":14.1,"temp_f":57.4,
     "condition":{"text":"Light rain","code":1183},"chance_of_rain":80,"will_it_rain":1,
     "chance_of_snow":0,"will_it_snow":0,"precip_mm":0.4,"gust_mph":17.3,"uv":1.0},
    {"time":"2024-07-09 01:00","will_it_snow":true,"chance_of_snow":64.9},
    "not an hour"]})");
  const forecastday d = [&] {
    forecastday filled;
    FillRecord(filled, &value, NameMatch::ignore_case);
    return filled;
  }();
  ASSERT_EQ(d.hour.size(), 3u);
  const hour& first = d.hour[0];
  EXPECT_EQ(first.time, "2024-07-09 00:00");
  EXPECT_EQ(first.temp_c, 14.1);
  EXPECT_EQ(first.temp_f, 57.4);
  EXPECT_EQ(first.condition.text, "Light rain");
  EXPECT_EQ(first.chance_of_rain, 80);
  EXPECT_EQ(first.will_it_rain, 1);
  EXPECT_EQ(first.chance_of_snow, 0);
  EXPECT_EQ(first.will_it_snow, 0);
  EXPECT_EQ(first.precip_mm, 0.4);
  EXPECT_EQ(first.gust_mph, 17.3);
  EXPECT_EQ(first.uv, 1.0);
  EXPECT_EQ(d.hour[1].will_it_snow, 1);
  EXPECT_EQ(d.hour[1].chance_of_snow, 64);
  EXPECT_EQ(d.hour[2].time, "");
}

TEST(FillList, SearchResultsWithoutSomeMembers) {
  const JsonValue value =
      Parse(R"([{"name":"Paris","country":"France","lat":48.87},{"lon":2.33}])");
  std::vector<location> places;
  FillList(places, &value, NameMatch::ignore_case);
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].name, "Paris");
  EXPECT_EQ(places[0].country, "France");
  EXPECT_EQ(places[0].region, "");
  EXPECT_EQ(places[0].lat, 48.87);
  EXPECT_EQ(places[0].lon, 0.0);
  EXPECT_EQ(places[0].localtime_epoch, 0);
  EXPECT_EQ(places[1].name, "");
  EXPECT_EQ(places[1].lon, 2.33);
}

// ---- Write rule ----

TEST(RecordListJsonText, LayoutOfAFlatList) {
  EXPECT_EQ(RecordListJsonText(std::vector<condition>{}), "[]");
  EXPECT_EQ(RecordListJsonText(std::vector<condition>{{"Sunny", "//a.png", 1000}, {}}),
            "[\r\n"
            "  {\r\n"
            "    \"text\": \"Sunny\",\r\n"
            "    \"icon\": \"//a.png\",\r\n"
            "    \"code\": 1000\r\n"
            "  },\r\n"
            "  {\r\n"
            "    \"text\": \"\",\r\n"
            "    \"icon\": \"\",\r\n"
            "    \"code\": 0\r\n"
            "  }\r\n"
            "]");
}

TEST(RecordListJsonText, NestedObjectsAndAlignedColons) {
  forecastday one;
  one.date = "2024-05-01";
  one.date_epoch = 1714521600;
  one.day.maxtemp_c = 22.5;
  one.day.daily_chance_of_snow = 3;
  one.day.condition.code = 1063;
  one.astro.moon_illumination = "45";
  EXPECT_EQ(RecordListJsonText(std::vector<forecastday>{one}),
            "[\r\n"
            "  {\r\n"
            "    \"date\"      : \"2024-05-01\",\r\n"
            "    \"date_epoch\": 1714521600,\r\n"
            "    \"day\"       : {\r\n"
            "        \"maxtemp_c\"           : 22.5,\r\n"
            "        \"maxtemp_f\"           : 0,\r\n"
            "        \"mintemp_c\"           : 0,\r\n"
            "        \"mintemp_f\"           : 0,\r\n"
            "        \"avgtemp_c\"           : 0,\r\n"
            "        \"avgtemp_f\"           : 0,\r\n"
            "        \"maxwind_mph\"         : 0,\r\n"
            "        \"maxwind_kph\"         : 0,\r\n"
            "        \"totalprecip_mm\"      : 0,\r\n"
            "        \"totalprecip_in\"      : 0,\r\n"
            "        \"totalsnow_in\"        : 0,\r\n"
            "        \"totalsnow_cm\"        : 0,\r\n"
            "        \"avgvis_km\"           : 0,\r\n"
            "        \"avgvis_miles\"        : 0,\r\n"
            "        \"avghumidity\"         : 0,\r\n"
            "        \"condition\"           : {\r\n"
            "            \"text\": \"\",\r\n"
            "            \"icon\": \"\",\r\n"
            "            \"code\": 1063\r\n"
            "          },\r\n"
            "        \"uv\"                  : 0,\r\n"
            "        \"daily_will_it_rain\"  : 0,\r\n"
            "        \"daily_will_it_snow\"  : 0,\r\n"
            "        \"daily_chance_of_rain\": 0,\r\n"
            "        \"daily_chance_of_snow\": 3\r\n"
            "      },\r\n"
            "    \"astro\"     : {\r\n"
            "        \"sunrise\"          : \"\",\r\n"
            "        \"sunset\"           : \"\",\r\n"
            "        \"moonrise\"         : \"\",\r\n"
            "        \"moonset\"          : \"\",\r\n"
            "        \"moon_phase\"       : \"\",\r\n"
            "        \"moon_illumination\": \"45\"\r\n"
            "      },\r\n"
            "    \"hour\"      : []\r\n"
            "  }\r\n"
            "]");
}

// The text written for one location's `lat`.
std::string LatitudeText(double lat) {
  location place;
  place.lat = lat;
  const std::string text = RecordListJsonText(std::vector<location>{place});
  const std::string before = "\"lat\"            : ";
  const size_t start = text.find(before);
  const size_t end = text.find(",\r\n", start);
  if (start == std::string::npos || end == std::string::npos)
    return "<layout changed>";
  return text.substr(start + before.size(), end - start - before.size());
}

TEST(RecordListJsonText, DoublesAsUpTo32SignificantDigits) {
  const struct {
    double value;
    const char* expected;
  } cases[] = {
      {21.3, "21.3000000000000007105427357601"},
      {10.0, "10"},
      {0.0, "0"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {-8.55, "-8.5500000000000007105427357601002"},
      {123456.0, "123456"},
      {-1234.5678, "-1234.5678000000000338332029059529"},
      {2.5e-5, "2.5000000000000001198043400596482e-05"},
      {1e31, "9999999999999999635896294965248"},
      {1e32, "1.0000000000000000536616220439347e+32"},
      {std::numeric_limits<double>::max(), "1.797693134862315708145274237317e+308"},
      {std::numeric_limits<double>::denorm_min(), "4.9406564584124654417656879286822e-324"},
      {std::numeric_limits<double>::quiet_NaN(), "null"},
      {-std::numeric_limits<double>::quiet_NaN(), "null"},
      {std::numeric_limits<double>::infinity(), "null"},
      {-std::numeric_limits<double>::infinity(), "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(LatitudeText(c.value), c.expected);
  }
}

// The text written for one aqi record's `co`.
std::string CarbonMonoxideText(float co) {
  aqi readings;
  readings.co = co;
  const std::string text = RecordListJsonText(std::vector<aqi>{readings});
  const std::string before = "\"co\"            : ";
  const size_t start = text.find(before);
  const size_t end = text.find(",\r\n", start);
  if (start == std::string::npos || end == std::string::npos)
    return "<layout changed>";
  return text.substr(start + before.size(), end - start - before.size());
}

TEST(RecordListJsonText, FloatsInTheirExactDoubleWidening) {
  const struct {
    float value;
    const char* expected;
  } cases[] = {
      {0.1f, "0.100000001490116119384765625"},
      {12.3f, "12.30000019073486328125"},
      {68.5f, "68.5"},
      {-2.5f, "-2.5"},
      {0.0f, "0"},
      {-0.0f, "0"},
      {kMaxFloat, "3.4028234663852885981170418348452e+38"},
      {std::numeric_limits<float>::denorm_min(), "1.4012984643248170709237295832899e-45"},
      {kInfinity, "null"},
      {std::numeric_limits<float>::quiet_NaN(), "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(CarbonMonoxideText(c.value), c.expected);
  }
}

TEST(RecordListJsonText, IntegersAsDecimalDigits) {
  const struct {
    int64_t value;
    const char* expected;
  } cases[] = {{0, "0"},
               {7, "7"},
               {-5, "-5"},
               {kMaxInt, "9223372036854775807"},
               {kMinInt, "-9223372036854775808"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    condition sky;
    sky.code = c.value;
    const std::string text = RecordListJsonText(std::vector<condition>{sky});
    EXPECT_NE(text.find(std::string("\"code\": ") + c.expected + "\r\n  }"), std::string::npos)
        << text;
  }
}

TEST(RecordListJsonText, TextEscapes) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", R"("")"},
      {"plain text", R"("plain text")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"C:\\dir", R"("C:\\dir")"},
      {"a/b", R"("a/b")"},
      {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {std::string("\0", 1), R"("\u0000")"},
      {"\x01\x1a\x1b\x1f", R"("\u0001\u001a\u001b\u001f")"},
      {" ~\x7f", "\" ~\x7f\""},
      {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    condition sky;
    sky.text = c.text;
    const std::string text = RecordListJsonText(std::vector<condition>{sky});
    const std::string expected = "[\r\n  {\r\n    \"text\": " + c.expected +
                                 ",\r\n    \"icon\": \"\",\r\n    \"code\": 0\r\n  }\r\n]";
    EXPECT_EQ(text, expected);
    // What is written reads back as the same text.
    const auto parsed = ParseJson(text);
    ASSERT_TRUE(parsed.has_value());
    std::vector<condition> back;
    FillList(back, &*parsed, NameMatch::exact);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].text, c.text);
  }
}

}  // namespace
}  // namespace skyvigil
