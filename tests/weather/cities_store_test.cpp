// Tests of the city list file: exact bytes, loading, round trips and the
// handling of unreadable or unwritable files.
#include "weather/cities_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace skyvigil {

// Field-by-field equality of the records, for comparing whole cities. Kept in
// this namespace for argument-dependent lookup, with internal linkage.
static auto Fields(const condition& r) {
  return std::tie(r.text, r.icon, r.code);
}
static auto Fields(const location& r) {
  return std::tie(r.lat, r.lon, r.name, r.region, r.country, r.tz_id, r.localtime_epoch,
                  r.localtime);
}
static auto Fields(const aqi& r) {
  return std::tie(r.co, r.o3, r.no2, r.so2, r.pm2_5, r.pm10, r.us_epa_index, r.gb_defra_index);
}
static bool operator==(const condition& a, const condition& b) {
  return Fields(a) == Fields(b);
}
static bool operator==(const location& a, const location& b) {
  return Fields(a) == Fields(b);
}
static bool operator==(const aqi& a, const aqi& b) {
  return Fields(a) == Fields(b);
}
static auto Fields(const currentWeather& r) {
  return std::tie(r.last_updated, r.last_updated_epoch, r.temp_c, r.temp_f, r.feelslike_c,
                  r.feelslike_f, r.condition, r.wind_mph, r.wind_kph, r.wind_degree, r.wind_dir,
                  r.pressure_mb, r.pressure_in, r.precip_mm, r.precip_in, r.humidity, r.cloud,
                  r.is_day, r.uv, r.gust_mph, r.gust_kph, r.location, r.aqi);
}
static bool operator==(const currentWeather& a, const currentWeather& b) {
  return Fields(a) == Fields(b);
}
static auto Fields(const city& r) {
  return std::tie(r.name, r.temp, r.monitor, r.alerts, r.condition, r.weather);
}
static bool operator==(const city& a, const city& b) {
  return Fields(a) == Fields(b);
}

static void PrintTo(const city& c, std::ostream* os) {
  *os << "city \"" << c.name << "\"";
}

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string DataFile(const char* name) {
  return ReadBytes(fs::path(SKYVIGIL_TEST_DATA) / "cities" / name);
}

// A city as the first-run prompt makes it.
city NewCity(const std::string& name) {
  city made;
  made.name = name;
  made.alerts = 1;
  return made;
}

// The city of full_city.json.
city FullCity() {
  city full;
  full.name = "Z\xC3\xBCrich, Zurich, Switzerland";
  full.temp = 21.3;
  full.monitor = 1;
  full.alerts = 0;
  full.condition =
      "Quote \" back \\ slash / bs \b ff \f nl \n cr \r tab \t one \x01 esc \x1b us \x1f del "
      "\x7f end";
  currentWeather& w = full.weather;
  w.last_updated = "2024-05-01 14:30";
  w.last_updated_epoch = 1714566600;
  w.temp_c = 21.3;
  w.temp_f = 70.3;
  w.feelslike_c = -0.0;
  w.feelslike_f = std::numeric_limits<double>::quiet_NaN();
  w.condition = {"Partly cloudy", "//cdn.weatherapi.com/weather/64x64/day/116.png", 1003};
  w.wind_mph = 10.0;
  w.wind_kph = 16.1;
  w.wind_degree = -5;
  w.wind_dir = "WSW";
  w.pressure_mb = 1015.0;
  w.pressure_in = 29.97;
  w.precip_mm = 0.1;
  w.precip_in = std::numeric_limits<double>::infinity();
  w.humidity = 81;
  w.cloud = 75;
  w.is_day = 1;
  w.uv = 4.0;
  w.gust_mph = 1e-5;
  w.gust_kph = 1.2345678901234569e32;
  w.location = {47.37,
                -8.55,
                "Z\xC3\xBCrich",
                "",
                "Switzerland",
                "Europe/Zurich",
                std::numeric_limits<int64_t>::min(),
                "2024-05-01 16:30"};
  w.aqi = {0.1f,
           68.5f,
           0.0f,
           std::numeric_limits<float>::max(),
           std::numeric_limits<float>::denorm_min(),
           -2.5f,
           2,
           std::numeric_limits<int64_t>::max()};
  return full;
}

// FullCity() as it reads back: what was written as null reads as 0.
city FullCityAsLoaded() {
  city loaded = FullCity();
  loaded.weather.feelslike_c = 0;
  loaded.weather.feelslike_f = 0;
  loaded.weather.precip_in = 0;
  return loaded;
}

class CitiesStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("skyvigil_cities_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = folder_ / "cities.json";
    bad_ = folder_ / "cities.json.bad";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(file_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  // Runs LoadCities on a list that holds a stale city, with a prompt that records
  // its calls and appends `typed` as the first-run prompt would.
  std::vector<city> Load(int* prompts, const std::string& typed = "Typed City") {
    std::vector<city> cities{NewCity("stale")};
    LoadCities(cities, file_, [&](std::vector<city>& list) {
      ++*prompts;
      EXPECT_TRUE(list.empty()) << "the list is emptied before the prompt";
      list.push_back(NewCity(typed));
    });
    return cities;
  }

  fs::path folder_;
  fs::path file_;
  fs::path bad_;
};

// ---- Exact bytes ----

TEST_F(CitiesStoreTest, FileBytes) {
  city oslo = NewCity("Oslo, Oslo, Norway");
  oslo.temp = 50.5;
  oslo.monitor = 1;
  oslo.condition = "Sunny";
  const struct {
    const char* file;
    std::vector<city> cities;
  } cases[] = {
      {"empty.json", {}},
      {"new_city.json", {NewCity("Paris")}},
      {"two_cities.json", {oslo, NewCity("Paris")}},
      {"full_city.json", {FullCity()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string expected = DataFile(c.file);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(CitiesJsonText(c.cities), expected);
    ASSERT_TRUE(SaveCities(c.cities, file_));
    EXPECT_EQ(ReadBytes(file_), expected);

    // An empty list asks for a first city (tested below).
    int prompts = 0;
    const std::vector<city> loaded = Load(&prompts);
    EXPECT_EQ(prompts, c.cities.empty() ? 1 : 0);
    std::vector<city> expected_cities =
        c.cities.empty() ? std::vector<city>{NewCity("Typed City")} : c.cities;
    for (city& each : expected_cities) {
      if (each.name == FullCity().name)
        each = FullCityAsLoaded();
    }
    EXPECT_EQ(loaded, expected_cities);
  }
}

TEST_F(CitiesStoreTest, NoByteOrderMarkAndOnlyCrLfLineBreaks) {
  const std::string text = CitiesJsonText({FullCity(), NewCity("Paris")});
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(text[i - 1], '\r') << "at byte " << i;
    }
  }
  EXPECT_EQ(text.back(), ']');
}

// ---- Loading ----

TEST_F(CitiesStoreTest, SaveThenLoadKeepsEveryField) {
  std::mt19937_64 random(20240501);
  std::uniform_real_distribution<double> real(-1000.0, 1000.0);
  std::uniform_int_distribution<int64_t> whole(std::numeric_limits<int64_t>::min(),
                                               std::numeric_limits<int64_t>::max());
  int counter = 0;
  auto text = [&] { return "text " + std::to_string(++counter) + " \"\\/\x01\t\xC3\xA9"; };
  auto single = [&] { return static_cast<float>(real(random)); };

  std::vector<city> cities;
  for (int i = 0; i < 5; ++i) {
    city c;
    c.name = text();
    c.temp = real(random);
    c.monitor = whole(random);
    c.alerts = whole(random);
    c.condition = text();
    currentWeather& w = c.weather;
    w.last_updated = text();
    w.last_updated_epoch = whole(random);
    w.temp_c = real(random);
    w.temp_f = real(random);
    w.feelslike_c = real(random);
    w.feelslike_f = real(random);
    w.condition = {text(), text(), whole(random)};
    w.wind_mph = real(random);
    w.wind_kph = real(random);
    w.wind_degree = whole(random);
    w.wind_dir = text();
    w.pressure_mb = real(random);
    w.pressure_in = real(random);
    w.precip_mm = real(random);
    w.precip_in = real(random);
    w.humidity = whole(random);
    w.cloud = whole(random);
    w.is_day = whole(random);
    w.uv = real(random);
    w.gust_mph = real(random);
    w.gust_kph = real(random);
    w.location = {real(random), real(random), text(),        text(),
                  text(),       text(),       whole(random), text()};
    w.aqi = {single(), single(), single(),      single(),
             single(), single(), whole(random), whole(random)};
    cities.push_back(c);
  }
  cities[1].weather.aqi.co = 0.1f;
  cities[2].temp = 1e300;
  cities[3].weather.location.lat = -std::numeric_limits<double>::denorm_min();

  ASSERT_TRUE(SaveCities(cities, file_));
  int prompts = 0;
  EXPECT_EQ(Load(&prompts), cities);
  EXPECT_EQ(prompts, 0);
}

TEST_F(CitiesStoreTest, MemberNamesMatchExactly) {
  WriteBytes(file_, R"([
    {"Name":"Paris","TEMP":50,"Monitor":1,"Alerts":1,"Condition":"Sunny",
     "Weather":{"temp_f":70}},
    {"name":"Oslo","weather":{"Temp_f":70,"temp_c":4,"Condition":{"text":"x"},
                              "condition":{"Text":"y","code":1000},"AQI":{"co":1}}}
  ])");
  int prompts = 0;
  const std::vector<city> cities = Load(&prompts);
  EXPECT_EQ(prompts, 0);
  ASSERT_EQ(cities.size(), 2u);
  EXPECT_EQ(cities[0], city{});
  city oslo;
  oslo.name = "Oslo";
  oslo.weather.temp_c = 4;
  oslo.weather.condition.code = 1000;
  EXPECT_EQ(cities[1], oslo);
}

