// Tests of the three weather service requests: their exact bodies, the answer
// rewriting and filling, and every failure, against a fake client and against
// the local weather service.
#include "weather/service_requests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fakes/fake_http.h"
#include "fakes/local_service.h"
#include "weather/http_curl.h"
#include "weather/record_json.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using testing::FakeHttpClient;
using ::testing::IsEmpty;
using testing::LocalService;
using testing::LoggedRequest;
using ::testing::UnorderedElementsAre;

const ServiceConfig kConfig{"https://weather.example/v1", "0123456789abcdef0123456789abcde", ""};

// The whole record as JSON text, to compare records field by field at once.
std::string Text(const currentWeather& weather) {
  return RecordListJsonText(std::vector<currentWeather>{weather});
}

// A record holding something in every part, as an earlier refresh leaves it.
currentWeather EarlierWeather() {
  currentWeather weather;
  weather.last_updated = "2024-07-08 17:45";
  weather.last_updated_epoch = 1720460700;
  weather.temp_c = 5.5;
  weather.temp_f = 41.9;
  weather.condition = {"Old sky", "//cdn/old.png", 1009};
  weather.humidity = 44;
  weather.wind_dir = "NW";
  weather.location.name = "Old Town";
  weather.location.region = "Old Region";
  weather.location.country = "Old Country";
  weather.aqi.us_epa_index = 6;
  weather.aqi.pm10 = 12.5f;
  return weather;
}

// ---- Requests ----

TEST(ServiceRequestTest, RequestsCarryTheirExactAddressAndBody) {
  const struct {
    HttpRequest request;
    std::string url;
    std::string body;
  } cases[] = {
      {CurrentWeatherRequest(kConfig, "London"), "https://weather.example/v1/current.json",
       "key=0123456789abcdef0123456789abcde&q=London&aqi=yes"},
      {ForecastRequest(kConfig, "London", 14), "https://weather.example/v1/forecast.json",
       "key=0123456789abcdef0123456789abcde&q=London&days=14&alerts=yes"},
      {ForecastRequest(kConfig, "London", 1), "https://weather.example/v1/forecast.json",
       "key=0123456789abcdef0123456789abcde&q=London&days=1&alerts=yes"},
      {SearchRequest(kConfig, "Lon"), "https://weather.example/v1/search.json",
       "key=0123456789abcdef0123456789abcde&q=Lon"},
      {CurrentWeatherRequest(kConfig, "New York, NY, USA"),
       "https://weather.example/v1/current.json",
       "key=0123456789abcdef0123456789abcde&q=New%20York%2C%20NY%2C%20USA&aqi=yes"},
      {CurrentWeatherRequest(kConfig, ""), "https://weather.example/v1/current.json",
       "key=0123456789abcdef0123456789abcde&q=&aqi=yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(c.request.method, HttpRequest::Method::post);
    EXPECT_EQ(c.request.url, c.url);
    EXPECT_EQ(c.request.body, c.body);
  }
}

TEST(ServiceRequestTest, FormValuesEncodeEveryByteButTheUnreservedOnes) {
  const struct {
    std::string text;
    std::string encoded;
  } cases[] = {
      {"London", "London"},
      {"AZaz09-._~", "AZaz09-._~"},
      {"New York, NY", "New%20York%2C%20NY"},
      {"A&q=B", "A%26q%3DB"},
      {"1+1=2%", "1%2B1%3D2%25"},
      {"a/b?c#d;e:f@g!h*i'j(k)l$m", "a%2Fb%3Fc%23d%3Be%3Af%40g%21h%2Ai%27j%28k%29l%24m"},
      {"S\xC3\xA3o Paulo", "S%C3%A3o%20Paulo"},
      {"Z\xC3\xBCrich", "Z%C3%BCrich"},
      {"\xE6\x9D\xB1\xE4\xBA\xAC", "%E6%9D%B1%E4%BA%AC"},
      {std::string("a\0b", 3), "a%00b"},
      {"\t\n", "%09%0A"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormValue(c.text), c.encoded) << c.text;
  }
}

TEST(ServiceRequestTest, TheKeyIsEncodedToo) {
  const ServiceConfig config{"https://h/v1", "k&q=x y", ""};
  EXPECT_EQ(SearchRequest(config, "Paris").body, "key=k%26q%3Dx%20y&q=Paris");
}

TEST(ServiceRequestTest, EachFetchSendsOneRequest) {
  FakeHttpClient client;
  currentWeather weather;
  std::vector<forecastday> days;
  std::vector<alert> alerts;
  std::vector<location> results;
  FetchCurrentWeather(client, kConfig, "Paris", weather);
  FetchForecast(client, kConfig, "Paris", 14, days, alerts);
  SearchLocations(client, kConfig, "Par", results);

  const std::vector<HttpRequest> sent = client.requests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].url, "https://weather.example/v1/current.json");
  EXPECT_EQ(sent[0].body, "key=0123456789abcdef0123456789abcde&q=Paris&aqi=yes");
  EXPECT_EQ(sent[1].url, "https://weather.example/v1/forecast.json");
  EXPECT_EQ(sent[1].body, "key=0123456789abcdef0123456789abcde&q=Paris&days=14&alerts=yes");
  EXPECT_EQ(sent[2].url, "https://weather.example/v1/search.json");
  EXPECT_EQ(sent[2].body, "key=0123456789abcdef0123456789abcde&q=Par");
  EXPECT_THAT(client.batch_sizes(), ElementsAre(1u, 1u, 1u));
}

