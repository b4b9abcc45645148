// Timing of saving and loading a long city list (1,000 cities with full weather).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "weather/cities_store.h"
#include "weather/json_value.h"
#include "weather/record_json.h"

namespace skyvigil {
namespace {

std::vector<city> RealisticCities(int count) {
  std::vector<city> cities;
  cities.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = i % 40 + 0.3 * (i % 7);
    city c;
    c.name = "Town " + std::to_string(i) + ", Region " + std::to_string(i % 50) + ", Country";
    c.temp = 32 + t * 1.8;
    c.monitor = i % 3 == 0 ? 1 : 0;
    c.alerts = 1;
    c.condition = i % 2 ? "Partly cloudy" : "Light rain shower";
    currentWeather& w = c.weather;
    w.last_updated = "2024-05-01 14:30";
    w.last_updated_epoch = 1714566600 + i;
    w.temp_c = t;
    w.temp_f = 32 + t * 1.8;
    w.feelslike_c = t - 1.4;
    w.feelslike_f = 32 + (t - 1.4) * 1.8;
    w.condition = {c.condition, "//cdn.weatherapi.com/weather/64x64/day/116.png", 1003};
    w.wind_mph = 5.6 + i % 9;
    w.wind_kph = (5.6 + i % 9) * 1.609;
    w.wind_degree = i % 360;
    w.wind_dir = "WSW";
    w.pressure_mb = 1015.0;
    w.pressure_in = 29.97;
    w.precip_mm = 0.1 * (i % 5);
    w.precip_in = 0.004 * (i % 5);
    w.humidity = 40 + i % 60;
    w.cloud = i % 100;
    w.is_day = i % 2;
    w.uv = 4.0;
    w.gust_mph = 9.4;
    w.gust_kph = 15.1;
    w.location = {47.37 + i * 0.01,
                  8.55 - i * 0.01,
                  "Town " + std::to_string(i),
                  "Region " + std::to_string(i % 50),
                  "Country",
                  "Europe/Zurich",
                  1714573800 + i,
                  "2024-05-01 16:30"};
    w.aqi = {223.6f + i, 68.5f, 12.3f, 1.7f, 7.4f, 9.8f, 1 + i % 6, 1 + i % 10};
    cities.push_back(c);
  }
  return cities;
}

void BM_SaveAndLoadCities(benchmark::State& state) {
  const std::vector<city> cities = RealisticCities(static_cast<int>(state.range(0)));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("skyvigil_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "cities.json";
  std::vector<city> loaded;
  for (auto _ : state) {
    if (!SaveCities(cities, file)) {
      state.SkipWithError("SaveCities failed");
      break;
    }
    LoadCities(loaded, file, [](std::vector<city>&) {});
    benchmark::DoNotOptimize(loaded.data());
  }
  if (loaded.size() != cities.size())
    state.SkipWithError("LoadCities lost cities");
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveAndLoadCities)->Arg(1000)->Unit(benchmark::kMillisecond);

// The two halves without the disk: building the file text, and parsing it and
// filling the list.
void BM_CitiesJsonText(benchmark::State& state) {
  const std::vector<city> cities = RealisticCities(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string text = CitiesJsonText(cities);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CitiesJsonText)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ParseAndFillCities(benchmark::State& state) {
  const std::string text = CitiesJsonText(RealisticCities(static_cast<int>(state.range(0))));
  std::vector<city> loaded;
  for (auto _ : state) {
    std::optional<JsonValue> document = ParseJson(text);
    FillList(loaded, document ? &*document : nullptr, NameMatch::exact);
    benchmark::DoNotOptimize(loaded.data());
  }
  if (loaded.size() != static_cast<size_t>(state.range(0)))
    state.SkipWithError("parse failed");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseAndFillCities)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skyvigil
