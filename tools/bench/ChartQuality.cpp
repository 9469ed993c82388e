#include "ChartQuality.h"

#include <set>
#include <vector>

#include "core/colour/Ciede2000.h"
#include "core/reduce/StitchBlur.h"

namespace kanvo {

namespace {

// Stitches of same-colour regions of at most 2 stitches: a stitch alone, or two side by side
// with no other stitch of their colour next to either.
int islandStitches(std::span<const ColorValue> chart, int width, int height)
{
    const auto same = [&](int x, int y, int nx, int ny) {
        return nx >= 0 && ny >= 0 && nx < width && ny < height
            && chart[static_cast<std::size_t>(ny * width + nx)] == chart[static_cast<std::size_t>(y * width + x)];
    };
    const auto sameNeighbours = [&](int x, int y) {
        return same(x, y, x - 1, y) + same(x, y, x + 1, y) + same(x, y, x, y - 1) + same(x, y, x, y + 1);
    };
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int n = sameNeighbours(x, y);
            if (n == 0) {
                ++count;
            } else if (n == 1) {
                // The one same-colour neighbour must have no other.
                const int nx = same(x, y, x - 1, y) ? x - 1 : same(x, y, x + 1, y) ? x + 1 : x;
                const int ny = nx != x ? y : same(x, y, x, y - 1) ? y - 1 : y + 1;
                count += sameNeighbours(nx, ny) == 1 ? 1 : 0;
            }
        }
    return count;
}

} // namespace

ChartQuality ChartQuality::measure(std::span<const ColorValue> picture, std::span<const ColorValue> chart, int width,
    int height)
{
    ChartQuality q;
    const std::size_t n = picture.size();
    const std::vector<LinearRgb> softPicture = StitchBlur::blurred(picture, width, height);
    const std::vector<LinearRgb> softChart = StitchBlur::blurred(chart, width, height);
    int confetti = 0;
    for (std::size_t i = 0; i < n; ++i) {
        q.perceivedError += Ciede2000::difference(ColourSpace::labOf(softPicture[i]), ColourSpace::labOf(softChart[i]));
        q.pixelError += Ciede2000::difference(ColourSpace::labOf(picture[i]), ColourSpace::labOf(chart[i]));
        const int x = static_cast<int>(i % static_cast<std::size_t>(width));
        const int y = static_cast<int>(i / static_cast<std::size_t>(width));
        const bool alone = (x == 0 || chart[i - 1] != chart[i]) && (x + 1 == width || chart[i + 1] != chart[i])
            && (y == 0 || chart[i - static_cast<std::size_t>(width)] != chart[i])
            && (y + 1 == height || chart[i + static_cast<std::size_t>(width)] != chart[i]);
        confetti += alone ? 1 : 0;
    }
    q.perceivedError /= static_cast<double>(n);
    q.pixelError /= static_cast<double>(n);
    q.confettiShare = static_cast<double>(confetti) / static_cast<double>(n);
    q.islandShare = static_cast<double>(islandStitches(chart, width, height)) / static_cast<double>(n);
    q.colours = static_cast<int>(std::set<ColorValue>(chart.begin(), chart.end()).size());
    return q;
}

} // namespace kanvo
