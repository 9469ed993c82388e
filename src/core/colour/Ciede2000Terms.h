#pragma once

#include <numbers>

// Constants of the CIEDE2000 formula shared by Ciede2000 and LocalCiede2000: the cosines and
// sines of its fixed angles, and the chroma power it compares with 25^7.
namespace kanvo::ciede2000 {

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kDegree = kPi / 180.0;
inline constexpr double kPow25To7 = 6103515625.0; // 25^7
inline constexpr double kCos30 = 0.86602540378443865;
inline constexpr double kSin30 = 0.5;
inline constexpr double kCos6 = 0.99452189536827329;
inline constexpr double kSin6 = 0.10452846326765347;
inline constexpr double kCos63 = 0.45399049973954679;
inline constexpr double kSin63 = 0.89100652418836786;
inline constexpr double kCos275 = 0.087155742747658166;
inline constexpr double kSin275 = -0.99619469809174553;

[[nodiscard]] inline double pow7(double v)
{
    const double v2 = v * v;
    return v2 * v2 * v2 * v;
}

} // namespace kanvo::ciede2000
