#pragma once

#include <cassert>
#include <span>
#include <vector>

#include "core/common/Color.h"

namespace kanvo {

// The grid of stitch colours shared by every stage: cell (x, y) is the colour of the stitch in
// column x, row y. Columns and rows run 0..320 (321 x 321 cells); cells beyond the fitted grid
// are not part of the chart. Every cell starts at 0.
class StitchMatrix {
public:
    static constexpr int kSize = 321;

    StitchMatrix() : cells_(static_cast<std::size_t>(kSize) * kSize, 0) {}

    [[nodiscard]] static constexpr bool contains(int x, int y)
    {
        return x >= 0 && x < kSize && y >= 0 && y < kSize;
    }
    [[nodiscard]] ColorValue at(int x, int y) const
    {
        assert(contains(x, y));
        return cells_[offset(x, y)];
    }
    // The cells of column x, rows 0..320, for loops that read whole columns.
    [[nodiscard]] std::span<const ColorValue> column(int x) const
    {
        assert(contains(x, 0));
        return {cells_.data() + offset(x, 0), static_cast<std::size_t>(kSize)};
    }
    void set(int x, int y, ColorValue color)
    {
        assert(contains(x, y));
        cells_[offset(x, y)] = color;
    }
    void fill(ColorValue color) { cells_.assign(cells_.size(), color); }

    friend bool operator==(const StitchMatrix&, const StitchMatrix&) = default;

private:
    [[nodiscard]] static constexpr std::size_t offset(int x, int y)
    {
        return static_cast<std::size_t>(x) * kSize + static_cast<std::size_t>(y);
    }

    std::vector<ColorValue> cells_;
};

} // namespace kanvo
