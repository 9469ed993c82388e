#pragma once

#include <cassert>
#include <cstdint>
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

    StitchMatrix()
        : cells_(static_cast<std::size_t>(kSize) * kSize, 0), cloth_(static_cast<std::size_t>(kSize) * kSize, 0)
    {
    }

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
    // Sets every cell to `color` and stitched.
    void fill(ColorValue color)
    {
        cells_.assign(cells_.size(), color);
        if (clothCells_ != 0)
            cloth_.assign(cloth_.size(), 0);
        clothCells_ = 0;
    }

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

    // Cells of the picture left as bare cloth (its transparent pixels): never stitched, like the
    // padding, and no part of choosing threads. Their colour is the cloth's, white.
    [[nodiscard]] bool isCloth(int x, int y) const
    {
        assert(contains(x, y));
        return cloth_[offset(x, y)] != 0;
    }
    void setCloth(int x, int y, bool cloth)
    {
        assert(contains(x, y));
        std::uint8_t& cell = cloth_[offset(x, y)];
        clothCells_ += (cloth ? 1 : 0) - cell;
        cell = cloth ? 1 : 0;
    }
    // Column x of the cloth marks (1 = cloth), rows 0..320, for loops that read whole columns.
    [[nodiscard]] std::span<const std::uint8_t> clothColumn(int x) const
    {
        assert(contains(x, 0));
        return {cloth_.data() + offset(x, 0), static_cast<std::size_t>(kSize)};
    }
    // Whether any cell is cloth; loops over a picture without any skip the marks.
    [[nodiscard]] bool hasCloth() const { return clothCells_ != 0; }
    // The cloth marks of the width x height corner (each at most kSize) row by row from the top,
    // as the reduction takes them; empty when no cell is cloth.
    [[nodiscard]] std::vector<std::uint8_t> clothRows(int width, int height) const
    {
        std::vector<std::uint8_t> rows;
        if (!hasCloth())
            return rows;
        width = width < 0 ? 0 : (width > kSize ? kSize : width);
        height = height < 0 ? 0 : (height > kSize ? kSize : height);
        rows.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                rows.push_back(cloth_[offset(x, y)]);
        return rows;
    }
    // Whether cell (x, y) holds a stitch of the chart: in the picture and not cloth.
    [[nodiscard]] bool stitched(int x, int y) const { return inPicture(x, y) && !isCloth(x, y); }

    friend bool operator==(const StitchMatrix&, const StitchMatrix&) = default;

private:
    [[nodiscard]] static constexpr std::size_t offset(int x, int y)
    {
        return static_cast<std::size_t>(x) * kSize + static_cast<std::size_t>(y);
    }

    std::vector<ColorValue> cells_;
    std::vector<std::uint8_t> cloth_;
    int clothCells_ = 0;
    int pictureWidth_ = kSize;
    int pictureHeight_ = kSize;
};

} // namespace kanvo
