// The text size's range.
#include "views/text_size.h"

#include <algorithm>

namespace skyvigil {

int UsableTextSize(int64_t percent) {
  return static_cast<int>(std::clamp<int64_t>(percent, kSmallestTextSize, kLargestTextSize));
}

}  // namespace skyvigil