// ---- Current conditions ----

constexpr char kCurrentAnswer[] = R"({
  "location": {"name": "London", "region": "City of London, Greater London",
    "country": "United Kingdom", "lat": 51.52, "lon": -0.11, "tz_id": "Europe/London",
    "localtime_epoch": 1720523400, "localtime": "2024-07-09 12:10"},
  "current": {"last_updated_epoch": 1720522800, "last_updated": "2024-07-09 12:00",
    "temp_c": 16.0, "temp_f": 60.8, "is_day": 1,
    "condition": {"text": "Light rain", "icon": "//cdn.weatherapi.com/weather/64x64/day/296.png",
      "code": 1183},
    "wind_mph": 11.9, "wind_kph": 19.1, "wind_degree": 230, "wind_dir": "SW",
    "pressure_mb": 1009.0, "pressure_in": 29.8, "precip_mm": 0.4, "precip_in": 0.02,
    "humidity": 81.6, "cloud": 75, "feelslike_c": 15.2, "feelslike_f": 59.4,
    "vis_km": 10.0, "vis_miles": 6.0, "uv": 4, "gust_mph": 17.0, "gust_kph": 27.4,
    "air_quality": {"co": 220.3, "no2": 30.2, "o3": 52.9, "so2": 3.1, "pm2_5": 6.8,
      "pm10": 9.4, "us-epa-index": 2, "gb-defra-index": 3}}})";

TEST(CurrentWeatherAnswerTest, FillsEveryField) {
  currentWeather weather = EarlierWeather();
  ApplyCurrentWeatherAnswer({true, 200, kCurrentAnswer}, weather);

  EXPECT_EQ(weather.last_updated, "2024-07-09 12:00");
  EXPECT_EQ(weather.last_updated_epoch, 1720522800);
  EXPECT_EQ(weather.temp_c, 16.0);
  EXPECT_EQ(weather.temp_f, 60.8);
  EXPECT_EQ(weather.feelslike_c, 15.2);
  EXPECT_EQ(weather.feelslike_f, 59.4);
  EXPECT_EQ(weather.condition.text, "Light rain");
  EXPECT_EQ(weather.condition.icon, "//cdn.weatherapi.com/weather/64x64/day/296.png");
  EXPECT_EQ(weather.condition.code, 1183);
  EXPECT_EQ(weather.wind_mph, 11.9);
  EXPECT_EQ(weather.wind_kph, 19.1);
  EXPECT_EQ(weather.wind_degree, 230);
  EXPECT_EQ(weather.wind_dir, "SW");
  EXPECT_EQ(weather.pressure_mb, 1009.0);
  EXPECT_EQ(weather.pressure_in, 29.8);
  EXPECT_EQ(weather.precip_mm, 0.4);
  EXPECT_EQ(weather.precip_in, 0.02);
  EXPECT_EQ(weather.humidity, 81);  // 81.6 cut toward zero
  EXPECT_EQ(weather.cloud, 75);
  EXPECT_EQ(weather.is_day, 1);
  EXPECT_EQ(weather.uv, 4.0);
  EXPECT_EQ(weather.gust_mph, 17.0);
  EXPECT_EQ(weather.gust_kph, 27.4);
  EXPECT_EQ(weather.location.name, "London");
  EXPECT_EQ(weather.location.region, "City of London, Greater London");
  EXPECT_EQ(weather.location.country, "United Kingdom");
  EXPECT_EQ(weather.location.lat, 51.52);
  EXPECT_EQ(weather.location.lon, -0.11);
  EXPECT_EQ(weather.location.tz_id, "Europe/London");
  EXPECT_EQ(weather.location.localtime_epoch, 1720523400);
  EXPECT_EQ(weather.location.localtime, "2024-07-09 12:10");
  EXPECT_EQ(weather.aqi.co, 220.3f);
  EXPECT_EQ(weather.aqi.no2, 30.2f);
  EXPECT_EQ(weather.aqi.o3, 52.9f);
  EXPECT_EQ(weather.aqi.so2, 3.1f);
  EXPECT_EQ(weather.aqi.pm2_5, 6.8f);
  EXPECT_EQ(weather.aqi.pm10, 9.4f);
  EXPECT_EQ(weather.aqi.us_epa_index, 2);
  EXPECT_EQ(weather.aqi.gb_defra_index, 3);
}