TEST_F(CitiesStoreTest, ValidJsonThatGivesNoCitiesDoesNotPrompt) {
  const char* contents[] = {"{}", "null", "5", "\"cities\"", "{\"cities\":[{\"name\":\"A\"}]}"};
  for (const char* content : contents) {
    SCOPED_TRACE(content);
    WriteBytes(file_, content);
    int prompts = 0;
    EXPECT_TRUE(Load(&prompts).empty());
    EXPECT_EQ(prompts, 0);
    EXPECT_EQ(ReadBytes(file_), content);
    EXPECT_FALSE(fs::exists(bad_));
  }
}

// What removing the last city leaves: the next start asks as a first one does.
TEST_F(CitiesStoreTest, AnEmptyListPromptsLikeAMissingFile) {
  for (const char* content : {"[]", " \r\n[ ]\r\n"}) {
    SCOPED_TRACE(content);
    WriteBytes(file_, content);
    int prompts = 0;
    EXPECT_EQ(Load(&prompts, "Lyon"), std::vector<city>{NewCity("Lyon")});
    EXPECT_EQ(prompts, 1);
    EXPECT_FALSE(fs::exists(bad_));
  }
}

TEST_F(CitiesStoreTest, ItemsThatAreNotObjectsGiveResetCities) {
  WriteBytes(file_, R"([1, "Paris", {"name":"Oslo","alerts":true,"temp":"50"}, null])");
  int prompts = 0;
  const std::vector<city> cities = Load(&prompts);
  EXPECT_EQ(prompts, 0);
  city oslo;
  oslo.name = "Oslo";
  oslo.alerts = 1;
  EXPECT_EQ(cities, (std::vector<city>{city{}, city{}, oslo, city{}}));
}

TEST_F(CitiesStoreTest, AListThatIsNotUtf8IsReadAsLatin1) {
  WriteBytes(file_, "[{\"name\":\"Z\xFCrich\",\"condition\":\"\xA0\"}]");
  int prompts = 0;
  const std::vector<city> cities = Load(&prompts);
  EXPECT_EQ(prompts, 0);
  ASSERT_EQ(cities.size(), 1u);
  EXPECT_EQ(cities[0].name, "Z\xC3\xBCrich");
  EXPECT_EQ(cities[0].condition, "\xC2\xA0");
  EXPECT_TRUE(fs::exists(file_));
}

// Only the bytes that are not UTF-8 are Latin-1: the good names stay as written.
TEST_F(CitiesStoreTest, OneLatin1ByteAmongUtf8NamesGarblesNothingElse) {
  WriteBytes(file_,
             "[{\"name\":\"Z\xC3\xBCrich\"},{\"name\":\"Malm\xF6\"},{\"name\":\"\xE6\x9D\xB1\"}]");
  int prompts = 0;
  const std::vector<city> cities = Load(&prompts);
  ASSERT_EQ(cities.size(), 3u);
  EXPECT_EQ(cities[0].name, "Z\xC3\xBCrich");
  EXPECT_EQ(cities[1].name, "Malm\xC3\xB6");
  EXPECT_EQ(cities[2].name, "\xE6\x9D\xB1");
}

// Each unreadable list is kept: a later one never overwrites an earlier one.
TEST_F(CitiesStoreTest, EachUnreadableListKeptAsideHasAName) {
  for (const char* content : {"first {", "second {", "third {"}) {
    WriteBytes(file_, content);
    int prompts = 0;
    Load(&prompts);
  }
  EXPECT_EQ(ReadBytes(bad_), "first {");
  EXPECT_EQ(ReadBytes(folder_ / "cities.json.bad.1"), "second {");
  EXPECT_EQ(ReadBytes(folder_ / "cities.json.bad.2"), "third {");
}

