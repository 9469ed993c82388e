#include "core/pattern/SkeinEstimate.h"

#include <algorithm>
#include <cmath>

namespace kanvo {

double SkeinEstimate::metres(int stitches, int fabricCount) { return metres(static_cast<double>(stitches), fabricCount); }

double SkeinEstimate::metres(double crosses, int fabricCount)
{
    if (!(crosses > 0.0) || fabricCount < 1)
        return 0.0;
    const double cellMm = 25.4 / fabricCount;
    const double perStitchMm = (2.0 * std::sqrt(2.0) + 2.0) * cellMm;
    return crosses * perStitchMm * (1.0 + kWaste) / 1000.0;
}

int SkeinEstimate::skeins(int stitches, int fabricCount)
{
    return stitches <= 0 ? 0 : std::max(1, skeinsFor(metres(stitches, fabricCount)));
}

int SkeinEstimate::skeins(double crosses, int fabricCount)
{
    return crosses > 0.0 ? std::max(1, skeinsFor(metres(crosses, fabricCount))) : 0;
}

double SkeinEstimate::backStitchMetres(double cells, int fabricCount)
{
    if (!(cells > 0.0) || fabricCount < 1)
        return 0.0;
    return 2.0 * cells * (25.4 / fabricCount) * (1.0 + kWaste) / 1000.0;
}

int SkeinEstimate::skeinsFor(double metres)
{
    if (!(metres > 0.0))
        return 0;
    const double perSkein = kSkeinMetres * kSkeinStrands / kStrandsUsed;
    return std::max(1, static_cast<int>(std::ceil(metres / perSkein)));
}

} // namespace kanvo
