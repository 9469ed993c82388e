#pragma once

namespace kanvo {

// Geometry of the editor's palette strips, in strip pixels (origin top-left of the strip): a grid
// of 10 columns, 18 pixels across and 14 down per cell, one cell per list entry in reading order.
// Entry i (1-based) sits in row (i - 1) / 10, column (i - 1) % 10; its swatch fills the pixels
// 1..15 across and 1..11 down inside the cell. Light-grey lines run along the row boundaries
// (y = 0, 14, ..., rows * 14, from x = 0 to 195) and the column boundaries (x = 0, 18, ..., 180,
// from y = 0 to rows * 14).
struct PaletteLayout {
    static constexpr int kColumns = 10;
    static constexpr int kPitchX = 18;
    static constexpr int kPitchY = 14;
    static constexpr int kSwatchWidth = 15;
    static constexpr int kSwatchHeight = 11;
    static constexpr int kLineEnd = 195; // the row lines run to this x, inclusive
    static constexpr int kWidth = kLineEnd + 1;

    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const Rect&, const Rect&) = default;
    };

    // ceiling(entries / 10); 0 for no entries.
    [[nodiscard]] static constexpr int rows(int entries) { return entries <= 0 ? 0 : (entries + kColumns - 1) / kColumns; }
    // rows * 14 + 10: the strip's height.
    [[nodiscard]] static constexpr int stripHeight(int entries) { return rows(entries) * kPitchY + 10; }
    // rows * 14: the scroll bar's maximum.
    [[nodiscard]] static constexpr int scrollMaximum(int entries) { return rows(entries) * kPitchY; }

    // The swatch of entry `position` (1-based, >= 1).
    [[nodiscard]] static constexpr Rect swatch(int position)
    {
        const int row = (position - 1) / kColumns;
        const int column = (position - 1) % kColumns;
        return Rect{column * kPitchX + 1, row * kPitchY + 1, kSwatchWidth, kSwatchHeight};
    }

    // The entry whose cell holds strip pixel (x, y), lines included; 0 when the point lies
    // outside every cell of the first `entries` entries.
    [[nodiscard]] static constexpr int entryAt(int x, int y, int entries)
    {
        if (x < 0 || y < 0 || x >= kColumns * kPitchX)
            return 0;
        const int position = (y / kPitchY) * kColumns + x / kPitchX + 1;
        return position <= entries ? position : 0;
    }
};

} // namespace kanvo
