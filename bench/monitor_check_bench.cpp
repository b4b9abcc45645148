// The change check runs after every event and whenever the program falls
// idle, so with nothing changed it must only compare values in memory: no
// speech, no file access and no allocation.
#include <atomic>
#include <cstdlib>
#include <new>

#include <benchmark/benchmark.h>

#include "fakes/app_harness.h"
#include "monitor/monitor_cycle.h"

namespace {

std::atomic<long> allocations{0};

}  // namespace

// Counts every allocation of the benchmark program. GCC takes the malloc/free
// pair of these replacements for a mismatch when it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace skyvigil {
namespace {

void BM_MonitorCheckNothingChanged(benchmark::State& state) {
  testing::AppHarness h;
  const auto count = static_cast<size_t>(state.range(0));
  for (size_t i = 0; i < count; ++i) {
    city c;
    c.name = "City number " + std::to_string(i) + ", Some Region, Some Country";
    c.monitor = 1;
    c.condition = "Partly cloudy with a chance of light rain showers";
    c.weather.condition.text = c.condition;
    c.temp = 70.0 + static_cast<double>(i % 7);
    c.weather.temp_f = c.temp + 3.0;  // within temp_diff: nothing to announce
    h.app.state.cities.push_back(c);
  }

  const long before = allocations.load();
  for (auto _ : state) {
    MonitorCheck(h.app);
    benchmark::DoNotOptimize(h.app.state.cities.data());
  }
  const long allocated = allocations.load() - before;

  if (!h.announcer.events.empty())
    state.SkipWithError("something was announced");
  state.counters["allocations_per_check"] =
      benchmark::Counter(static_cast<double>(allocated) / static_cast<double>(state.iterations()));
  state.counters["ns_per_city"] =
      benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MonitorCheckNothingChanged)->Arg(1000);

}  // namespace
}  // namespace skyvigil