TEST_F(CitiesStoreTest, AFileBeyondTheCapIsNotReadButKeptAside) {
  std::string huge = "[" + std::string(kMaxCitiesFileBytes, ' ') + "]";
  WriteBytes(file_, huge);
  int prompts = 0;
  EXPECT_EQ(Load(&prompts, "Lyon"), std::vector<city>{NewCity("Lyon")});
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(fs::file_size(bad_), huge.size());
}

TEST_F(CitiesStoreTest, UnreadableFileIsKeptAsideAndTheUserAskedForACity) {
  const std::string full = DataFile("full_city.json");
  const struct {
    const char* what;
    std::string content;
  } cases[] = {
      {"not JSON", "this is not json"},
      {"cut short", full.substr(0, full.size() / 2)},
      {"trailing garbage", full + "\r\n]"},
      {"only a byte-order mark", "\xEF\xBB\xBF"},
      {"nested too deep", std::string(600, '[') + std::string(600, ']')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(folder_ / "cities.json.bad.1");
    WriteBytes(bad_, "an older bad file");
    WriteBytes(file_, c.content);
    int prompts = 0;
    const std::vector<city> cities = Load(&prompts, "Lyon");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(cities, std::vector<city>{NewCity("Lyon")});
    EXPECT_FALSE(fs::exists(file_));
    EXPECT_EQ(ReadBytes(bad_), "an older bad file");
    EXPECT_EQ(ReadBytes(folder_ / "cities.json.bad.1"), c.content);
  }
}

TEST_F(CitiesStoreTest, MissingFilePromptsAndKeepsNothingAside) {
  WriteBytes(bad_, "an older bad file");
  int prompts = 0;
  EXPECT_EQ(Load(&prompts, "Lyon"), std::vector<city>{NewCity("Lyon")});
  EXPECT_EQ(prompts, 1);
  EXPECT_FALSE(fs::exists(file_));
  EXPECT_EQ(ReadBytes(bad_), "an older bad file");
}

TEST_F(CitiesStoreTest, EmptyFilePromptsAndKeepsTheOlderBadFile) {
  WriteBytes(bad_, "an older bad file");
  WriteBytes(file_, "");
  int prompts = 0;
  EXPECT_EQ(Load(&prompts, "Lyon"), std::vector<city>{NewCity("Lyon")});
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(ReadBytes(bad_), "an older bad file");
}

TEST_F(CitiesStoreTest, PromptThatAddsNothingLeavesTheListEmpty) {
  WriteBytes(file_, "{");
  std::vector<city> cities{NewCity("stale")};
  int prompts = 0;
  LoadCities(cities, file_, [&](std::vector<city>&) { ++prompts; });
  EXPECT_EQ(prompts, 1);
  EXPECT_TRUE(cities.empty());
  EXPECT_EQ(ReadBytes(bad_), "{");
}

TEST_F(CitiesStoreTest, FolderInPlaceOfTheFileIsMovedAsideSoSavingWorksAgain) {
  fs::create_directories(file_ / "inner");
  int prompts = 0;
  EXPECT_EQ(Load(&prompts, "Lyon"), std::vector<city>{NewCity("Lyon")});
  EXPECT_EQ(prompts, 1);
  EXPECT_TRUE(fs::is_directory(bad_ / "inner"));
  EXPECT_TRUE(SaveCities({NewCity("Lyon")}, file_));
}

// ---- Saving ----

TEST_F(CitiesStoreTest, SaveReplacesTheWholeFile) {
  ASSERT_TRUE(SaveCities({FullCity(), NewCity("Paris")}, file_));
  ASSERT_TRUE(SaveCities({NewCity("Paris")}, file_));
  EXPECT_EQ(ReadBytes(file_), DataFile("new_city.json"));
  ASSERT_TRUE(SaveCities({}, file_));
  EXPECT_EQ(ReadBytes(file_), "[]");
}

TEST_F(CitiesStoreTest, FailedSaveLeavesTheOldFileAsItWas) {
  ASSERT_TRUE(SaveCities({NewCity("Paris")}, file_));
  const std::string before = ReadBytes(file_);

  // Into a folder that does not exist.
  EXPECT_FALSE(SaveCities({NewCity("Oslo")}, folder_ / "missing" / "cities.json"));
  EXPECT_FALSE(fs::exists(folder_ / "missing"));

  // Over a file the user made read-only.
  fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(SaveCities({NewCity("Oslo")}, file_));
  EXPECT_EQ(ReadBytes(file_), before);

  // No temporary file is left behind.
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(folder_))
    left.push_back(entry.path());
  EXPECT_EQ(left, std::vector<fs::path>{file_});
}

}  // namespace
}  // namespace skyvigil
