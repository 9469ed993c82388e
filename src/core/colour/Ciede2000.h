#pragma once

#include "core/colour/ColourSpace.h"

namespace kanvo {

// The CIEDE2000 colour difference (parametric factors kL = kC = kH = 1): about 1 for a
// difference an observer just notices, 0 only for equal colours.
class Ciede2000 {
public:
    [[nodiscard]] static double difference(const Lab& first, const Lab& second);
};

} // namespace kanvo
