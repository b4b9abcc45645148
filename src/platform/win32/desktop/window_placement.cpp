// Window placement as plain rectangle arithmetic.
#include "platform/win32/desktop/window_placement.h"

#include <algorithm>

namespace skyvigil {

RECT FitInWorkArea(const RECT& wanted, const RECT& work) {
  const LONG width = std::min(wanted.right - wanted.left, work.right - work.left);
  const LONG height = std::min(wanted.bottom - wanted.top, work.bottom - work.top);
  const LONG left = std::clamp(wanted.left, work.left, work.right - width);
  const LONG top = std::clamp(wanted.top, work.top, work.bottom - height);
  return {left, top, left + width, top + height};
}

RECT CentreInWorkArea(SIZE outer, const RECT& work) {
  const LONG left = work.left + (work.right - work.left - outer.cx) / 2;
  const LONG top = work.top + (work.bottom - work.top - outer.cy) / 2;
  return FitInWorkArea({left, top, left + outer.cx, top + outer.cy}, work);
}

}  // namespace skyvigil