struct RewriteCase {
  const char* name;
  std::string body;
  std::function<std::string(const currentWeather&)> field;
  std::string expected;
};

std::string EpaIndex(const currentWeather& w) {
  return std::to_string(w.aqi.us_epa_index);
}
std::string DefraIndex(const currentWeather& w) {
  return std::to_string(w.aqi.gb_defra_index);
}
std::string ConditionText(const currentWeather& w) {
  return w.condition.text;
}
std::string PlaceName(const currentWeather& w) {
  return w.location.name;
}

TEST(CurrentWeatherAnswerTest, RewritesMemberNamesIgnoringCase) {
  const std::vector<RewriteCase> cases = {
      {"epa lower case", R"({"current":{"air_quality":{"us-epa-index":2}}})", EpaIndex, "2"},
      {"epa capitals", R"({"current":{"air_quality":{"US-EPA-INDEX":3}}})", EpaIndex, "3"},
      {"epa mixed", R"({"current":{"Air_Quality":{"Us-Epa-Index":4}}})", EpaIndex, "4"},
      {"defra lower case", R"({"current":{"air_quality":{"gb-defra-index":5}}})", DefraIndex, "5"},
      {"defra capitals", R"({"current":{"air_quality":{"GB-DEFRA-INDEX":6}}})", DefraIndex, "6"},
      {"later spelling wins", R"({"current":{"air_quality":{"us-epa-index":1,"US-EPA-INDEX":7}}})",
       EpaIndex, "7"},
      {"member named condition:", R"({"current":{"Condition:":{"text":"Fog"}}})", ConditionText,
       "Fog"},
      {"colon inside a text", R"({"current":{"condition":{"text":"Road Condition: icy"}}})",
       ConditionText, "Road condition icy"},
      {"every occurrence", R"({"current":{"condition":{"text":"CONDITION:condition:x"}}})",
       ConditionText, "conditionconditionx"},
      {"hyphens in a text", R"({"current":{"condition":{"text":"us-epa-gb-defra-"}}})",
       ConditionText, "us_epa_gb_defra_"},
      {"rewrite reaches the location", R"({"location":{"name":"Us-Epa-Ville"},"current":{}})",
       PlaceName, "us_epa_Ville"},
      {"member names ignore case", R"({"CURRENT":{"CONDITION":{"TEXT":"Sunny"}}})", ConditionText,
       "Sunny"},
  };
  for (const RewriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    currentWeather weather;
    ApplyCurrentWeatherAnswer({true, 200, c.body}, weather);
    EXPECT_EQ(c.field(weather), c.expected);
  }
}

TEST(CurrentWeatherAnswerTest, FillingResetsWhatTheAnswerLacks) {
  currentWeather weather = EarlierWeather();
  ApplyCurrentWeatherAnswer({true, 200, R"({"current":{"temp_f":50.5}})"}, weather);

  currentWeather expected;
  expected.temp_f = 50.5;
  EXPECT_EQ(Text(weather), Text(expected));
}

