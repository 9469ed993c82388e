#include "core/pattern/SkeinEstimate.h"

#include <algorithm>
#include <cmath>

namespace kanvo {

double SkeinEstimate::metres(int stitches, int fabricCount)
{
    if (stitches <= 0 || fabricCount < 1)
        return 0.0;
    const double cellMm = 25.4 / fabricCount;
    const double perStitchMm = (2.0 * std::sqrt(2.0) + 2.0) * cellMm;
    return stitches * perStitchMm * (1.0 + kWaste) / 1000.0;
}

int SkeinEstimate::skeins(int stitches, int fabricCount)
{
    if (stitches <= 0)
        return 0;
    const double perSkein = kSkeinMetres * kSkeinStrands / kStrandsUsed;
    return std::max(1, static_cast<int>(std::ceil(metres(stitches, fabricCount) / perSkein)));
}

} // namespace kanvo
