// A refresh that brings no weather says why once per cause, and once that
// the weather comes again; the report's first line says why meanwhile.
#include "monitor/service_outcome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/commands.h"
#include "fakes/app_harness.h"
#include "monitor/monitor_cycle.h"

namespace skyvigil {
namespace {

using testing::AppHarness;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr char kUnreachable[] =
    "The weather service cannot be reached; check the network connection.";
constexpr char kRefused[] =
    "The weather service refused the key; set your own in Settings, Weather Service Key.";
constexpr char kQuota[] = "The weather service key has used up its calls for this month.";
constexpr char kDisabled[] = "The weather service key has been disabled.";
constexpr char kAgain[] = "The weather service answers again.";

enum class Fault { none, down, refused, quota, disabled, unknown_places };

HttpResponse KeyError(long status, int code) {
  return {true, status, R"({"error":{"code":)" + std::to_string(code) + R"(,"message":"m"}})"};
}

TEST(RefreshOutcome, EachCauseIsSaidOnceAndTheReturnOnce) {
  AppHarness h;
  h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
  h.app.state.cities = {h.CityAt("Paris")};
  const auto normal = h.http.answer;
  Fault fault = Fault::none;
  h.http.answer = [&](const HttpRequest& r) {
    switch (fault) {
      case Fault::down:
        return HttpResponse{};
      case Fault::refused:
        return KeyError(401, 2006);
      case Fault::quota:
        return KeyError(403, 2007);
      case Fault::disabled:
        return KeyError(403, 2008);
      case Fault::unknown_places:
        return KeyError(400, 1006);
      case Fault::none:
        break;
    }
    return normal(r);
  };
  struct Step {
    Fault fault;
    std::vector<std::string> said;
  };
  const Step steps[] = {
      {Fault::none, {}},
      {Fault::down, {std::string("say:") + kUnreachable}},
      {Fault::down, {}},
      {Fault::unknown_places, {}},
      {Fault::refused, {std::string("say:") + kRefused}},
      {Fault::refused, {}},
      {Fault::quota, {std::string("say:") + kQuota}},
      {Fault::disabled, {std::string("say:") + kDisabled}},
      {Fault::none, {std::string("say:") + kAgain}},
      {Fault::none, {}},
      {Fault::unknown_places, {}},
  };
  int n = 0;
  for (const Step& step : steps) {
    fault = step.fault;
    h.announcer.events.clear();
    OnRefreshTimer(h.app);
    h.FinishRefreshes();
    EXPECT_THAT(h.announcer.events, ElementsAreArray(step.said)) << "step " << n++;
  }
}

TEST(RefreshOutcome, OneCityAnsweringIsASuccessAndTheReportLeadsWithTheCause) {
  AppHarness h;
  h.places["Paris"] = {"Paris", "Ile-de-France", "France", "Light rain", 50, 10};
  city typo;
  typo.name = "Pariss";
  h.app.state.cities = {h.CityAt("Paris"), typo};
  RefreshCityList(h.app, false);
  h.ui.city_selection = 0;
  OnRefreshTimer(h.app);
  h.FinishRefreshes();
  EXPECT_THAT(h.announcer.events, ::testing::IsEmpty());
  EXPECT_EQ(h.ui.report_lines.front(), "Last updated: 2024-03-06 12:00");

  h.service_down = true;
  OnRefreshTimer(h.app);
  h.FinishRefreshes();
  EXPECT_THAT(h.announcer.events, ElementsAre(std::string("say:") + kUnreachable));
  ASSERT_GE(h.ui.report_lines.size(), 2u);
  EXPECT_EQ(h.ui.report_lines[0], kUnreachable);
  EXPECT_EQ(h.ui.report_lines[1], "Last updated: 2024-03-06 12:00");
  EXPECT_EQ(h.ui.detail_text, kUnreachable);
}

}  // namespace
}  // namespace skyvigil
