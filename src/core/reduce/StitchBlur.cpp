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
    static const std::array<double, kTaps> k = kernel();
    std::array<float, kTaps> taps{};
    std::transform(k.begin(), k.end(), taps.begin(), [](double w) { return static_cast<float>(w); });
    // Rows and columns are blurred as rows of floats (three a stitch), each tap a whole-row step.
    constexpr std::size_t kChannels = 3;
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t rowFloats = w * kChannels;
    std::vector<float> across(colours.size() * kChannels);
    // Each row with its edge stitches repeated kRadius times on either side.
    std::vector<float> padded((w + 2 * kRadius) * kChannels);
    for (std::size_t y = 0; y < h; ++y) {
        const LinearRgb* row = colours.data() + y * w;
        for (std::size_t x = 0; x < w + 2 * kRadius; ++x) {
            const LinearRgb& c = row[std::clamp<std::size_t>(x, kRadius, w + kRadius - 1) - kRadius];
            padded[x * kChannels] = c.red;
            padded[x * kChannels + 1] = c.green;
            padded[x * kChannels + 2] = c.blue;
        }
        float* out = across.data() + y * rowFloats;
        for (std::size_t t = 0; t < kTaps; ++t) {
            const float* in = padded.data() + t * kChannels;
            for (std::size_t j = 0; j < rowFloats; ++j)
                out[j] += taps[t] * in[j];
        }
    }
    std::vector<LinearRgb> result(colours.size());
    std::vector<float> line(rowFloats);
    for (std::size_t y = 0; y < h; ++y) {
        std::fill(line.begin(), line.end(), 0.0f);
        for (std::size_t t = 0; t < kTaps; ++t) {
            const std::size_t from = static_cast<std::size_t>(
                std::clamp(static_cast<int>(y + t) - kRadius, 0, height - 1));
            const float* in = across.data() + from * rowFloats;
            for (std::size_t j = 0; j < rowFloats; ++j)
                line[j] += taps[t] * in[j];
        }
        for (std::size_t x = 0; x < w; ++x)
            result[y * w + x] = {line[x * kChannels], line[x * kChannels + 1], line[x * kChannels + 2]};
    }
    return result;
}

std::vector<LinearRgb> StitchBlur::blurred(std::span<const ColorValue> colours, int width, int height)
{
    std::vector<LinearRgb> linear(colours.size());
    std::transform(colours.begin(), colours.end(), linear.begin(),
        [](ColorValue c) { return ColourSpace::linearOf(c); });
    return blurred(linear, width, height);
}

} // namespace kanvo
