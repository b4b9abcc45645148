// The main window's place: inside the work area of its monitor, shrunk to it
// when larger.
#include "platform/win32/desktop/window_placement.h"

#include <gtest/gtest.h>

namespace skyvigil {
namespace {

struct Placement {
  const char* name;
  SIZE outer;
  RECT work;
  RECT placed;
};

void PrintTo(const Placement& placement, std::ostream* out) {
  *out << placement.name;
}

// 1616 by 1259 is 1600 by 1200 inside a frame and menu bar at 96 DPI.
const Placement kPlacements[] = {
    {"CentredWhenItFits", {1616, 1259}, {0, 0, 1920, 1400}, {152, 70, 1768, 1329}},
    {"ShrunkToAFullHdWorkArea", {1616, 1259}, {0, 0, 1920, 1040}, {152, 0, 1768, 1040}},
    {"ShrunkBothWays", {1616, 1259}, {0, 0, 1280, 984}, {0, 0, 1280, 984}},
    {"TaskbarOnTheLeft", {1616, 1259}, {62, 0, 1920, 1080}, {183, 0, 1799, 1080}},
    {"TaskbarAtTheTop", {800, 600}, {0, 48, 1920, 1080}, {560, 264, 1360, 864}},
    {"SecondMonitorLeftOfThePrimary", {1616, 1259}, {-1280, 0, 0, 984}, {-1280, 0, 0, 984}},
    {"SecondMonitorAbove", {800, 600}, {0, -1080, 1920, -40}, {560, -860, 1360, -260}},
    {"ExactFit", {1280, 1024}, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}},
};

class CentreInWorkAreaTest : public ::testing::TestWithParam<Placement> {};

TEST_P(CentreInWorkAreaTest, StaysInsideTheWorkArea) {
  const Placement& p = GetParam();
  const RECT placed = CentreInWorkArea(p.outer, p.work);
  EXPECT_EQ(placed.left, p.placed.left);
  EXPECT_EQ(placed.top, p.placed.top);
  EXPECT_EQ(placed.right, p.placed.right);
  EXPECT_EQ(placed.bottom, p.placed.bottom);
}

INSTANTIATE_TEST_SUITE_P(Placements, CentreInWorkAreaTest, ::testing::ValuesIn(kPlacements),
                         [](const auto& info) { return std::string(info.param.name); });

struct Fit {
  const char* name;
  RECT wanted;
  RECT placed;
};

void PrintTo(const Fit& fit, std::ostream* out) {
  *out << fit.name;
}

// Work area 0,40 to 1920,1080 (a taskbar along the top).
const Fit kFits[] = {
    {"InsideStaysPut", {100, 100, 900, 700}, {100, 100, 900, 700}},
    {"TitleAboveTheTopComesDown", {100, -30, 900, 570}, {100, 40, 900, 640}},
    {"LeftOfTheScreenComesIn", {-500, 100, 300, 700}, {0, 100, 800, 700}},
    {"PastTheRightGoesBack", {1500, 100, 2300, 700}, {1120, 100, 1920, 700}},
    {"PastTheBottomGoesUp", {100, 900, 900, 1500}, {100, 480, 900, 1080}},
    {"TooTallShrinksToTheTop", {100, -200, 900, 1300}, {100, 40, 900, 1080}},
};

class FitInWorkAreaTest : public ::testing::TestWithParam<Fit> {};

TEST_P(FitInWorkAreaTest, MovesAndShrinksIntoTheWorkArea) {
  const Fit& f = GetParam();
  const RECT placed = FitInWorkArea(f.wanted, {0, 40, 1920, 1080});
  EXPECT_EQ(placed.left, f.placed.left);
  EXPECT_EQ(placed.top, f.placed.top);
  EXPECT_EQ(placed.right, f.placed.right);
  EXPECT_EQ(placed.bottom, f.placed.bottom);
}

INSTANTIATE_TEST_SUITE_P(Fits, FitInWorkAreaTest, ::testing::ValuesIn(kFits),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil
