// The main window's layout rule, one table of window sizes, fonts and lines.
#include "views/main_layout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace skyvigil {

void PrintTo(const Rect& r, std::ostream* out) {
  *out << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}

namespace {

TEST(MainLayoutTest, ListsShareTheWidthAndTheBoxFitsItsText) {
  struct Case {
    const char* what;
    MainLayoutInput in;  // width, height, line, list frame, box frame, city, report
    MainLayout out;      // areas label, city list, heading, report list, detail box
  };
  const Case cases[] = {
      {"both fit: the city list as wide as its lines, the report takes the rest",
       {1600, 1200, 20, 30, 10, 270, 620},
       {{10, 10, 300, 20},
        {10, 30, 300, 1120},
        {320, 10, 1270, 20},
        {320, 30, 1270, 1120},
        {10, 1160, 1580, 30}}},
      {"both wider than half: half each, the box wraps to two lines",
       {800, 600, 20, 30, 10, 500, 900},
       {{10, 10, 385, 20},
        {10, 30, 385, 500},
        {405, 10, 385, 20},
        {405, 30, 385, 500},
        {10, 540, 780, 50}}},
      {"long city lines, short report: the city list passes half",
       {1000, 800, 20, 30, 10, 600, 200},
       {{10, 10, 630, 20},
        {10, 30, 630, 720},
        {650, 10, 340, 20},
        {650, 30, 340, 720},
        {10, 760, 980, 30}}},
      {"large text: wider gaps, the box stops at a quarter of the window",
       {400, 300, 40, 30, 10, 100, 2000},
       {{20, 20, 130, 40},
        {20, 60, 130, 150},
        {170, 20, 210, 40},
        {170, 60, 210, 150},
        {20, 230, 360, 50}}},
      {"a window smaller than its margins: nothing negative",
       {20, 20, 20, 30, 10, 100, 100},
       {{10, 10, 0, 20}, {10, 30, 0, 0}, {20, 10, 0, 20}, {20, 30, 0, 0}, {10, 40, 0, 30}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const MainLayout got = LayOutMainWindow(c.in);
    EXPECT_EQ(got.areas_label, c.out.areas_label);
    EXPECT_EQ(got.city_list, c.out.city_list);
    EXPECT_EQ(got.heading, c.out.heading);
    EXPECT_EQ(got.report_list, c.out.report_list);
    EXPECT_EQ(got.detail_box, c.out.detail_box);
  }
}

}  // namespace
}  // namespace skyvigil
