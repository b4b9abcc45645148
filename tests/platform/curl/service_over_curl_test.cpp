// The weather requests over the libcurl client against the local weather
// service: exact queries, answers rewritten and filled, faults kept out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fakes/example_weather.h"
#include "fakes/local_service.h"
#include "platform/curl/http_curl.h"
#include "weather/record_json.h"
#include "weather/service_requests.h"

namespace skyvigil {
namespace {

using testing::EarlierWeather;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::LocalService;
using testing::LoggedRequest;
using testing::RecordText;
using ::testing::UnorderedElementsAre;

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
    HttpLimits limits;
    limits.connect_timeout_ms = 1000;
    limits.transfer_timeout_ms = 1000;
    return CurlHttpClient(limits);
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
      EXPECT_EQ(RecordText(weather), RecordText(EarlierWeather()));
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
    EXPECT_EQ(RecordText(weather), RecordText(EarlierWeather()));
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
    EXPECT_EQ(RecordText(weather), RecordText(EarlierWeather()));

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
