// Fuzzes the way the three weather answers are rewritten, parsed and poured into
// records, on arbitrary answer bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/http.h"
#include "round_trip.h"
#include "weather/record_json.h"
#include "weather/records.h"
#include "weather/service_requests.h"
#include "weather/service_status.h"

namespace skyvigil::fuzz {
namespace {

// A record that already holds a refresh's values, so "left as it was" is
// distinguishable from "reset".
currentWeather PreviousWeather() {
  currentWeather weather;
  weather.last_updated = "2024-07-09 12:00";
  weather.last_updated_epoch = 1720526400;
  weather.temp_c = 21.5;
  weather.temp_f = 70.7;
  weather.condition = {"Partly cloudy", "//cdn/116.png", 1003};
  weather.humidity = 64;
  weather.location.name = "London";
  weather.location.region = "City of London, Greater London";
  weather.location.country = "United Kingdom";
  weather.aqi.pm2_5 = 3.5f;
  weather.aqi.us_epa_index = 1;
  return weather;
}

template <class Record>
std::string Text(const Record& record) {
  return RecordListJsonText(std::vector<Record>{record});
}

void CheckAnswer(const std::string& body) {
  const currentWeather previous = PreviousWeather();
  const std::string previous_text = Text(previous);

  // A failed transfer leaves every target as it was, whatever part of a body
  // arrived (a short piece is enough and keeps the fuzzer fast).
  const HttpResponse failed{false, 0, body.substr(0, 256)};
  currentWeather untouched = previous;
  ApplyCurrentWeatherAnswer(failed, untouched);
  if (Text(untouched) != previous_text)
    Fail("a failed transfer changed the weather record");
  std::vector<forecastday> kept_days(1);
  std::vector<alert> kept_alerts(2);
  ApplyForecastAnswer(failed, kept_days, kept_alerts);
  if (kept_days.size() != 1 || kept_alerts.size() != 2)
    Fail("a failed transfer changed the forecast lists");
  std::vector<location> cleared(3);
  ApplySearchAnswer(failed, cleared);
  if (!cleared.empty())
    Fail("a failed search kept earlier results");

  // A complete answer: whatever it fills must be writable to cities.json and
  // read back the same.
  const HttpResponse answer{true, 200, body};
  currentWeather weather = previous;
  ApplyCurrentWeatherAnswer(answer, weather);
  CheckWriteReadRoundTrip(std::vector<currentWeather>{weather});

  std::vector<forecastday> days(1);
  std::vector<alert> alerts(1);
  ApplyForecastAnswer(answer, days, alerts);
  CheckWriteReadRoundTrip(days);
  CheckWriteReadRoundTrip(alerts);

  std::vector<location> results(1);
  ApplySearchAnswer(answer, results);
  CheckWriteReadRoundTrip(results);

  // Any answer gets a cause, and only a failed transfer is unreachable for sure.
  if (ClassifyAnswer(failed) != ServiceProblem::unreachable)
    Fail("a failed transfer was not classified as unreachable");
  static_cast<void>(ClassifyAnswer(answer));
  static_cast<void>(ServiceMessage(answer));
}

}  // namespace
}  // namespace skyvigil::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  skyvigil::fuzz::CheckAnswer(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
