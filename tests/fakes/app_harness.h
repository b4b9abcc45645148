// Everything a command test needs: the application with recording fakes, a
// temporary working folder and a scripted weather service answering by place.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/announcement_history.h"
#include "app/core_gate.h"
#include "app/startup_news.h"
#include "fakes/fake_announcer.h"
#include "fakes/fake_main_thread.h"
#include "fakes/fake_ui.h"
#include "fakes/fixed_clock.h"
#include "fakes/scripted_http.h"
#include "state/app_state.h"

namespace skyvigil::testing {

struct FakePlace {
  FakePlace() = default;
  FakePlace(std::string name, std::string region, std::string country, std::string condition,
            double temp_f, double temp_c)
      : name(std::move(name)),
        region(std::move(region)),
        country(std::move(country)),
        condition(std::move(condition)),
        temp_f(temp_f),
        temp_c(temp_c) {}

  std::string name, region, country;
  std::string condition = "Sunny";
  double temp_f = 70;
  double temp_c = 21;
  // Alerts as (severity, event) pairs.
  std::vector<std::pair<std::string, std::string>> alerts;
  // Forecast days, dated from 2024-03-06 on.
  int days = 0;
  // When not empty, the forecast answer's days as they stand, with their hours.
  std::vector<forecastday> hourly;
  std::string localtime = "2024-03-06 12:00";  // the place's own clock
  // Alerts in full, after those of `alerts`.
  std::vector<alert> full_alerts;
};

class AppHarness {
 public:
  // `hold_start_news`: the start's news waits for the window, as on a desktop.
  explicit AppHarness(bool hold_start_news = false);
  ~AppHarness();

  // Places the scripted service knows, by the query that reaches it.
  std::map<std::string, FakePlace> places;
  bool service_down = false;

  FakeUi ui;
  FakeAnnouncer announcer;
  ScriptedHttp http;
  FixedClock clock;
  FakeMainThread main_thread;
  StartupNewsHold news_hold;                      // passes to `announcer`
  AnnouncementHistory history{news_hold, clock};  // what the core speaks through
  std::filesystem::path folder;
  CoreGate gate;  // outlives `app`, whose refresh worker posts through it
  App app;

  // Waits for the refreshes in flight and runs their posted applies, the
  // refreshes queued behind them included.
  void FinishRefreshes();
  // Waits for every fetch still awaited and applies its answer.
  void FinishFetches();

  // A city as a refresh leaves it: named after its place, weather filled.
  city CityAt(const std::string& query, int64_t monitor = 0, int64_t alerts = 0) const;
  std::string ReadFile(const std::string& name) const;
  // The queries of the requests made so far to the given path ("/current.json").
  std::vector<std::string> Queries(const std::string& path) const;
};

}  // namespace skyvigil::testing
