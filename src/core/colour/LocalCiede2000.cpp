#include "core/colour/LocalCiede2000.h"

#include <array>
#include <cmath>
#include <numbers>

namespace kanvo {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// sRGB to XYZ, each row divided by the D65 white's X, Y and Z.
constexpr Matrix kToWhiteXyz = {{{0.4124564 / 0.95047, 0.3575761 / 0.95047, 0.1804375 / 0.95047},
    {0.2126729, 0.7151522, 0.0721750},
    {0.0193339 / 1.08883, 0.1191920 / 1.08883, 0.9503041 / 1.08883}}};
constexpr double kEpsilon = 216.0 / 24389.0;
constexpr double kKappa = 24389.0 / 27.0;
constexpr double kPow25To7 = 6103515625.0;
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kCos30 = 0.86602540378443865;
constexpr double kCos6 = 0.99452189536827329;
constexpr double kSin6 = 0.10452846326765347;
constexpr double kCos63 = 0.45399049973954679;
constexpr double kSin63 = 0.89100652418836786;
constexpr double kCos275 = 0.087155742747658166;
constexpr double kSin275 = -0.99619469809174553;

// The CIELAB curve f(t) (cube root above epsilon, a straight line below) and its slope.
struct Curve {
    double value, slope;
};
Curve curve(double t)
{
    if (t <= kEpsilon)
        return {(kKappa * t + 16.0) / 116.0, kKappa / 116.0};
    const double root = std::cbrt(t);
    return {root, 1.0 / (3.0 * root * root)};
}

double pow7(double v)
{
    const double v2 = v * v;
    return v2 * v2 * v2 * v;
}

} // namespace

LocalCiede2000::LocalCiede2000(const LinearRgb& centre)
{
    const double rgb[3] = {centre.red, centre.green, centre.blue};
    double xyz[3];
    for (int r = 0; r < 3; ++r)
        xyz[r] = kToWhiteXyz[r][0] * rgb[0] + kToWhiteXyz[r][1] * rgb[1] + kToWhiteXyz[r][2] * rgb[2];
    const Curve x = curve(xyz[0]), y = curve(xyz[1]), z = curve(xyz[2]);
    const Lab lab{116.0 * y.value - 16.0, 500.0 * (x.value - y.value), 200.0 * (y.value - z.value)};
    // d(L, a, b) / d(linear RGB).
    const double fx = x.slope, fy = y.slope, fz = z.slope;
    Matrix toLab{};
    for (int c = 0; c < 3; ++c) {
        const double dx = fx * kToWhiteXyz[0][c], dy = fy * kToWhiteXyz[1][c], dz = fz * kToWhiteXyz[2][c];
        toLab[0][c] = 116.0 * dy;
        toLab[1][c] = 500.0 * (dx - dy);
        toLab[2][c] = 200.0 * (dy - dz);
    }

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
    // The rotation term acts around blue (275 degrees) and vanishes beyond 150 degrees from it.
    double rT = 0.0;
    if (cPrime > 1e-9 && ua * kCos275 + ub * kSin275 > -kCos30) {
        double hueDegrees = std::atan2(ub, ua) / kDegree;
        if (hueDegrees < 0.0)
            hueDegrees += 360.0;
        const double fromBlue = (hueDegrees - 275.0) / 25.0;
        const double cPrime7 = pow7(cPrime);
        rT = -std::sin(60.0 * kDegree * std::exp(-fromBlue * fromBlue)) * 2.0
            * std::sqrt(cPrime7 / (cPrime7 + kPow25To7));
    }

    // (dL / sL, dC' / sC, dH' / sH) from (dL, da, db), then from linear RGB.
    const Matrix weighted = {{{1.0 / sL, 0.0, 0.0}, {0.0, (1.0 + g) * ua / sC, ub / sC},
        {0.0, -(1.0 + g) * ub / sH, ua / sH}}};
    Matrix k{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            k[r][c] = weighted[r][0] * toLab[0][c] + weighted[r][1] * toLab[1][c] + weighted[r][2] * toLab[2][c];
    // dE^2 = p0^2 + p1^2 + p2^2 + rT p1 p2 with p = k d.
    const auto entry = [&](int i, int j) {
        return static_cast<float>(k[0][i] * k[0][j] + k[1][i] * k[1][j] + k[2][i] * k[2][j]
            + 0.5 * rT * (k[1][i] * k[2][j] + k[2][i] * k[1][j]));
    };
    rr_ = entry(0, 0);
    gg_ = entry(1, 1);
    bb_ = entry(2, 2);
    rg_ = entry(0, 1);
    rb_ = entry(0, 2);
    gb_ = entry(1, 2);
}

} // namespace kanvo
