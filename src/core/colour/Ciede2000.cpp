#include "core/colour/Ciede2000.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kanvo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;
constexpr double kPow25To7 = 6103515625.0; // 25^7
constexpr double kCos30 = 0.86602540378443865;
constexpr double kSin30 = 0.5;
constexpr double kCos6 = 0.99452189536827329;
constexpr double kSin6 = 0.10452846326765347;
constexpr double kCos63 = 0.45399049973954679;
constexpr double kSin63 = 0.89100652418836786;

double pow7(double v)
{
    const double v2 = v * v;
    return v2 * v2 * v2 * v;
}

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
    const double h1 = hueOf(a1, first.b);
    const double h2 = hueOf(a2, second.b);

    const double deltaL = second.L - first.L;
    const double deltaC = c2 - c1;
    const double chromaProduct = c1 * c2;
    double deltaHue = 0.0;
    double meanHue = h1 + h2;
    if (chromaProduct != 0.0) {
        deltaHue = h2 - h1;
        if (deltaHue > kPi)
            deltaHue -= 2.0 * kPi;
        else if (deltaHue < -kPi)
            deltaHue += 2.0 * kPi;
        if (std::abs(h1 - h2) <= kPi)
            meanHue = 0.5 * (h1 + h2);
        else if (h1 + h2 < 2.0 * kPi)
            meanHue = 0.5 * (h1 + h2 + 2.0 * kPi);
        else
            meanHue = 0.5 * (h1 + h2 - 2.0 * kPi);
    }
    const double deltaH = 2.0 * std::sqrt(chromaProduct) * std::sin(0.5 * deltaHue);

    const double meanL = 0.5 * (first.L + second.L);
    const double meanC = 0.5 * (c1 + c2);
    // The hue weighting T from one sine and cosine: the multiple angles by their identities.
    const double cos1 = std::cos(meanHue);
    const double sin1 = std::sin(meanHue);
    const double cos2 = 2.0 * cos1 * cos1 - 1.0;
    const double sin2 = 2.0 * sin1 * cos1;
    const double cos3 = cos2 * cos1 - sin2 * sin1;
    const double sin3 = sin2 * cos1 + cos2 * sin1;
    const double cos4 = 2.0 * cos2 * cos2 - 1.0;
    const double sin4 = 2.0 * sin2 * cos2;
    const double t = 1.0 - 0.17 * (cos1 * kCos30 + sin1 * kSin30) + 0.24 * cos2
        + 0.32 * (cos3 * kCos6 - sin3 * kSin6) - 0.20 * (cos4 * kCos63 + sin4 * kSin63);
    const double hueFrom275 = (meanHue / kDegree - 275.0) / 25.0;
    const double rotation = 30.0 * kDegree * std::exp(-hueFrom275 * hueFrom275);
    const double meanC7 = pow7(meanC);
    const double rotationC = 2.0 * std::sqrt(meanC7 / (meanC7 + kPow25To7));
    const double lFrom50 = (meanL - 50.0) * (meanL - 50.0);
    const double sL = 1.0 + 0.015 * lFrom50 / std::sqrt(20.0 + lFrom50);
    const double sC = 1.0 + 0.045 * meanC;
    const double sH = 1.0 + 0.015 * meanC * t;
    const double rT = -std::sin(2.0 * rotation) * rotationC;

    const double termL = deltaL / sL;
    const double termC = deltaC / sC;
    const double termH = deltaH / sH;
    return std::sqrt(std::max(0.0, termL * termL + termC * termC + termH * termH + rT * termC * termH));
}

} // namespace kanvo
