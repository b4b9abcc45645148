// The background refresh: planned on the main thread from the state, performed
// on a worker thread, applied back on the main thread through the core gate.
// Answers find their cities by run-time id, so the list may change meanwhile.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "state/app_state.h"

namespace skyvigil {

// The city's run-time id, given on first use; never saved.
uint64_t CityId(RefreshState& refresh, city& c);
// Where the city with `id` is in the list now, if it still is.
std::optional<size_t> CityIndex(const std::vector<city>& cities, uint64_t id);

// Which cities and which requests: per city its current request, then one
// forecast request when its alerts are on (1 day) or when Rain Ahead is on and
// the city is monitored (2 days, for the hours). Gives the planned cities their ids.
RefreshPlan PlanRefresh(AppState& state, RefreshMode mode);

// Per planned city still in the list, in list order: its weather record, its
// alerts spoken (cue, then each text, with the name from before the rewrite),
// its name rewritten from the answer, and its rain ahead told; then the list is saved (not when
// empty). Switches, announced values and units changed meanwhile stay.
void ApplyRefresh(App& app, const RefreshPlan& plan, const std::vector<HttpResponse>& answers);

// Refreshes the cities in the background; `then` runs on the main thread right
// after the answers were applied. While one refresh runs, the next one asked
// for waits and runs once afterwards (covering every city either one asked
// for), then each waiting `then` in the order asked.
void RefreshCities(App& app, RefreshMode mode, CoreWork then = {});

// Every city is refreshed this long after the last timed refresh.
constexpr std::chrono::minutes kRefreshInterval{15};

// Sets the periodic refresh's one-shot timer (the main thread's PostAfter);
// when it runs out, every city is refreshed and the timer set again.
void StartRefreshTimer(App& app);

// For the exit: applies nothing more, ends the transfers and waits for the workers
// of every fetch.
void StopRefresh(App& app);

}  // namespace skyvigil
