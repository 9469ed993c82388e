#pragma once

#include <algorithm>
#include <cmath>

#include "core/colour/ColourSpace.h"

namespace kanvo {

// CIEDE2000 near one colour as a quadratic form in CIELAB: for a colour c close to the centre,
// CIEDE2000(c, centre) is about sqrt(d' Q d) with d = c - centre in CIELAB. The form follows the
// formula's own lightness, chroma and hue weights and rotation term at the centre; it is its
// first-order expansion, close within a few units of difference and a rough guide beyond. Cheap
// to evaluate many times, where the formula itself is not.
class LocalCiede2000 {
public:
    // The form's weights: difference^2 = ll dL^2 + aa da^2 + bb db^2 + 2 ab da db.
    struct Weights {
        float ll = 0, aa = 0, bb = 0, ab = 0;
    };

    explicit LocalCiede2000(const Lab& centre);

    [[nodiscard]] Weights weights() const { return weights_; }

    // About CIEDE2000 between centre + (dL, da, db) and the centre.
    [[nodiscard]] float difference(float dL, float da, float db) const { return difference(weights_, dL, da, db); }

    // The same by the weights `q` of a form; branch-free, so that loops of it vectorise.
    [[gnu::always_inline]] static float difference(const Weights& q, float dL, float da, float db)
    {
        // Lightness and chroma-hue parts are independent in the formula.
        const float squared = q.ll * dL * dL + q.aa * da * da + q.bb * db * db + 2.0f * q.ab * da * db;
        return std::sqrt(std::max(squared, 0.0f));
    }

private:
    Weights weights_;
};

} // namespace kanvo
