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

    // The picture covers the cells [0, pictureWidth()) x [0, pictureHeight()); a grid larger than
    // the picture reaches past it to the right and below, and those cells are padding, never
    // stitched. All cells belong to the picture unless set otherwise.
    [[nodiscard]] int pictureWidth() const { return pictureWidth_; }
    [[nodiscard]] int pictureHeight() const { return pictureHeight_; }
    [[nodiscard]] bool inPicture(int x, int y) const { return x < pictureWidth_ && y < pictureHeight_; }
    void setPictureSize(int width, int height)
    {
        pictureWidth_ = width < 0 ? 0 : (width > kSize ? kSize : width);
        pictureHeight_ = height < 0 ? 0 : (height > kSize ? kSize : height);
    }

    friend bool operator==(const StitchMatrix&, const StitchMatrix&) = default;

private:
    [[nodiscard]] static constexpr std::size_t offset(int x, int y)
    {
        return static_cast<std::size_t>(x) * kSize + static_cast<std::size_t>(y);
    }

    std::vector<ColorValue> cells_;
    int pictureWidth_ = kSize;
    int pictureHeight_ = kSize;
};

} // namespace kanvo
