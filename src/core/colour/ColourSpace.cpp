#include "core/colour/ColourSpace.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kanvo {

namespace {

// D65 reference white of the sRGB standard.
constexpr double kWhiteX = 0.95047;
constexpr double kWhiteY = 1.0;
constexpr double kWhiteZ = 1.08883;
constexpr double kEpsilon = 216.0 / 24389.0; // (6/29)^3
constexpr double kKappa = 24389.0 / 27.0;    // (29/3)^3

const std::array<float, 256>& linearTable()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            t[static_cast<std::size_t>(i)] = static_cast<float>(
                v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

double labCurve(double t) { return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16.0) / 116.0; }

double inverseLabCurve(double f)
{
    const double cube = f * f * f;
    return cube > kEpsilon ? cube : (116.0 * f - 16.0) / kKappa;
}

} // namespace

float ColourSpace::linearOfChannel(int channel)
{
    return linearTable()[static_cast<std::size_t>(std::clamp(channel, 0, 255))];
}

int ColourSpace::channelOfLinear(float linear)
{
    const double v = std::clamp(static_cast<double>(linear), 0.0, 1.0);
    const double encoded = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return static_cast<int>(std::lround(encoded * 255.0));
}

LinearRgb ColourSpace::linearOf(ColorValue color)
{
    const auto& t = linearTable();
    return {t[static_cast<std::size_t>(redOf(color))], t[static_cast<std::size_t>(greenOf(color))],
        t[static_cast<std::size_t>(blueOf(color))]};
}

ColorValue ColourSpace::colorOf(const LinearRgb& linear)
{
    return makeColor(channelOfLinear(linear.red), channelOfLinear(linear.green), channelOfLinear(linear.blue));
}

Lab ColourSpace::labOf(const LinearRgb& c)
{
    const double x = 0.4124564 * c.red + 0.3575761 * c.green + 0.1804375 * c.blue;
    const double y = 0.2126729 * c.red + 0.7151522 * c.green + 0.0721750 * c.blue;
    const double z = 0.0193339 * c.red + 0.1191920 * c.green + 0.9503041 * c.blue;
    const double fx = labCurve(x / kWhiteX);
    const double fy = labCurve(y / kWhiteY);
    const double fz = labCurve(z / kWhiteZ);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

LinearRgb ColourSpace::linearOf(const Lab& lab)
{
    const double fy = (lab.L + 16.0) / 116.0;
    const double x = kWhiteX * inverseLabCurve(fy + lab.a / 500.0);
    const double y = kWhiteY * inverseLabCurve(fy);
    const double z = kWhiteZ * inverseLabCurve(fy - lab.b / 200.0);
    return {static_cast<float>(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
        static_cast<float>(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
        static_cast<float>(0.0556434 * x - 0.2040259 * y + 1.0572252 * z)};
}

} // namespace kanvo
