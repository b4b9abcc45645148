// The rows of the secondary windows.
#include "app/window_specs.h"

#include <algorithm>
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

// A list window's label and list carry its title, as its list's name.
constexpr std::array kNextHoursControls = {
    ControlSpec{kListLabel, K::label, "Next Hours", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "Next Hours", 20, 20, 560, 520},
    ControlSpec{kListCopy, K::button, "Copy all", "", 20, 550, 80, 30},
    ControlSpec{kListClose, K::button, "Close", "", 110, 550, 80, 30},
};

constexpr std::array kAlertControls = {
    ControlSpec{kListLabel, K::label, "Alert", "", 0, 0, 20, 20},
    ControlSpec{kListList, K::list, "", "Alert", 20, 20, 760, 520},
    ControlSpec{kListCopy, K::button, "Copy all", "", 20, 550, 80, 30},
    ControlSpec{kListClose, K::button, "Close", "", 110, 550, 80, 30},
};

const std::array kWindows = {
    WindowSpec{SecondaryWindowKind::forecast, "Forecast", kForecastControls,
               &ForecastWindowCommandFor, &OnForecastListEvent, 800, 600},
    WindowSpec{SecondaryWindowKind::results, "Results", kResultsControls, &ResultsWindowCommandFor,
               nullptr, 800, 600},
    WindowSpec{SecondaryWindowKind::history, "History", kHistoryControls, &HistoryWindowCommandFor,
               nullptr, 800, 600},
    WindowSpec{SecondaryWindowKind::next_hours, "Next Hours", kNextHoursControls,
               &ListWindowCommandFor, nullptr, 600, 600},
    WindowSpec{SecondaryWindowKind::alert, "Alert", kAlertControls, &ListWindowCommandFor, nullptr,
               800, 600},
};

}  // namespace

const WindowSpec& SecondaryWindowSpec(SecondaryWindowKind kind) {
  return kWindows[static_cast<size_t>(kind)];
}

double WindowSpecScale(const WindowSpec& spec, int text_percent, int room_width, int room_height) {
  int width = spec.width;
  int height = spec.height;
  for (const ControlSpec& c : spec.controls) {
    width = std::max(width, c.x + c.width);
    height = std::max(height, c.y + c.height);
  }
  const double fits =
      std::min(static_cast<double>(room_width) / width, static_cast<double>(room_height) / height);
  return std::max(1.0, std::min(text_percent / 100.0, fits));
}

SecondaryWindowKind KindOf(ListWindow which) {
  return which == ListWindow::next_hours ? SecondaryWindowKind::next_hours
                                         : SecondaryWindowKind::alert;
}

}  // namespace skyvigil
