#pragma once

namespace kanvo {

// A cell of the chart grid: column x and row y, both counted from 0.
struct CellPos {
    int x = 0;
    int y = 0;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

} // namespace kanvo
