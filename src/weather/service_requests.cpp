// Builds the weather service requests and fills the records from the answers.
#include "weather/service_requests.h"

#include <memory>
#include <optional>

#include "weather/json_value.h"
#include "weather/record_json.h"
#include "weather/service_status.h"

namespace skyvigil {

namespace {

constexpr NameMatch kMatch = NameMatch::ignore_case;

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
      return false;
  }
  return true;
}

// Every occurrence of `from` (compared ignoring ASCII case) replaced by `to`.
std::string ReplaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (StartsWithIgnoringCase(text.substr(i), from)) {
      result.append(to);
      i += from.size();
    } else {
      result.push_back(text[i++]);
    }
  }
  return result;
}

// The answer's JSON, or nullopt when the transfer failed or the text is not JSON.
std::optional<JsonValue> ParseAnswer(const HttpResponse& answer, std::string_view text) {
  if (!answer.completed || text.size() > kMaxServiceAnswerBytes)
    return std::nullopt;
  return ParseJson(text);
}

HttpRequest Post(const ServiceConfig& config, std::string_view path, std::string body) {
  HttpRequest request;
  request.method = HttpRequest::Method::post;
  request.url = config.base_address + std::string(path);
  request.body = std::move(body);
  return request;
}

std::string KeyAndQuery(const ServiceConfig& config, std::string_view query) {
  return "key=" + FormValue(config.api_key) + "&q=" + FormValue(query);
}

}  // namespace

std::string FormValue(std::string_view text) {
  // Everything but the unreserved characters of RFC 3986 becomes %XX.
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

HttpRequest CurrentWeatherRequest(const ServiceConfig& config, std::string_view query) {
  return Post(config, "/current.json", KeyAndQuery(config, query) + "&aqi=yes");
}

HttpRequest ForecastRequest(const ServiceConfig& config, std::string_view query, int days) {
  return Post(config, "/forecast.json",
              KeyAndQuery(config, query) + "&days=" + std::to_string(days) + "&alerts=yes");
}

HttpRequest SearchRequest(const ServiceConfig& config, std::string_view query) {
  return Post(config, "/search.json", KeyAndQuery(config, query));
}

void ApplyCurrentWeatherAnswer(const HttpResponse& answer, currentWeather& target) {
  // The answer names its air-quality indexes with hyphens, which no field can carry.
  std::string text = ReplaceIgnoringCase(answer.body, "condition:", "condition");
  text = ReplaceIgnoringCase(text, "us-epa-", "us_epa_");
  text = ReplaceIgnoringCase(text, "gb-defra-", "gb_defra_");
  const std::optional<JsonValue> root = ParseAnswer(answer, text);
  if (!root)
    return;
  const JsonValue* current = FindMember(&*root, "current", kMatch);
  // Error answers carry no "current": keep the record, and with it the city's name.
  if (current == nullptr || current->as_object() == nullptr)
    return;
  FillRecord(target, current, kMatch);
  FillRecord(target.condition, FindMember(current, "condition", kMatch), kMatch);
  FillRecord(target.aqi, FindMember(current, "air_quality", kMatch), kMatch);
  FillRecord(target.location, FindMember(&*root, "location", kMatch), kMatch);
}

void ApplyForecastAnswer(const HttpResponse& answer, std::vector<forecastday>& days,
                         std::vector<alert>& alerts, location* place) {
  const std::optional<JsonValue> root = ParseAnswer(answer, answer.body);
  if (!root)
    return;
  if (place != nullptr)
    FillRecord(*place, FindMember(&*root, "location", kMatch), kMatch);
  FillList(days, FindMember(FindMember(&*root, "forecast", kMatch), "forecastday", kMatch), kMatch);
  FillList(alerts, FindMember(FindMember(&*root, "alerts", kMatch), "ALERT", kMatch), kMatch);
}

void ApplySearchAnswer(const HttpResponse& answer, std::vector<location>& results) {
  const std::optional<JsonValue> root = ParseAnswer(answer, answer.body);
  if (!root) {
    results.clear();  // a failed search never shows the places of an earlier one
    return;
  }
  FillList(results, &*root, kMatch);
}

void FetchCurrentWeather(HttpClient& client, const ServiceConfig& config, std::string_view query,
                         currentWeather& target) {
  ApplyCurrentWeatherAnswer(client.Perform(CurrentWeatherRequest(config, query)), target);
}

void FetchForecast(HttpClient& client, const ServiceConfig& config, std::string_view query,
                   int days, std::vector<forecastday>& forecast, std::vector<alert>& alerts,
                   location* place) {
  ApplyForecastAnswer(client.Perform(ForecastRequest(config, query, days)), forecast, alerts,
                      place);
}

void SearchLocations(HttpClient& client, const ServiceConfig& config, std::string_view query,
                     std::vector<location>& results) {
  ApplySearchAnswer(client.Perform(SearchRequest(config, query)), results);
}

}  // namespace skyvigil
