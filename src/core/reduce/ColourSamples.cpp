#include "core/reduce/ColourSamples.h"

#include <algorithm>

namespace kanvo {

ColourSamples::ColourSamples(std::span<const ColorValue> picture)
{
    distinct_.reserve(picture.size());
    for (ColorValue c : picture)
        distinct_.push_back(c & 0xFFFFFFu);
    std::sort(distinct_.begin(), distinct_.end());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < distinct_.size(); ++kept) {
        std::size_t j = i;
        while (j < distinct_.size() && distinct_[j] == distinct_[i])
            ++j;
        distinct_[kept] = distinct_[i];
        counts_.push_back(static_cast<int>(j - i));
        i = j;
    }
    distinct_.resize(kept);

    if (distinct_.size() <= static_cast<std::size_t>(kMaxSamples)) {
        samples_.reserve(distinct_.size());
        for (std::size_t i = 0; i < distinct_.size(); ++i)
            samples_.push_back({ColourSpace::labOf(distinct_[i]), static_cast<double>(counts_[i])});
        return;
    }
    exact_ = false;
    binColours(5);
    if (samples_.size() > static_cast<std::size_t>(kMaxSamples))
        binColours(4);
}

void ColourSamples::binColours(int bitsPerChannel)
{
    // Boxes of 2^(8 - bits) levels per channel; each sample is the mean linear colour of a box.
    const int shift = 8 - bitsPerChannel;
    const int side = 1 << bitsPerChannel;
    struct Box {
        double red = 0, green = 0, blue = 0, weight = 0;
    };
    std::vector<Box> boxes(static_cast<std::size_t>(side * side * side));
    for (std::size_t i = 0; i < distinct_.size(); ++i) {
        const ColorValue c = distinct_[i];
        const int key = ((redOf(c) >> shift) * side + (greenOf(c) >> shift)) * side + (blueOf(c) >> shift);
        const LinearRgb linear = ColourSpace::linearOf(c);
        Box& box = boxes[static_cast<std::size_t>(key)];
        const double w = counts_[i];
        box.red += w * linear.red;
        box.green += w * linear.green;
        box.blue += w * linear.blue;
        box.weight += w;
    }
    samples_.clear();
    for (const Box& box : boxes) {
        if (box.weight == 0)
            continue;
        const LinearRgb mean{static_cast<float>(box.red / box.weight), static_cast<float>(box.green / box.weight),
            static_cast<float>(box.blue / box.weight)};
        samples_.push_back({ColourSpace::labOf(mean), box.weight});
    }
}

int ColourSamples::distinctIndexOf(ColorValue color) const
{
    const auto it = std::lower_bound(distinct_.begin(), distinct_.end(), color & 0xFFFFFFu);
    return static_cast<int>(it - distinct_.begin());
}

} // namespace kanvo
