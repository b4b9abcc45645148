// Application test harness with a scripted weather service.
#include "fakes/app_harness.h"

#include <fstream>
#include <random>
#include <sstream>

#include <nlohmann/json.hpp>

#include "weather/record_json.h"

namespace skyvigil::testing {

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string CurrentAnswer(const FakePlace& p) {
  nlohmann::json j;
  j["location"] = {{"name", p.name}, {"region", p.region}, {"country", p.country}};
  j["current"] = {{"last_updated", "2024-03-06 12:00"},
                  {"temp_f", p.temp_f},
                  {"temp_c", p.temp_c},
                  {"condition", {{"text", p.condition}, {"icon", "i.png"}, {"code", 1000}}},
                  {"air_quality", {{"co", 230.3}, {"us-epa-index", 2}}}};
  return j.dump();
}

std::string ForecastAnswer(const FakePlace& p) {
  nlohmann::json alerts = nlohmann::json::array();
  for (const auto& [severity, event] : p.alerts) {
    alerts.push_back({{"severity", severity}, {"event", event}, {"headline", event + " issued"}});
  }
  if (!p.full_alerts.empty()) {
    for (const nlohmann::json& a : nlohmann::json::parse(RecordListJsonText(p.full_alerts)))
      alerts.push_back(a);
  }
  nlohmann::json days = nlohmann::json::array();
  for (int i = 0; i < p.days; ++i) {
    days.push_back(
        {{"date", "2024-03-" + std::string(i + 6 < 10 ? "0" : "") + std::to_string(i + 6)},
         {"day",
          {{"maxtemp_f", p.temp_f + 5},
           {"mintemp_f", p.temp_f - 5},
           {"condition", {{"text", p.condition}}}}},
         {"astro", {{"sunrise", "06:30 AM"}}}});
  }
  if (!p.hourly.empty())
    days = nlohmann::json::parse(RecordListJsonText(p.hourly));
  nlohmann::json j;
  j["location"] = {{"name", p.name}, {"localtime", p.localtime}};
  j["forecast"] = {{"forecastday", days}};
  j["alerts"] = {{"alert", alerts}};
  return j.dump();
}

}  // namespace

AppHarness::AppHarness(bool hold_start_news)
    : news_hold(announcer, hold_start_news),
      folder(std::filesystem::temp_directory_path() /
             ("skyvigil-app-" + std::to_string(std::random_device{}()))),
      app{AppState{}, ui, history, http, clock, ui, main_thread} {
  app.history = &history;
  app.news_hold = &news_hold;
  ui.await_main_thread = [this] {
    main_thread.AwaitPost();
    main_thread.RunPosted();
  };
  std::filesystem::create_directories(folder);
  gate.Attach(app);
  app.state.paths.prefs_file = folder / "prefs.ini";
  app.state.paths.cities_file = folder / "cities.json";
  app.state.service.base_address = "https://weather.test/v1";
  app.state.service.api_key = "k";
  http.answer = [this](const HttpRequest& r) {
    HttpResponse response;
    if (service_down)
      return response;
    const std::string query = FormField(r.body, "q");
    if (EndsWith(r.url, "/search.json")) {
      response.completed = true;
      response.status = 200;
      nlohmann::json found = nlohmann::json::array();
      for (const auto& [key, p] : places) {
        if (!query.empty() && p.name.find(query) != std::string::npos && key == p.name) {
          found.push_back({{"name", p.name}, {"region", p.region}, {"country", p.country}});
        }
      }
      response.body = found.dump();
      return response;
    }
    // A place answers to its own query and to the full name a refresh gave it.
    auto place = places.find(query);
    for (auto it = places.begin(); place == places.end() && it != places.end(); ++it) {
      const FakePlace& p = it->second;
      if (p.name + ", " + p.region + ", " + p.country == query)
        place = it;
    }
    response.completed = true;
    if (place == places.end()) {
      response.status = 400;
      response.body = R"({"error":{"code":1006,"message":"No matching location found."}})";
    } else {
      response.status = 200;
      response.body = EndsWith(r.url, "/current.json") ? CurrentAnswer(place->second)
                                                       : ForecastAnswer(place->second);
    }
    return response;
  };
}

void AppHarness::FinishRefreshes() {
  while (app.state.refresh.running) {
    main_thread.AwaitPost();
    main_thread.RunPosted();
  }
}

void AppHarness::FinishFetches() {
  const auto awaited = [this] {
    for (const uint64_t ticket : app.state.fetch.awaited) {
      if (ticket != 0)
        return true;
    }
    return false;
  };
  while (awaited()) {
    main_thread.AwaitPost();
    main_thread.RunPosted();
  }
}

AppHarness::~AppHarness() {
  http.Release();  // the workers end before the state that holds them
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

city AppHarness::CityAt(const std::string& query, int64_t monitor, int64_t alerts) const {
  const FakePlace& p = places.at(query);
  city c;
  c.name = p.name + ", " + p.region + ", " + p.country;
  c.monitor = monitor;
  c.alerts = alerts;
  c.weather.temp_f = p.temp_f;
  c.weather.temp_c = p.temp_c;
  c.weather.condition.text = p.condition;
  c.weather.location.name = p.name;
  c.weather.location.region = p.region;
  c.weather.location.country = p.country;
  return c;
}

std::string AppHarness::ReadFile(const std::string& name) const {
  std::ifstream in(folder / name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> AppHarness::Queries(const std::string& path) const {
  std::vector<std::string> queries;
  for (const HttpRequest& r : http.requests) {
    if (EndsWith(r.url, path))
      queries.push_back(FormField(r.body, "q"));
  }
  return queries;
}

}  // namespace skyvigil::testing