TEST(CurrentWeatherAnswerTest, StatusIsNotExamined) {
  currentWeather weather;
  ApplyCurrentWeatherAnswer({true, 400, kCurrentAnswer}, weather);
  EXPECT_EQ(weather.location.name, "London");
  EXPECT_EQ(weather.temp_f, 60.8);
}

TEST(CurrentWeatherAnswerTest, AnswersWithoutCurrentConditionsLeaveTheRecordAsItWas) {
  const struct {
    const char* name;
    HttpResponse answer;
  } cases[] = {
      {"failed transfer of a whole answer", {false, 200, kCurrentAnswer}},
      {"failed transfer, nothing arrived", {false, 0, ""}},
      {"not JSON", {true, 200, "<html><body>Bad Gateway</body></html>"}},
      {"truncated JSON", {true, 200, std::string(kCurrentAnswer).substr(0, 300)}},
      {"empty body", {true, 200, ""}},
      {"unknown place",
       {true, 400, R"({"error":{"code":1006,"message":"No matching location found."}})"}},
      {"bad key", {true, 401, R"({"error":{"code":2006,"message":"API key is invalid."}})"}},
      {"current is null", {true, 200, R"({"location":{"name":"X"},"current":null})"}},
      {"current is an array", {true, 200, R"({"location":{"name":"X"},"current":[1]})"}},
      {"current is a text", {true, 200, R"({"location":{"name":"X"},"current":"none"})"}},
      {"root is an array", {true, 200, R"([{"current":{"temp_f":1}}])"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    currentWeather weather = EarlierWeather();
    ApplyCurrentWeatherAnswer(c.answer, weather);
    EXPECT_EQ(Text(weather), Text(EarlierWeather()));
  }
}

// ---- Forecast ----

constexpr char kForecastAnswer[] = R"({
  "location": {"name": "New York"},
  "current": {"temp_f": 81.0},
  "forecast": {"forecastday": [
    {"date": "2024-07-09", "date_epoch": 1720483200,
     "day": {"maxtemp_c": 29.6, "maxtemp_f": 85.3, "mintemp_c": 21.3, "avghumidity": 66,
       "totalsnow_cm": 0.0, "daily_chance_of_rain": 71, "daily_will_it_rain": 1,
       "condition": {"text": "Patchy rain possible", "code": 1063}, "uv": 7.0},
     "astro": {"sunrise": "05:27 AM", "sunset": "08:31 PM", "moon_phase": "Waning Gibbous",
       "moon_illumination": 82},
     "hour": []},
    {"date": "2024-07-10", "date_epoch": 1720569600,
     "day": {"maxtemp_c": 31.2, "condition": {"text": "Thundery outbreaks possible: rain"}},
     "astro": {"moon_illumination": "74"}}]},
  "alerts": {"Alert": [
    {"HEADLINE": "Heat Advisory", "msgtype": "Alert", "severity": "Moderate",
     "desc": "Condition: hot", "instruction": "Drink plenty of fluids."},
    {"headline": "Air Quality Alert", "event": "Air Quality Alert"}]}})";

TEST(ForecastAnswerTest, FillsDaysAndAlertsInOrder) {
  std::vector<forecastday> days(3);
  days[0].date = "stale";
  std::vector<alert> alerts(5);
  ApplyForecastAnswer({true, 200, kForecastAnswer}, days, alerts);

  ASSERT_EQ(days.size(), 2u);
  EXPECT_EQ(days[0].date, "2024-07-09");
  EXPECT_EQ(days[0].date_epoch, 1720483200);
  EXPECT_EQ(days[0].day.maxtemp_c, 29.6);
  EXPECT_EQ(days[0].day.maxtemp_f, 85.3);
  EXPECT_EQ(days[0].day.mintemp_c, 21.3);
  EXPECT_EQ(days[0].day.avghumidity, 66);
  EXPECT_EQ(days[0].day.daily_chance_of_rain, 71);
  EXPECT_EQ(days[0].day.daily_will_it_rain, 1);
  EXPECT_EQ(days[0].day.condition.text, "Patchy rain possible");
  EXPECT_EQ(days[0].day.condition.code, 1063);
  EXPECT_EQ(days[0].astro.sunrise, "05:27 AM");
  EXPECT_EQ(days[0].astro.sunset, "08:31 PM");
  EXPECT_EQ(days[0].astro.moon_phase, "Waning Gibbous");
  EXPECT_EQ(days[0].astro.moon_illumination, "");  // sent as a number
  EXPECT_EQ(days[1].date, "2024-07-10");
  EXPECT_EQ(days[1].day.maxtemp_c, 31.2);
  // The forecast answer is not rewritten.
  EXPECT_EQ(days[1].day.condition.text, "Thundery outbreaks possible: rain");
  EXPECT_EQ(days[1].astro.moon_illumination, "74");

  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0].headline, "Heat Advisory");
  EXPECT_EQ(alerts[0].msgType, "Alert");
  EXPECT_EQ(alerts[0].severity, "Moderate");
  EXPECT_EQ(alerts[0].desc, "Condition: hot");
  EXPECT_EQ(alerts[0].instruction, "Drink plenty of fluids.");
  EXPECT_EQ(alerts[1].headline, "Air Quality Alert");
  EXPECT_EQ(alerts[1].event, "Air Quality Alert");
  EXPECT_EQ(alerts[1].severity, "");
}

