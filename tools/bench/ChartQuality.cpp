#include "ChartQuality.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "core/colour/Ciede2000.h"

namespace kanvo {

namespace {

// Separable Gaussian blur, sigma 1, radius 3, edges repeated.
std::vector<LinearRgb> blurred(std::span<const ColorValue> pixels, int width, int height)
{
    constexpr int kRadius = 3;
    double kernel[2 * kRadius + 1];
    double sum = 0;
    for (int k = -kRadius; k <= kRadius; ++k)
        sum += kernel[k + kRadius] = std::exp(-0.5 * k * k);
    for (double& k : kernel)
        k /= sum;
    std::vector<LinearRgb> linear(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        linear[i] = ColourSpace::linearOf(pixels[i]);
    const auto pass = [&](const std::vector<LinearRgb>& in, bool across) {
        std::vector<LinearRgb> out(in.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                double r = 0, g = 0, b = 0;
                for (int k = -kRadius; k <= kRadius; ++k) {
                    const int sx = across ? std::clamp(x + k, 0, width - 1) : x;
                    const int sy = across ? y : std::clamp(y + k, 0, height - 1);
                    const LinearRgb& c = in[static_cast<std::size_t>(sy * width + sx)];
                    r += kernel[k + kRadius] * c.red;
                    g += kernel[k + kRadius] * c.green;
                    b += kernel[k + kRadius] * c.blue;
                }
                out[static_cast<std::size_t>(y * width + x)] = {static_cast<float>(r), static_cast<float>(g),
                    static_cast<float>(b)};
            }
        return out;
    };
    return pass(pass(linear, true), false);
}

} // namespace

ChartQuality ChartQuality::measure(std::span<const ColorValue> picture, std::span<const ColorValue> chart, int width,
    int height)
{
    ChartQuality q;
    const std::size_t n = picture.size();
    const std::vector<LinearRgb> softPicture = blurred(picture, width, height);
    const std::vector<LinearRgb> softChart = blurred(chart, width, height);
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
    q.colours = static_cast<int>(std::set<ColorValue>(chart.begin(), chart.end()).size());
    return q;
}

} // namespace kanvo
