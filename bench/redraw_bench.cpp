// The screen is drawn again after every event: Render makes every line from
// the records and Diff compares it with the screen shown. Timed with 64
// cities and a forecast of 14 days with two alerts open.
#include <benchmark/benchmark.h>

#include "fakes/app_harness.h"
#include "views/render.h"

namespace skyvigil {
namespace {

void Fill(AppState& s) {
  for (int i = 0; i < 64; ++i) {
    city c;
    c.name = "City number " + std::to_string(i) + ", Some Region, Some Country";
    c.weather.last_updated = "2024-03-06 12:00";
    c.weather.condition.text = "Partly cloudy";
    c.weather.temp_f = 70.5 + i;
    c.weather.temp_c = 21.4 + i;
    s.cities.push_back(c);
  }
  s.main_window.built = s.main_window.started = true;
  SecondaryWindowState forecast;
  forecast.kind = WindowKind::forecast;
  forecast.alerts.resize(2);
  forecast.days.resize(14);
  s.secondary = {forecast};
}

// An event that changes nothing on screen: the common case.
void BM_RedrawNothingChanged(benchmark::State& state) {
  testing::AppHarness h;
  Fill(h.app.state);
  Redraw(h.app);
  const size_t drawn = h.ui.changes.size();
  for (auto _ : state)
    Redraw(h.app);
  if (h.ui.changes.size() != drawn)
    state.SkipWithError("a redraw of the same state changed the screen");
}
BENCHMARK(BM_RedrawNothingChanged);

// An arrow key in the city list: a new report.
void BM_RedrawAfterACityIsSelected(benchmark::State& state) {
  testing::AppHarness h;
  Fill(h.app.state);
  Redraw(h.app);
  int index = 0;
  for (auto _ : state) {
    index = (index + 1) % 64;
    h.app.state.main_window.selected_city = h.app.state.main_window.report_city = index;
    Redraw(h.app);
    h.ui.changes.clear();
  }
}
BENCHMARK(BM_RedrawAfterACityIsSelected);

}  // namespace
}  // namespace skyvigil
