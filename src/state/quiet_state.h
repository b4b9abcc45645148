// What quiet hours keep between news: how much was held back since they
// began, and whether a timer is set to look for their end.
#pragma once

namespace skyvigil {

struct QuietState {
  int held = 0;                // news kept in the history unsaid
  bool end_check_set = false;  // a timer will look whether quiet hours ended
};

}  // namespace skyvigil
