// The three weather service requests (current conditions, forecast with alerts,
// place search) and the pouring of their JSON answers into the records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ports/http.h"
#include "weather/records.h"
#include "weather/service_config.h"

namespace skyvigil {

// A form value with every byte but A-Z a-z 0-9 - . _ ~ percent-encoded, so a
// query holding "&", "=", "+" or "%" reaches the service exactly as typed.
std::string FormValue(std::string_view text);

// POST base_address + "/current.json" with "key=<key>&q=<query>&aqi=yes".
HttpRequest CurrentWeatherRequest(const ServiceConfig& config, std::string_view query);
// POST base_address + "/forecast.json" with "key=<key>&q=<query>&days=<days>&alerts=yes".
HttpRequest ForecastRequest(const ServiceConfig& config, std::string_view query, int days);
// POST base_address + "/search.json" with "key=<key>&q=<query>".
HttpRequest SearchRequest(const ServiceConfig& config, std::string_view query);

// Fills `target` from a current-conditions answer. A failed transfer, a text
// that is not JSON, or an answer without a "current" object (the service's
// error answers) leaves `target` exactly as it was. The HTTP status is ignored.
void ApplyCurrentWeatherAnswer(const HttpResponse& answer, currentWeather& target);

// Fills both lists (and `place`, when given, from the answer's "location", whose
// localtime is the city's own clock) from a forecast answer; a failed transfer
// or a text that is not JSON leaves them as they were.
void ApplyForecastAnswer(const HttpResponse& answer, std::vector<forecastday>& days,
                         std::vector<alert>& alerts, location* place = nullptr);

// Fills `results` from a search answer; anything but a JSON array empties it.
void ApplySearchAnswer(const HttpResponse& answer, std::vector<location>& results);

// One request each, performed synchronously and applied as above.
void FetchCurrentWeather(HttpClient& client, const ServiceConfig& config, std::string_view query,
                         currentWeather& target);
void FetchForecast(HttpClient& client, const ServiceConfig& config, std::string_view query,
                   int days, std::vector<forecastday>& forecast, std::vector<alert>& alerts,
                   location* place = nullptr);
void SearchLocations(HttpClient& client, const ServiceConfig& config, std::string_view query,
                     std::vector<location>& results);

}  // namespace skyvigil
