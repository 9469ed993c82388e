#include "core/edit/EditColorModel.h"

#include <array>
#include <unordered_map>

#include "core/palette/NearestThread.h"

namespace kanvo {

EditColorError EditColorModel::build(const StitchMatrix& stitches, int width, int height,
    const ThreadTable& table, EditColorModel& out, const std::function<void()>& pumpRow)
{
    out = EditColorModel{};
    if (width < 1 || height < 1 || width > kSide - 1 || height > kSide - 1)
        return EditColorError::InvalidSize;

    // Distinct colours in order of first appearance, row by row as the chart numbers them.
    std::unordered_map<ColorValue, int> positionOf; // colour -> 0-based position
    positionOf.reserve(2 * kMaxColors);
    std::vector<ColorValue> colors;
    colors.reserve(kMaxColors);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const ColorValue c = stitches.at(x, y);
            if (positionOf.find(c) != positionOf.end())
                continue;
            if (static_cast<int>(colors.size()) == kMaxColors)
                return EditColorError::TooManyColors;
            positionOf.emplace(c, static_cast<int>(colors.size()));
            colors.push_back(c);
        }
        if (pumpRow)
            pumpRow();
    }

    const NearestThread& nearest = NearestThread::forTable(table);
    std::vector<int> threadOf(colors.size());
    std::array<bool, ThreadTable::kEntries + 1> listed{};
    for (std::size_t p = 0; p < colors.size(); ++p) {
        const int t = nearest.nearest(colors[p]);
        threadOf[p] = t;
        if (!listed[static_cast<std::size_t>(t)]) {
            listed[static_cast<std::size_t>(t)] = true;
            out.colorList.push_back(t);
        }
    }

    out.colorIndex.assign(static_cast<std::size_t>(kSide) * kSide, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int p = positionOf.find(stitches.at(x, y))->second;
            out.colorIndex[static_cast<std::size_t>(x) * kSide + static_cast<std::size_t>(y)]
                = threadOf[static_cast<std::size_t>(p)];
        }
        if (pumpRow)
            pumpRow();
    }
    out.width = width;
    out.height = height;
    out.distinctColors = static_cast<int>(colors.size());
    out.maxColor = static_cast<int>(out.colorList.size());
    return EditColorError::None;
}

} // namespace kanvo
