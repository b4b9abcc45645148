// Refreshing 64 cities (current conditions and a one-day forecast each) from the
// local weather service with 100 ms of service delay per request: one request
// after the other against all 128 as one concurrent batch.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/curl/http_curl.h"
#include "weather/service_requests.h"

extern char** environ;

namespace skyvigil {
namespace {

constexpr int kCities = 64;
constexpr int kDelayMs = 100;

// The service script of this source tree, found from this file's own path.
std::string ServiceScript() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "tools" /
          "weather_service.py")
      .string();
}

// tools/weather_service.py on a free loopback port, for the whole program run.
class Service {
 public:
  Service() {
    int to_child[2];
    int from_child[2];
    if (::pipe2(to_child, O_CLOEXEC) != 0 || ::pipe2(from_child, O_CLOEXEC) != 0)
      return;
    std::string python = "/usr/bin/python3";
    std::string script = ServiceScript();
    std::string port = "--port";
    std::string zero = "0";
    std::string watch = "--watch-stdin";
    char* argv[] = {python.data(), script.data(), port.data(), zero.data(), watch.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
    if (::posix_spawn(&pid_, python.c_str(), &actions, nullptr, argv, environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(to_child[0]);
    ::close(from_child[1]);
    stdin_pipe_ = to_child[1];

    std::string line;
    pollfd watch_fd{from_child[0], POLLIN, 0};
    while (pid_ > 0 && line.find('\n') == std::string::npos && ::poll(&watch_fd, 1, 15000) > 0) {
      char buffer[64];
      const ssize_t n = ::read(from_child[0], buffer, sizeof buffer);
      if (n <= 0)
        break;
      line.append(buffer, static_cast<size_t>(n));
    }
    ::close(from_child[0]);
    if (line.rfind("PORT ", 0) == 0)
      port_ = std::atoi(line.c_str() + 5);
  }

  ~Service() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (stdin_pipe_ >= 0)
      ::close(stdin_pipe_);
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int stdin_pipe_ = -1;
};

// The running service with its delay set, or nullptr when it could not start.
Service* SharedService() {
  static Service service;
  static const bool ready = [] {
    if (service.port() <= 0)
      return false;
    CurlHttpClient client;
    const std::string body = "{\"ms\":" + std::to_string(kDelayMs) + "}";
    const HttpResponse answer =
        client.Perform({HttpRequest::Method::post, service.Url("/admin/delay"), body});
    return answer.completed && answer.status == 200;
  }();
  return ready ? &service : nullptr;
}

// 64 queries over the service's places, by name, postcode and full name.
std::vector<std::string> CityQueries() {
  const char* places[] = {"London",   "10001",
                          "Paris",    "Tokyo",
                          "2000",     "Toronto",
                          "10115",    "Mumbai",
                          "8001",     "01000-000",
                          "SW1A 1AA", "New York",
                          "Berlin",   "Sydney",
                          "75001",    "M5H 2N2",
                          "100-0001", "400001",
                          "Zürich",   "São Paulo",
                          "75460",    "Paris, Texas, United States of America"};
  std::vector<std::string> queries;
  for (int i = 0; i < kCities; ++i)
    queries.push_back(places[i % std::size(places)]);
  return queries;
}

struct Refreshed {
  std::vector<currentWeather> weather = std::vector<currentWeather>(kCities);
  int filled = 0;
};

bool CheckFilled(const Refreshed& refreshed, benchmark::State& state) {
  for (const currentWeather& weather : refreshed.weather) {
    if (weather.location.name.empty()) {
      state.SkipWithError("a city was not refreshed");
      return false;
    }
  }
  return true;
}

double one_by_one_seconds = 0;

void BM_RefreshOneByOne(benchmark::State& state) {
  const Service* service = SharedService();
  if (service == nullptr) {
    state.SkipWithError("the local weather service did not start");
    return;
  }
  const ServiceConfig config{service->Url("/v1"), DefaultServiceConfig().api_key, ""};
  const std::vector<std::string> queries = CityQueries();
  CurlHttpClient client;
  for (auto _ : state) {
    Refreshed refreshed;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCities; ++i) {
      FetchCurrentWeather(client, config, queries[i], refreshed.weather[i]);
      std::vector<forecastday> days;
      std::vector<alert> alerts;
      FetchForecast(client, config, queries[i], 1, days, alerts);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    if (!CheckFilled(refreshed, state))
      return;
    one_by_one_seconds = seconds;
  }
  state.counters["requests"] = 2 * kCities;
}

void BM_RefreshBatch(benchmark::State& state) {
  const Service* service = SharedService();
  if (service == nullptr) {
    state.SkipWithError("the local weather service did not start");
    return;
  }
  const ServiceConfig config{service->Url("/v1"), DefaultServiceConfig().api_key, ""};
  const std::vector<std::string> queries = CityQueries();
  CurlHttpClient client;
  double batch_seconds = 0;
  for (auto _ : state) {
    Refreshed refreshed;
    const auto start = std::chrono::steady_clock::now();
    std::vector<HttpRequest> requests;
    for (const std::string& query : queries) {
      requests.push_back(CurrentWeatherRequest(config, query));
      requests.push_back(ForecastRequest(config, query, 1));
    }
    const std::vector<HttpResponse> answers = client.PerformBatch(requests);
    for (int i = 0; i < kCities; ++i) {
      ApplyCurrentWeatherAnswer(answers[2 * i], refreshed.weather[i]);
      std::vector<forecastday> days;
      std::vector<alert> alerts;
      ApplyForecastAnswer(answers[2 * i + 1], days, alerts);
    }
    batch_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(batch_seconds);
    if (!CheckFilled(refreshed, state))
      return;
  }
  state.counters["requests"] = 2 * kCities;
  if (one_by_one_seconds > 0 && batch_seconds > 0) {
    const double ratio = one_by_one_seconds / batch_seconds;
    state.counters["speedup"] = ratio;
    std::printf(
        "Refresh of %d cities, %d requests, %d ms service delay each: one by one %.2f s, "
        "one batch %.2f s, batch %.1fx faster\n",
        kCities, 2 * kCities, kDelayMs, one_by_one_seconds, batch_seconds, ratio);
  }
}

BENCHMARK(BM_RefreshOneByOne)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshBatch)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skyvigil
