// The text size of every window, in steps the user takes from the Settings menu.
#pragma once

#include <cstdint>

namespace skyvigil {

inline constexpr int kSmallestTextSize = 100;
inline constexpr int kLargestTextSize = 300;
inline constexpr int kTextSizeStep = 25;

// A saved size brought into the range (a file edited by hand may hold anything).
int UsableTextSize(int64_t percent);

}  // namespace skyvigil
