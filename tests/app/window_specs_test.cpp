// The rows the desktops build window 1 from.
#include "app/window_specs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace skyvigil {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Rows(SecondaryWindowKind kind) {
  static constexpr const char* kKinds[] = {"label", "list", "box", "button"};
  const WindowSpec& spec = SecondaryWindowSpec(kind);
  std::vector<std::string> rows = {std::string(spec.title)};
  for (const ControlSpec& c : spec.controls) {
    rows.push_back(std::to_string(c.number) + " " + kKinds[static_cast<int>(c.kind)] + " \"" +
                   std::string(c.text) + "\" \"" + std::string(c.name) + "\"");
  }
  return rows;
}

TEST(WindowSpecs, TitlesControlsTextsAndNames) {
  EXPECT_THAT(Rows(SecondaryWindowKind::forecast),
              ElementsAre("Forecast", "100 label \"Forecast\" \"\"", "101 list \"\" \"Forecast\"",
                          "103 box \"\" \"Details\"", "104 button \"Copy forecast\" \"\"",
                          "102 button \"Close\" \"\""));
  EXPECT_THAT(Rows(SecondaryWindowKind::results),
              ElementsAre("Results", "200 label \"Results\" \"\"", "201 list \"\" \"Results\"",
                          "202 button \"Add\" \"\"", "203 button \"Cancel\" \"\""));
  EXPECT_THAT(Rows(SecondaryWindowKind::history),
              ElementsAre("History", "300 label \"Announcements\" \"\"",
                          "301 list \"\" \"Announcements\""));
  EXPECT_THAT(
      Rows(SecondaryWindowKind::next_hours),
      ElementsAre("Next Hours", "400 label \"Next Hours\" \"\"", "401 list \"\" \"Next Hours\"",
                  "402 button \"Copy all\" \"\"", "403 button \"Close\" \"\""));
  EXPECT_THAT(Rows(SecondaryWindowKind::alert),
              ElementsAre("Alert", "400 label \"Alert\" \"\"", "401 list \"\" \"Alert\"",
                          "402 button \"Copy all\" \"\"", "403 button \"Close\" \"\""));
}

// A button without a handler would do nothing; a handler without a button
// would be dead. Each window has its keys and one list to route.
TEST(WindowSpecs, EveryButtonHasAHandlerAndEveryWindowItsKeys) {
  std::set<int> buttons;
  for (SecondaryWindowKind kind :
       {SecondaryWindowKind::forecast, SecondaryWindowKind::results, SecondaryWindowKind::history,
        SecondaryWindowKind::next_hours, SecondaryWindowKind::alert}) {
    const WindowSpec& spec = SecondaryWindowSpec(kind);
    EXPECT_EQ(spec.kind, kind);
    EXPECT_NE(spec.command_for, nullptr);
    int lists = 0;
    for (const ControlSpec& c : spec.controls) {
      lists += c.kind == ControlKind::list ? 1 : 0;
      if (c.kind == ControlKind::button)
        buttons.insert(c.number);
    }
    EXPECT_EQ(lists, 1) << spec.title;
  }
  std::set<int> handled;
  for (const CommandHandler& row : SecondaryWindowButtons())
    handled.insert(row.number);
  EXPECT_EQ(buttons, handled);
  EXPECT_EQ(SecondaryWindowSpec(SecondaryWindowKind::forecast).on_list_event, &OnForecastListEvent);
}

// The forecast window reaches 840 by 600 at 96 DPI (its buttons past 800).
TEST(WindowSpecs, PlacesGrowWithTheTextAsFarAsTheRoomAllows) {
  const struct {
    int percent, room_width, room_height;
    double scale;
  } cases[] = {
      {100, 4000, 4000, 1.0}, {150, 4000, 4000, 1.5},
      {300, 4000, 4000, 3.0}, {300, 1680, 4000, 2.0},  // the width limits
      {300, 4000, 900, 1.5},                           // the height limits
      {200, 600, 400, 1.0},  // a room smaller than the window: its own size
  };
  const WindowSpec& forecast = SecondaryWindowSpec(SecondaryWindowKind::forecast);
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(WindowSpecScale(forecast, c.percent, c.room_width, c.room_height), c.scale)
        << c.percent << " in " << c.room_width << "x" << c.room_height;
  }
}

}  // namespace
}  // namespace skyvigil