TEST(ForecastAnswerTest, ListRulesForEveryAnswerShape) {
  const struct {
    const char* name;
    HttpResponse answer;
    size_t days;  // 9: the nine earlier entries stayed
    size_t alerts;
  } cases[] = {
      {"failed transfer of a whole answer", {false, 200, kForecastAnswer}, 9, 9},
      {"not JSON", {true, 200, "Service Unavailable"}, 9, 9},
      {"truncated", {true, 200, std::string(kForecastAnswer).substr(0, 200)}, 9, 9},
      {"error answer",
       {true, 400, R"({"error":{"code":1006,"message":"No matching location found."}})"},
       0,
       0},
      {"forecastday not an array",
       {true, 200, R"({"forecast":{"forecastday":{"date":"x"}},"alerts":{"alert":[{}]}})"},
       0,
       1},
      {"no alerts member", {true, 200, R"({"forecast":{"forecastday":[{},{},{}]}})"}, 3, 0},
      {"ALERT not an array",
       {true, 200, R"({"forecast":{"forecastday":[]},"alerts":{"ALERT":"none"}})"},
       0,
       0},
      {"root is an array", {true, 200, "[]"}, 0, 0},
      {"status 500 with a forecast",
       {true, 500, R"({"forecast":{"forecastday":[{}]},"alerts":{"alert":[{},{}]}})"},
       1,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<forecastday> days(9);
    std::vector<alert> alerts(9);
    ApplyForecastAnswer(c.answer, days, alerts);
    EXPECT_EQ(days.size(), c.days);
    EXPECT_EQ(alerts.size(), c.alerts);
  }
}

// ---- Search ----

TEST(SearchAnswerTest, FillsResultsInTheServicesOrder) {
  std::vector<location> results(4);
  ApplySearchAnswer({true, 200,
                     R"([{"id":2801294,"name":"Paris","region":"Ile-de-France","country":"France",
                          "lat":48.87,"lon":2.33,"url":"paris-ile-de-france-france"},
                         {"name":"Paris","region":"Texas"},
                         "not an object"])"},
                    results);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].name, "Paris");
  EXPECT_EQ(results[0].region, "Ile-de-France");
  EXPECT_EQ(results[0].country, "France");
  EXPECT_EQ(results[0].lat, 48.87);
  EXPECT_EQ(results[0].lon, 2.33);
  EXPECT_EQ(results[0].tz_id, "");
  EXPECT_EQ(results[0].localtime_epoch, 0);
  EXPECT_EQ(results[1].region, "Texas");
  EXPECT_EQ(results[1].country, "");
  EXPECT_EQ(results[1].lat, 0);
  EXPECT_EQ(results[2].name, "");
}

TEST(SearchAnswerTest, AnythingButAnArrayEmptiesTheResults) {
  const struct {
    const char* name;
    HttpResponse answer;
  } cases[] = {
      {"failed transfer of a whole answer", {false, 200, R"([{"name":"Paris"}])"}},
      {"nothing arrived", {false, 0, ""}},
      {"not JSON", {true, 200, "<html></html>"}},
      {"no matches", {true, 200, "[]"}},
      {"error answer", {true, 401, R"({"error":{"code":2006,"message":"API key is invalid."}})"}},
      {"a single object", {true, 200, R"({"name":"Paris"})"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<location> results(2);
    results[0].name = "Earlier";
    ApplySearchAnswer(c.answer, results);
    EXPECT_THAT(results, IsEmpty());
  }
}

TEST(SearchAnswerTest, SearchAnswerIsNotRewritten) {
  std::vector<location> results;
  ApplySearchAnswer({true, 200, R"([{"name":"US-EPA-Town Condition: x"}])"}, results);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].name, "US-EPA-Town Condition: x");
}

