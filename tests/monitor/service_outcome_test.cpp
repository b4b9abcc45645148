// A refresh that brings no weather says why once per cause, and once that
// the weather comes again; the report's first line says why meanwhile.
#include "monitor/service_outcome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "fakes/app_harness.h"
#include "monitor/refresh.h"

namespace skyvigil {
namespace {

TEST(RefreshOutcome, EachCauseIsSaidOnceShownFirstInTheReportAndTheReturnSaidOnce) {
  const std::string down = "The weather service cannot be reached; check the network connection.";
  const std::string refused =
      "The weather service refused the key; set your own in Settings, Weather Service Key.";
  const std::string quota = "The weather service key has used up its calls for this month.";
  const std::string disabled = "The weather service key has been disabled.";
  const std::string updated = "Last updated: 2024-03-06 12:00";
  testing::AppHarness h;
  h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
  h.app.state.cities = {h.CityAt("Paris")};
  const auto weather = h.http.answer;
  std::optional<HttpResponse> fault;  // the answer to every request; none: the weather
  h.http.answer = [&](const HttpRequest& r) { return fault ? *fault : weather(r); };
  auto error = [](long status, int code) {
    return HttpResponse{true, status,
                        R"({"error":{"code":)" + std::to_string(code) + R"(,"message":"m"}})"};
  };
  const std::optional<HttpResponse> fine;
  const struct {
    std::optional<HttpResponse> answer;
    std::vector<std::string> said;
    std::string first_line;
  } steps[] = {
      {fine, {}, updated},
      {HttpResponse{}, {"news:" + down}, down},
      {HttpResponse{}, {}, down},
      {error(400, 1006), {"news:The weather service answers again."}, updated},  // it answered
      {HttpResponse{}, {"news:" + down}, down},
      {error(401, 2006), {"news:" + refused}, refused},
      {error(401, 1002), {}, refused},
      {error(403, 2007), {"news:" + quota}, quota},
      {error(403, 2008), {"news:" + disabled}, disabled},
      {fine, {"news:The weather service answers again."}, updated},
      {fine, {}, updated},
  };
  for (const auto& step : steps) {
    fault = step.answer;
    h.announcer.events.clear();
    RefreshCities(h.app, RefreshMode::all_cities);
    h.FinishRefreshes();
    EXPECT_THAT(h.announcer.events, ::testing::ElementsAreArray(step.said)) << step.first_line;
    const std::vector<std::string> report = h.Drawn().main.report.lines;
    EXPECT_EQ(report.at(0), step.first_line);
    EXPECT_EQ(report.at(step.first_line == updated ? 0 : 1), updated);
  }
}

}  // namespace
}  // namespace skyvigil
