#pragma once

#include <cmath>

namespace kanvo {

// Every real-to-integer conversion of the program rounds to the nearest integer with halves
// going to the even neighbour (2.5 -> 2, 3.5 -> 4). std::nearbyint does that in the default
// floating-point environment, which the program never changes.
[[nodiscard]] inline long roundHalfEven(double value) { return std::lrint(value); }
[[nodiscard]] inline int roundHalfEvenInt(double value) { return static_cast<int>(std::lrint(value)); }

} // namespace kanvo