// ---- Against the local weather service ----

constexpr char kServiceKey[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f";
constexpr long kFrozenClock = 1720526400;  // 2024-07-09 12:00 UTC

class LocalServiceRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.running());
    service_.Admin("clock", R"({"epoch":)" + std::to_string(kFrozenClock) + "}");
    config_ = {service_.BaseAddress(), kServiceKey, ""};
  }

  static CurlHttpClient ShortClient() {
    CurlHttpOptions options;
    options.connect_timeout_ms = 1000;
    options.transfer_timeout_ms = 1000;
    return CurlHttpClient(options);
  }

  LocalService service_{testing::kServiceScript};
  CurlHttpClient client_;
  ServiceConfig config_;
};

TEST_F(LocalServiceRequestTest, CurrentWeatherByPostcode) {
  currentWeather weather;
  FetchCurrentWeather(client_, config_, "10001", weather);

  EXPECT_EQ(weather.location.name, "New York");
  EXPECT_EQ(weather.location.region, "New York");
  EXPECT_EQ(weather.location.country, "United States of America");
  EXPECT_EQ(weather.location.lat, 40.71);
  EXPECT_EQ(weather.location.lon, -74.01);
  EXPECT_EQ(weather.location.tz_id, "America/New_York");
  EXPECT_EQ(weather.location.localtime_epoch, kFrozenClock);
  EXPECT_EQ(weather.location.localtime, "2024-07-09 8:00");
  EXPECT_EQ(weather.last_updated_epoch, kFrozenClock);
  EXPECT_EQ(weather.last_updated, "2024-07-09 08:00");
  EXPECT_EQ(weather.temp_c, 27.2);
  EXPECT_EQ(weather.temp_f, 81.0);
  EXPECT_EQ(weather.condition.text, "Partly cloudy");
  EXPECT_EQ(weather.condition.code, 1003);
  EXPECT_EQ(weather.condition.icon, "//cdn.weatherapi.com/weather/64x64/day/116.png");
  EXPECT_EQ(weather.wind_dir, "SSW");
  EXPECT_EQ(weather.humidity, 62);
  EXPECT_EQ(weather.uv, 7.0);
  EXPECT_EQ(weather.aqi.pm2_5, 12.4f);
  EXPECT_EQ(weather.aqi.us_epa_index, 1);
  EXPECT_EQ(weather.aqi.gb_defra_index, 1);

  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].path, "/v1/current.json");
  EXPECT_EQ(log[0].body, std::string("key=") + kServiceKey + "&q=10001&aqi=yes");
}

TEST_F(LocalServiceRequestTest, QueriesReachTheServiceExactlyAsTyped) {
  const struct {
    std::string query;
    std::string encoded;
    std::string place;  // the place the service answers for; empty: none
  } cases[] = {
      {"London", "London", "London"},
      {"New York, New York, United States of America",
       "New%20York%2C%20New%20York%2C%20United%20States%20of%20America", "New York"},
      {"S\xC3\xA3o Paulo, S\xC3\xA3o Paulo, Brazil",
       "S%C3%A3o%20Paulo%2C%20S%C3%A3o%20Paulo%2C%20Brazil", "S\xC3\xA3o Paulo"},
      {"Z\xC3\xBCrich", "Z%C3%BCrich", "Z\xC3\xBCrich"},
      {"SW1A 1AA", "SW1A%201AA", "London"},
      {"Nowhere&q=London", "Nowhere%26q%3DLondon", ""},
      {"Paris&aqi=no", "Paris%26aqi%3Dno", ""},
      {"A+B=C%20D", "A%2BB%3DC%2520D", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    service_.ClearLog();
    currentWeather weather = EarlierWeather();
    FetchCurrentWeather(client_, config_, c.query, weather);

    const std::vector<LoggedRequest> log = service_.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].body, std::string("key=") + kServiceKey + "&q=" + c.encoded + "&aqi=yes");
    std::vector<std::string> names;
    for (const auto& [name, values] : log[0].form)
      names.push_back(name);
    EXPECT_THAT(names, UnorderedElementsAre("key", "q", "aqi"));
    EXPECT_THAT(log[0].form.at("q"), ElementsAre(c.query));
    EXPECT_THAT(log[0].form.at("aqi"), ElementsAre("yes"));
    if (c.place.empty()) {
      EXPECT_EQ(Text(weather), Text(EarlierWeather()));
    } else {
      EXPECT_EQ(weather.location.name, c.place);
    }
  }
}

