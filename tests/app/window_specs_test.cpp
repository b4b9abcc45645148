// The rows the desktops build every window from, and the keys' commands.
#include "app/window_specs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace skyvigil {
namespace {

// A button or key whose command no table holds would do nothing; a list or
// bar without the name of the label above it would be read unnamed.
TEST(WindowSpecs, EveryButtonAndKeyRunsACommandAndEveryListIsNamed) {
  for (int kind = 0; kind <= static_cast<int>(WindowKind::download); ++kind) {
    const WindowSpec& spec = SpecOf(static_cast<WindowKind>(kind));
    for (size_t i = 0; i < spec.controls.size(); ++i) {
      const ControlSpec& c = spec.controls[i];
      EXPECT_EQ(c.kind == ControlKind::button, IsCommand(c.command)) << c.number;
      EXPECT_TRUE(HasControl(spec.kind, c.number)) << c.number;
      if (c.kind == ControlKind::list || c.kind == ControlKind::progress_bar) {
        EXPECT_EQ(c.name, i > 0 ? spec.controls[i - 1].text : "") << c.number;
      }
      EXPECT_NE(c.kind == ControlKind::button || c.kind == ControlKind::label ? c.text : c.name, "")
          << c.number;
    }
    for (const KeyRow& row : spec.keys)
      EXPECT_TRUE(IsCommand(row.command)) << spec.title << " " << row.command;
  }
  EXPECT_FALSE(HasControl(WindowKind::results, kForecastList));
}

// One key of each form from the menu's (their texts name them all), the
// window's own keys, and near misses.
TEST(WindowSpecs, KeysNeedTheirExactModifiersAndSomeTheirControl) {
  using K = Shortcut::Key;
  const Shortcut escape{K::escape, 0, false, false, false};
  const Shortcut enter{K::enter, 0, false, false, false};
  const Shortcut copy{K::character, 'C', true, true, false};
  const struct {
    WindowKind window;
    Shortcut pressed;
    int focus;
    int command;
  } cases[] = {
      {WindowKind::main, escape, kCityList, kHideWindow},
      {WindowKind::main, {K::character, 'M', true, false, false}, kCityList, kToggleMonitor},
      {WindowKind::main, {K::del, 0, false, false, false}, kCityList, kRemoveCity},
      {WindowKind::main, copy, kDetailBox, kCopy},
      {WindowKind::main, {K::character, 'M', true, true, false}, kCityList, kToggleMonitorSounds},
      {WindowKind::main, enter, kReportList, kViewForecast},
      {WindowKind::main, {K::enter, 0, false, true, false}, kCityList, kViewNextHours},
      {WindowKind::main, {K::character, '+', true, false, false}, kCityList, kLargerText},
      {WindowKind::main, {K::character, '+', true, true, false}, kCityList, kLargerText},
      {WindowKind::main, {K::character, '=', true, false, false}, kCityList, kLargerText},
      {WindowKind::main, {K::character, '=', true, true, false}, kCityList, kLargerText},
      {WindowKind::main, {K::character, '-', true, false, false}, kCityList, kSmallerText},
      {WindowKind::main, {K::character, 'W', true, true, false}, kCityList, kSpeakSummary},
      // The system-wide key reaches the program from anywhere, not as the window's.
      {WindowKind::main, {K::character, 'W', true, true, true}, kCityList, 0},
      // Not shortcuts: missing or extra modifiers, other keys.
      {WindowKind::main, {K::character, 'C', true, false, false}, kCityList, 0},
      {WindowKind::main, {K::character, 'M', false, false, false}, kCityList, 0},
      {WindowKind::main, {K::character, 'N', true, false, true}, kCityList, 0},
      {WindowKind::main, {K::escape, 0, false, true, false}, kCityList, 0},
      {WindowKind::main, {K::character, 'P', true, false, false}, kCityList, 0},
      {WindowKind::main, {K::del, 0, true, false, false}, kCityList, 0},
      {WindowKind::main, {K::character, '+', false, false, false}, kCityList, 0},
      {WindowKind::main, {K::character, '=', true, false, true}, kCityList, 0},
      {WindowKind::main, {K::character, '-', true, true, false}, kCityList, 0},
      // Enter opens an alert or adds a result only from the list; on a button
      // it presses the button.
      {WindowKind::forecast, enter, kForecastList, kOpenAlert},
      {WindowKind::forecast, enter, kForecastClose, 0},
      {WindowKind::forecast, enter, kForecastCopy, 0},
      {WindowKind::forecast, escape, kForecastBox, kCloseSecondaryWindow},
      {WindowKind::forecast, copy, kForecastBox, kCopy},
      {WindowKind::results, enter, kResultsList, kAddSearchResult},
      {WindowKind::results, enter, kResultsCancel, 0},
      {WindowKind::results, escape, kResultsAdd, kCloseSecondaryWindow},
      {WindowKind::results, copy, kResultsList, 0},
      {WindowKind::history, escape, kHistoryList, kCloseSecondaryWindow},
      {WindowKind::history, copy, kHistoryList, kCopy},
      {WindowKind::history, enter, kHistoryList, 0},
      {WindowKind::next_hours, copy, kListList, kCopy},
      {WindowKind::alert, escape, kListClose, kCloseSecondaryWindow},
      {WindowKind::alert, enter, kListList, 0},
      {WindowKind::download, escape, kDownloadCancel, kCancelDownload},
      {WindowKind::download, enter, kDownloadCancel, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandForKey(c.window, c.pressed, c.focus), c.command)
        << SpecOf(c.window).title << " key " << static_cast<int>(c.pressed.key) << " "
        << c.pressed.character << " in " << c.focus;
  }
}

// The forecast window reaches 840 by 600 at 96 DPI (its buttons past 800); a
// window may take nine tenths of the work area.
TEST(WindowSpecs, PlacesGrowWithTheTextAsFarAsTheWorkAreaAllows) {
  const struct {
    int percent, area_width, area_height;
    double scale;
  } cases[] = {
      {100, 4000, 4000, 1.0}, {150, 4000, 4000, 1.5},
      {300, 4000, 4000, 3.0}, {300, 1867, 4000, 2.0},  // the width limits
      {300, 4000, 1000, 1.5},                          // the height limits
      {200, 600, 400, 1.0},  // an area smaller than the window: its own size
  };
  const WindowSpec& forecast = SpecOf(WindowKind::forecast);
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(WindowSpecScale(forecast, c.percent, c.area_width, c.area_height), c.scale)
        << c.percent << " in " << c.area_width << "x" << c.area_height;
  }
}

}  // namespace
}  // namespace skyvigil
