// The main window's layout rule.
#include "views/main_layout.h"

#include <algorithm>

namespace skyvigil {

MainLayout LayOutMainWindow(const MainLayoutInput& in) {
  // Margins and gaps grow with the text, so larger text keeps its air.
  const int gap = std::max(in.line_height / 2, 2);
  const int room = std::max(in.width - 3 * gap, 0);
  const int half = room / 2;

  const int city_wants = in.city_text_width + in.list_frame;
  const int report_wants = in.report_text_width + in.list_frame;
  const int report_least = std::min(report_wants, room - half);
  const int city_width =
      std::max(std::min(city_wants, half), std::min(city_wants, room - report_least));
  const int report_width = room - city_width;

  const int box_width = std::max(in.width - 2 * gap, 0);
  const int box_text = box_width - in.box_frame;
  int box_lines = box_text > 0 ? (in.report_text_width + box_text - 1) / box_text : 1;
  const int most_lines = in.line_height > 0 ? (in.height / 4 - in.box_frame) / in.line_height : 1;
  box_lines = std::max(std::min(box_lines, most_lines), 1);
  const int box_height = box_lines * in.line_height + in.box_frame;

  const int lists_top = gap + in.line_height;
  const int list_height = std::max(in.height - lists_top - box_height - 2 * gap, 0);
  const int report_x = gap + city_width + gap;

  MainLayout out;
  out.areas_label = {gap, gap, city_width, in.line_height};
  out.city_list = {gap, lists_top, city_width, list_height};
  out.heading = {report_x, gap, report_width, in.line_height};
  out.report_list = {report_x, lists_top, report_width, list_height};
  out.detail_box = {gap, lists_top + list_height + gap, box_width, box_height};
  return out;
}

}  // namespace skyvigil
