#include "core/colour/Ciede2000.h"

#include <algorithm>
#include <cmath>

#include "core/colour/Ciede2000Terms.h"

namespace kanvo {

namespace {

using namespace ciede2000;

// Hue angle in radians, 0..2 pi; 0 for a neutral colour.
double hueOf(double a, double b)
{
    if (a == 0.0 && b == 0.0)
        return 0.0;
    const double h = std::atan2(b, a);
    return h < 0.0 ? h + 2.0 * kPi : h;
}

} // namespace

double Ciede2000::difference(const Lab& first, const Lab& second)
{
    // Chroma adjustment of a* that makes near-neutral colours behave.
    const double meanChroma = 0.5 * (std::sqrt(first.a * first.a + first.b * first.b) + std::sqrt(second.a * second.a + second.b * second.b));
    const double meanChroma7 = pow7(meanChroma);
    const double g = 0.5 * (1.0 - std::sqrt(meanChroma7 / (meanChroma7 + kPow25To7)));
    const double a1 = (1.0 + g) * first.a;
    const double a2 = (1.0 + g) * second.a;
    const double c1 = std::sqrt(a1 * a1 + first.b * first.b);
    const double c2 = std::sqrt(a2 * a2 + second.b * second.b);

    const double deltaL = second.L - first.L;
    const double deltaC = c2 - c1;
    const double chromaProduct = c1 * c2;
    // Hue difference and mean hue from the hue directions themselves, which spares most of the
    // trigonometry: the mean hue bisects the shorter arc between the two hues, and
    // 2 sqrt(C1 C2) sin(dh / 2) = sign(dh) sqrt(da^2 + db^2 - dC^2).
    double deltaH = 0.0;
    double cos1 = 1.0;
    double sin1 = 0.0;
    const double sumA = (c1 > 0.0 ? a1 / c1 : 0.0) + (c2 > 0.0 ? a2 / c2 : 0.0);
    const double sumB = (c1 > 0.0 ? first.b / c1 : 0.0) + (c2 > 0.0 ? second.b / c2 : 0.0);
    const double sumLength = std::sqrt(sumA * sumA + sumB * sumB);
    if (chromaProduct != 0.0) {
        const double deltaA = a2 - a1;
        const double deltaB = second.b - first.b;
        const double cross = a1 * second.b - a2 * first.b;
        deltaH = std::copysign(std::sqrt(std::max(0.0, deltaA * deltaA + deltaB * deltaB - deltaC * deltaC)), cross);
    }
    if (sumLength > 1e-12) {
        cos1 = sumA / sumLength;
        sin1 = sumB / sumLength;
    } else if (chromaProduct != 0.0) {
        // Exactly opposite hues: the mean is ambiguous and the formula's own rule decides it.
        const double h1 = hueOf(a1, first.b);
        const double h2 = hueOf(a2, second.b);
        double deltaHue = h2 - h1;
        if (deltaHue > kPi)
            deltaHue -= 2.0 * kPi;
        else if (deltaHue < -kPi)
            deltaHue += 2.0 * kPi;
        deltaH = 2.0 * std::sqrt(chromaProduct) * std::sin(0.5 * deltaHue);
        double meanHue = 0.5 * (h1 + h2);
        if (std::abs(h1 - h2) <= kPi)
            meanHue = 0.5 * (h1 + h2);
        else if (h1 + h2 < 2.0 * kPi)
            meanHue = 0.5 * (h1 + h2 + 2.0 * kPi);
        else
            meanHue = 0.5 * (h1 + h2 - 2.0 * kPi);
        cos1 = std::cos(meanHue);
        sin1 = std::sin(meanHue);
    }

    const double meanL = 0.5 * (first.L + second.L);
    const double meanC = 0.5 * (c1 + c2);
    // The hue weighting T from the mean hue's cosine and sine: multiple angles by their identities.
    const double cos2 = 2.0 * cos1 * cos1 - 1.0;
    const double sin2 = 2.0 * sin1 * cos1;
    const double cos3 = cos2 * cos1 - sin2 * sin1;
    const double sin3 = sin2 * cos1 + cos2 * sin1;
    const double cos4 = 2.0 * cos2 * cos2 - 1.0;
    const double sin4 = 2.0 * sin2 * cos2;
    const double t = 1.0 - 0.17 * (cos1 * kCos30 + sin1 * kSin30) + 0.24 * cos2
        + 0.32 * (cos3 * kCos6 - sin3 * kSin6) - 0.20 * (cos4 * kCos63 + sin4 * kSin63);
    // The rotation term acts around blue (275 degrees); beyond 150 degrees from there it is
    // below 1e-15 and skipped.
    double rT = 0.0;
    if (cos1 * kCos275 + sin1 * kSin275 > -kCos30) {
        const double angle = std::atan2(sin1, cos1);
        const double hue = angle < 0.0 ? angle + 2.0 * kPi : angle;
        const double hueFrom275 = (hue / kDegree - 275.0) / 25.0;
        const double rotation = 30.0 * kDegree * std::exp(-hueFrom275 * hueFrom275);
        const double meanC7 = pow7(meanC);
        rT = -std::sin(2.0 * rotation) * 2.0 * std::sqrt(meanC7 / (meanC7 + kPow25To7));
    }
    const double lFrom50 = (meanL - 50.0) * (meanL - 50.0);
    const double sL = 1.0 + 0.015 * lFrom50 / std::sqrt(20.0 + lFrom50);
    const double sC = 1.0 + 0.045 * meanC;
    const double sH = 1.0 + 0.015 * meanC * t;

    const double termL = deltaL / sL;
    const double termC = deltaC / sC;
    const double termH = deltaH / sH;
    return std::sqrt(std::max(0.0, termL * termL + termC * termC + termH * termH + rT * termC * termH));
}

} // namespace kanvo
