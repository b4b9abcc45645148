// The rows of the secondary windows.
#include "app/window_specs.h"

#include <array>

namespace skyvigil {

namespace {

using K = ControlKind;

// Each label stands above its list, which screen readers take as its name too.
constexpr std::array kForecastControls = {
    ControlSpec{kForecastLabel, K::label, "Forecast", "", 0, 0, 20, 20},
    ControlSpec{kForecastList, K::list, "", "Forecast", 20, 20, 400, 580},
    ControlSpec{kForecastBox, K::read_only_box, "", "Details", 600, 0, 100, 200},
    ControlSpec{kForecastCopy, K::button, "Copy forecast", "", 800, 0, 40, 40},
    ControlSpec{kForecastClose, K::button, "Close", "", 800, 60, 40, 40},
};

constexpr std::array kResultsControls = {
    ControlSpec{kResultsLabel, K::label, "Results", "", 0, 0, 20, 20},
    ControlSpec{kResultsList, K::list, "", "Results", 20, 20, 400, 580},
    ControlSpec{kResultsAdd, K::button, "Add", "", 600, 0, 50, 50},
    ControlSpec{kResultsCancel, K::button, "Cancel", "", 600, 80, 50, 50},
};

constexpr std::array kHistoryControls = {
    ControlSpec{kHistoryLabel, K::label, "Announcements", "", 0, 0, 20, 20},
    ControlSpec{kHistoryList, K::list, "", "Announcements", 20, 20, 760, 580},
};

const std::array kWindows = {
    WindowSpec{SecondaryWindowKind::forecast, "Forecast", kForecastControls,
               &ForecastWindowCommandFor, &OnForecastListEvent, 800, 600},
    WindowSpec{SecondaryWindowKind::results, "Results", kResultsControls, &ResultsWindowCommandFor,
               nullptr, 800, 600},
    WindowSpec{SecondaryWindowKind::history, "History", kHistoryControls, &HistoryWindowCommandFor,
               nullptr, 800, 600},
};

}  // namespace

const WindowSpec& SecondaryWindowSpec(SecondaryWindowKind kind) {
  return kWindows[static_cast<size_t>(kind)];
}

}  // namespace skyvigil
