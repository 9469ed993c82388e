#pragma once

#include <span>
#include <vector>

#include "core/colour/ColourSpace.h"
#include "core/common/Color.h"

namespace kanvo {

// The colours of a picture as weighted samples in CIELAB: its distinct colours, or, when it has
// more than a few thousand, the mean colours of small boxes of the RGB cube. The palette search
// works on these instead of on every stitch.
class ColourSamples {
public:
    static constexpr int kMaxSamples = 4096;

    struct Sample {
        Lab lab;
        double weight = 0; // stitches of this colour
    };

    explicit ColourSamples(std::span<const ColorValue> picture);

    // The picture's distinct colours, ascending, and the stitches of each.
    [[nodiscard]] std::span<const ColorValue> distinctColors() const { return distinct_; }
    [[nodiscard]] std::span<const int> distinctCounts() const { return counts_; }
    // Position of `color` in distinctColors(); the colour must be one of the picture's.
    [[nodiscard]] int distinctIndexOf(ColorValue color) const;

    [[nodiscard]] std::span<const Sample> samples() const { return samples_; }
    // True when the samples are exactly the distinct colours.
    [[nodiscard]] bool exact() const { return exact_; }

private:
    void binColours(int bitsPerChannel);

    std::vector<ColorValue> distinct_;
    std::vector<int> counts_;
    std::vector<Sample> samples_;
    bool exact_ = true;
};

} // namespace kanvo
