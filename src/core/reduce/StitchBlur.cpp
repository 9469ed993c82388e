#include "core/reduce/StitchBlur.h"

#include <algorithm>
#include <cmath>

namespace kanvo {

namespace {

std::array<double, StitchBlur::kTaps> kernel()
{
    std::array<double, StitchBlur::kTaps> k{};
    double sum = 0;
    for (int d = -StitchBlur::kRadius; d <= StitchBlur::kRadius; ++d)
        sum += k[static_cast<std::size_t>(d + StitchBlur::kRadius)] = std::exp(-0.5 * d * d);
    for (double& w : k)
        w /= sum;
    return k;
}

} // namespace

StitchBlur::AxisWeights StitchBlur::axisWeights(int length)
{
    // Blurred position `to` reads source clamp(to + d) with weight kernel[d]: gather those
    // weights per source position, so the repeated edge stitches get the taps beyond the edge.
    static const std::array<double, kTaps> k = kernel();
    std::vector<std::array<double, kTaps>> sums(static_cast<std::size_t>(length), std::array<double, kTaps>{});
    for (int to = 0; to < length; ++to)
        for (int d = -kRadius; d <= kRadius; ++d) {
            const int from = std::clamp(to + d, 0, length - 1);
            sums[static_cast<std::size_t>(from)][static_cast<std::size_t>(to - from + kRadius)] +=
                k[static_cast<std::size_t>(d + kRadius)];
        }
    AxisWeights weights(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < sums.size(); ++i)
        for (std::size_t t = 0; t < kTaps; ++t)
            weights[i][t] = static_cast<float>(sums[i][t]);
    return weights;
}

std::vector<LinearRgb> StitchBlur::blurred(std::span<const LinearRgb> colours, int width, int height)
{
    const AxisWeights across = axisWeights(width);
    const AxisWeights down = axisWeights(height);
    std::vector<LinearRgb> rows(colours.size());
    const auto add = [](LinearRgb& to, const LinearRgb& from, float weight) {
        to.red += weight * from.red;
        to.green += weight * from.green;
        to.blue += weight * from.blue;
    };
    // Scatter each stitch over its neighbours, first along the row, then down the column.
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x)
            for (int t = 0; t < kTaps; ++t) {
                const int to = x + t - kRadius;
                if (to >= 0 && to < width)
                    add(rows[row + static_cast<std::size_t>(to)], colours[row + static_cast<std::size_t>(x)],
                        across[static_cast<std::size_t>(x)][static_cast<std::size_t>(t)]);
            }
    }
    std::vector<LinearRgb> out(colours.size());
    for (int y = 0; y < height; ++y)
        for (int t = 0; t < kTaps; ++t) {
            const int to = y + t - kRadius;
            if (to < 0 || to >= height)
                continue;
            const float weight = down[static_cast<std::size_t>(y)][static_cast<std::size_t>(t)];
            for (int x = 0; x < width; ++x)
                add(out[static_cast<std::size_t>(to) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)],
                    rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)],
                    weight);
        }
    return out;
}

std::vector<LinearRgb> StitchBlur::blurred(std::span<const ColorValue> colours, int width, int height)
{
    std::vector<LinearRgb> linear(colours.size());
    std::transform(colours.begin(), colours.end(), linear.begin(),
        [](ColorValue c) { return ColourSpace::linearOf(c); });
    return blurred(linear, width, height);
}

} // namespace kanvo
