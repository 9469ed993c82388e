#include "core/chart/SymbolInk.h"

#include <cmath>

namespace kanvo {

namespace {

double linearChannel(int value)
{
    const double v = value / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

} // namespace

bool wantsWhiteSymbol(ColorValue block)
{
    const double luminance = 0.2126 * linearChannel(redOf(block)) + 0.7152 * linearChannel(greenOf(block))
        + 0.0722 * linearChannel(blueOf(block));
    // Contrast with white (1.05 / (L + 0.05)) beats contrast with black ((L + 0.05) / 0.05).
    return 1.05 / (luminance + 0.05) > (luminance + 0.05) / 0.05;
}

} // namespace kanvo
