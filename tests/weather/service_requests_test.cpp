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

#include "fakes/example_weather.h"
#include "fakes/fake_http.h"
#include "weather/record_json.h"

namespace skyvigil {
namespace {

using testing::EarlierWeather;
using ::testing::ElementsAre;
using testing::FakeHttpClient;
using ::testing::IsEmpty;
using testing::RecordText;
using ::testing::UnorderedElementsAre;

const ServiceConfig kConfig{"https://weather.example/v1", "0123456789abcdef0123456789abcde", ""};

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
  EXPECT_EQ(RecordText(weather), RecordText(expected));
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
    EXPECT_EQ(RecordText(weather), RecordText(EarlierWeather()));
  }
}

// ---- Forecast ----

constexpr char kForecastAnswer[] = R"({
  "location": {"name": "New York", "localtime": "2024-07-09 5:07"},
  "current": {"temp_f": 81.0},
  "forecast": {"forecastday": [
    {"date": "2024-07-09", "date_epoch": 1720483200,
     "day": {"maxtemp_c": 29.6, "maxtemp_f": 85.3, "mintemp_c": 21.3, "avghumidity": 66,
       "totalsnow_cm": 0.0, "daily_chance_of_rain": 71, "daily_will_it_rain": 1,
       "condition": {"text": "Patchy rain possible", "code": 1063}, "uv": 7.0},
     "astro": {"sunrise": "05:27 AM", "sunset": "08:31 PM", "moon_phase": "Waning Gibbous",
       "moon_illumination": 82},
     "hour": [{"time": "2024-07-09 00:00", "will_it_rain": 1}]},
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
  location place;
  ApplyForecastAnswer({true, 200, kForecastAnswer}, days, alerts, &place);

  EXPECT_EQ(place.name, "New York");
  EXPECT_EQ(place.localtime, "2024-07-09 5:07");

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
  ASSERT_EQ(days[0].hour.size(), 1u);
  EXPECT_EQ(days[0].hour[0].time, "2024-07-09 00:00");
  EXPECT_EQ(days[0].hour[0].will_it_rain, 1);
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

}  // namespace
}  // namespace skyvigil