TEST_F(LocalServiceRequestTest, ScriptedWeatherIsRewrittenBeforeParsing) {
  service_.Admin("weather", R"({"place":"Berlin","current":{
      "temp_f":12.5,"condition":{"text":"Patchy Condition: ice"},
      "air_quality":{"US-EPA-INDEX":5,"Gb-Defra-Index":9}}})");
  currentWeather weather;
  FetchCurrentWeather(client_, config_, "Berlin", weather);
  EXPECT_EQ(weather.temp_f, 12.5);
  EXPECT_EQ(weather.temp_c, 18.0);
  EXPECT_EQ(weather.condition.text, "Patchy condition ice");
  // The capitalised members come after the service's own ones, so they count.
  EXPECT_EQ(weather.aqi.us_epa_index, 5);
  EXPECT_EQ(weather.aqi.gb_defra_index, 9);
}

TEST_F(LocalServiceRequestTest, ErrorAnswersKeepTheRecordAndEmptyTheSearch) {
  const ServiceConfig wrong_key{service_.BaseAddress(), "ffffffffffffffffffffffffffffffff", ""};
  const ServiceConfig no_key{service_.BaseAddress(), "", ""};
  const struct {
    const char* name;
    const ServiceConfig* config;
    std::string query;
  } cases[] = {
      {"unknown place", &config_, "Atlantis"},
      {"wrong key", &wrong_key, "London"},
      {"no key", &no_key, "London"},
      {"empty query", &config_, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    currentWeather weather = EarlierWeather();
    FetchCurrentWeather(client_, *c.config, c.query, weather);
    EXPECT_EQ(Text(weather), Text(EarlierWeather()));
    std::vector<location> results(3);
    SearchLocations(client_, *c.config, c.query, results);
    EXPECT_THAT(results, IsEmpty());
  }
}

TEST_F(LocalServiceRequestTest, FaultsLeaveRecordsAndListsAndEmptyTheSearch) {
  const std::string any_address = "http://0.0.0.0:" + std::to_string(service_.port());
  const std::vector<std::pair<const char*, std::string>> faults = {
      {"not JSON", R"({"kind":"non_json"})"},
      {"truncated", R"({"kind":"truncated"})"},
      {"oversize", R"({"kind":"oversize"})"},
      {"oversize until close", R"({"kind":"oversize","length":false})"},
      {"slow drip", R"({"kind":"drip","interval_ms":300})"},
      {"closed connection", R"({"kind":"close"})"},
      {"no answer", R"({"kind":"hang"})"},
      {"redirect off loopback", R"({"kind":"redirect","location":")" + any_address + R"("})"},
      {"redirect loop", R"({"kind":"redirect","location":"/v1/x","permanent":true})"},
  };
  CurlHttpClient client = ShortClient();
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    service_.Admin("reset");
    service_.Admin("fault", fault);
    currentWeather weather = EarlierWeather();
    FetchCurrentWeather(client, config_, "London", weather);
    EXPECT_EQ(Text(weather), Text(EarlierWeather()));

    service_.Admin("reset");
    service_.Admin("fault", fault);
    std::vector<forecastday> days(2);
    std::vector<alert> alerts(3);
    FetchForecast(client, config_, "London", 3, days, alerts);
    EXPECT_EQ(days.size(), 2u);
    EXPECT_EQ(alerts.size(), 3u);

    service_.Admin("reset");
    service_.Admin("fault", fault);
    std::vector<location> results(2);
    SearchLocations(client, config_, "Lon", results);
    EXPECT_THAT(results, IsEmpty());
  }
}

