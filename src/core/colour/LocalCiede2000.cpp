#include "core/colour/LocalCiede2000.h"

#include <cmath>

#include "core/colour/Ciede2000Terms.h"

namespace kanvo {

using namespace ciede2000;

LocalCiede2000::LocalCiede2000(const Lab& lab)
{
    // The formula's terms at the centre, where both colours of a small difference lie.
    const double chroma = std::sqrt(lab.a * lab.a + lab.b * lab.b);
    const double chroma7 = pow7(chroma);
    const double g = 0.5 * (1.0 - std::sqrt(chroma7 / (chroma7 + kPow25To7)));
    const double aPrime = (1.0 + g) * lab.a;
    const double cPrime = std::sqrt(aPrime * aPrime + lab.b * lab.b);
    // The chroma and hue directions in the (a', b) plane; any pair for a neutral colour.
    const double ua = cPrime > 1e-9 ? aPrime / cPrime : 1.0;
    const double ub = cPrime > 1e-9 ? lab.b / cPrime : 0.0;
    // The hue weighting T from the hue's cosine and sine: multiple angles by their identities.
    const double cos2 = 2.0 * ua * ua - 1.0, sin2 = 2.0 * ub * ua;
    const double cos3 = cos2 * ua - sin2 * ub, sin3 = sin2 * ua + cos2 * ub;
    const double cos4 = 2.0 * cos2 * cos2 - 1.0, sin4 = 2.0 * sin2 * cos2;
    const double t = 1.0 - 0.17 * (ua * kCos30 + ub * 0.5) + 0.24 * cos2 + 0.32 * (cos3 * kCos6 - sin3 * kSin6)
        - 0.20 * (cos4 * kCos63 + sin4 * kSin63);
    const double lFrom50 = (lab.L - 50.0) * (lab.L - 50.0);
    const double sL = 1.0 + 0.015 * lFrom50 / std::sqrt(20.0 + lFrom50);
    const double sC = 1.0 + 0.045 * cPrime;
    const double sH = 1.0 + 0.015 * cPrime * t;
    // The rotation term acts around blue (275 degrees): 100 degrees from it, its weight
    // exp(-(100 / 25)^2) is under 1e-7, so further hues skip the trigonometry.
    constexpr double kCos100 = -0.17364817766693033;
    double rT = 0.0;
    if (cPrime > 1e-9 && ua * kCos275 + ub * kSin275 > kCos100) {
        double hueDegrees = std::atan2(ub, ua) / kDegree;
        if (hueDegrees < 0.0)
            hueDegrees += 360.0;
        const double fromBlue = (hueDegrees - 275.0) / 25.0;
        const double cPrime7 = pow7(cPrime);
        rT = -std::sin(60.0 * kDegree * std::exp(-fromBlue * fromBlue)) * 2.0
            * std::sqrt(cPrime7 / (cPrime7 + kPow25To7));
    }

    // dE^2 = (dL / sL)^2 + p1^2 + p2^2 + rT p1 p2, with p1 = dC' / sC and p2 = dH' / sH each a
    // row times (da, db).
    const double c1 = (1.0 + g) * ua / sC, c2 = ub / sC;
    const double h1 = -(1.0 + g) * ub / sH, h2 = ua / sH;
    weights_ = {static_cast<float>(1.0 / (sL * sL)), static_cast<float>(c1 * c1 + h1 * h1 + rT * c1 * h1),
        static_cast<float>(c2 * c2 + h2 * h2 + rT * c2 * h2),
        static_cast<float>(c1 * c2 + h1 * h2 + 0.5 * rT * (c1 * h2 + h1 * c2))};
}

} // namespace kanvo
