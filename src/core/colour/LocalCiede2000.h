#pragma once

#include "core/colour/ColourSpace.h"

namespace kanvo {

// CIEDE2000 near one colour as a quadratic form in linear RGB: for a colour c close to the
// centre, CIEDE2000(c, centre) is about sqrt(d' Q d) with d = c - centre in linear RGB. The
// form follows the formula's own lightness, chroma and hue weights and rotation term at the
// centre; it is its first-order expansion, close within a few units of difference and a rough
// guide beyond. Cheap to evaluate many times, where the formula itself is not.
class LocalCiede2000 {
public:
    explicit LocalCiede2000(const LinearRgb& centre);

    // About CIEDE2000 between centre + (red, green, blue) and the centre.
    [[nodiscard]] float difference(float red, float green, float blue) const
    {
        const float squared = rr_ * red * red + gg_ * green * green + bb_ * blue * blue
            + 2.0f * (rg_ * red * green + rb_ * red * blue + gb_ * green * blue);
        return squared > 0.0f ? __builtin_sqrtf(squared) : 0.0f;
    }

private:
    // The symmetric form, by its six distinct entries.
    float rr_ = 0, gg_ = 0, bb_ = 0, rg_ = 0, rb_ = 0, gb_ = 0;
};

} // namespace kanvo
