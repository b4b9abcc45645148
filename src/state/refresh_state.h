// What the background refresh keeps on the main thread between its plan and
// its apply: the plan in flight, the refresh waiting behind it, the ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "ports/http.h"

namespace skyvigil {

struct App;
// Work for the core, run on the main thread between handlers.
using CoreWork = std::function<void(App&)>;

enum class RefreshMode {
  all_cities = 0,
  new_cities = 1,  // only cities whose stored Celsius temperature is not above 0
};

// One city's part of a batch, matched back by the city's run-time id.
struct PlannedCity {
  uint64_t city_id = 0;
  size_t current_answer = 0;
  // The forecast request: for the alerts, and with two days of hours for Rain Ahead.
  std::optional<size_t> forecast_answer;
  bool speak_alerts = false;
  bool rain_ahead = false;
};

struct RefreshPlan {
  std::vector<PlannedCity> cities;
  std::vector<HttpRequest> requests;
};

struct RefreshState {
  bool running = false;  // planned and not yet applied
  RefreshPlan plan;
  std::vector<CoreWork> then;
  std::optional<RefreshMode> queued;  // asked for while one ran
  std::vector<CoreWork> queued_then;
  bool first_pending = false;  // start-up: the change check waits for the first refresh
  bool stopped = false;        // exiting: nothing more is applied
  uint64_t last_city_id = 0;
  std::set<uint64_t> unknown_places;  // cities the service last said it does not know
  std::set<uint64_t> wet_foreseen;    // cities whose last forecast held rain in the next hours
};

}  // namespace skyvigil