TEST_F(LocalServiceRequestTest, ForecastOfFourteenDaysWithAlerts) {
  std::vector<forecastday> days;
  std::vector<alert> alerts;
  FetchForecast(client_, config_, "New York", 14, days, alerts);

  ASSERT_EQ(days.size(), 14u);
  for (size_t i = 0; i < days.size(); ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "2024-07-%02zu", 9 + i);
    EXPECT_EQ(days[i].date, date);
    EXPECT_EQ(days[i].date_epoch, 1720483200 + static_cast<int64_t>(i) * 86400);
  }
  EXPECT_EQ(days[0].day.maxtemp_c, 29.6);
  EXPECT_EQ(days[0].day.condition.text, "Patchy rain possible");
  EXPECT_EQ(days[0].astro.sunrise, "05:27 AM");
  EXPECT_EQ(days[0].astro.moon_illumination, "");  // the service sends a number
  EXPECT_EQ(days[1].day.daily_chance_of_rain, 84);

  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0].event, "Heat Advisory");
  EXPECT_EQ(alerts[0].msgType, "Alert");  // sent as "msgtype"
  EXPECT_EQ(alerts[0].severity, "Moderate");
  EXPECT_EQ(alerts[0].effective, "2024-07-09T03:14:00-04:00");
  EXPECT_EQ(alerts[1].headline,
            "Air Quality Alert issued July 9 at 2:40PM EDT by NWS New York City - Upton NY");
  EXPECT_EQ(alerts[1].instruction, "");

  const std::vector<LoggedRequest> log = service_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].path, "/v1/forecast.json");
  EXPECT_EQ(log[0].body, std::string("key=") + kServiceKey + "&q=New%20York&days=14&alerts=yes");
}

TEST_F(LocalServiceRequestTest, OneDayForecastAndScriptedAlerts) {
  std::vector<forecastday> days(5);
  std::vector<alert> alerts(5);
  FetchForecast(client_, config_, "Paris", 1, days, alerts);
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].date, "2024-07-09");
  EXPECT_THAT(alerts, IsEmpty());

  service_.Admin("alerts", R"({"place":"Paris","alerts":[
      {"headline":"Orange heatwave warning","msgtype":"Alert","severity":"Severe",
       "event":"Heatwave","desc":"Very high temperatures."}]})");
  FetchForecast(client_, config_, "Paris", 1, days, alerts);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].headline, "Orange heatwave warning");
  EXPECT_EQ(alerts[0].severity, "Severe");
  EXPECT_EQ(alerts[0].desc, "Very high temperatures.");
}

TEST_F(LocalServiceRequestTest, SearchListsMatchingPlacesInOrder) {
  std::vector<location> results;
  SearchLocations(client_, config_, "par", results);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].name, "Paris");
  EXPECT_EQ(results[0].region, "Ile-de-France");
  EXPECT_EQ(results[0].country, "France");
  EXPECT_EQ(results[0].lat, 48.87);
  EXPECT_EQ(results[0].lon, 2.33);
  EXPECT_EQ(results[0].tz_id, "");
  EXPECT_EQ(results[1].region, "Texas");

  SearchLocations(client_, config_, "Atlantis", results);
  EXPECT_THAT(results, IsEmpty());
}

TEST_F(LocalServiceRequestTest, BatchOfRefreshRequestsAppliesInOrder) {
  const std::vector<std::string> cities = {"Tokyo", "London", "2000", "Mumbai"};
  std::vector<HttpRequest> requests;
  for (const std::string& city : cities) {
    requests.push_back(CurrentWeatherRequest(config_, city));
    requests.push_back(ForecastRequest(config_, city, 1));
  }
  const std::vector<HttpResponse> answers = client_.PerformBatch(requests);
  ASSERT_EQ(answers.size(), requests.size());

  const char* names[] = {"Tokyo", "London", "Sydney", "Mumbai"};
  const size_t alert_counts[] = {1, 3, 0, 0};
  for (size_t i = 0; i < cities.size(); ++i) {
    SCOPED_TRACE(cities[i]);
    currentWeather weather;
    ApplyCurrentWeatherAnswer(answers[2 * i], weather);
    EXPECT_EQ(weather.location.name, names[i]);
    std::vector<forecastday> days;
    std::vector<alert> alerts;
    ApplyForecastAnswer(answers[2 * i + 1], days, alerts);
    EXPECT_EQ(days.size(), 1u);
    EXPECT_EQ(alerts.size(), alert_counts[i]);
  }
}

}  // namespace
}  // namespace skyvigil
