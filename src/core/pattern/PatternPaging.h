#pragma once

#include <string>
#include <vector>

namespace kanvo {

// A run of chart columns or rows, 0-based and half-open: [begin, end).
struct CellSpan {
    int begin = 0;
    int end = 0;
    [[nodiscard]] int size() const { return end - begin; }
    friend bool operator==(const CellSpan&, const CellSpan&) = default;
};

// One chart page of a pattern: which columns and rows it shows, overlap included. The first
// overlapColumns columns and overlapRows rows repeat the last ones of the page to the left and
// the page above.
struct PatternPage {
    int number = 0;    // 1-based, counted across then down
    int pageColumn = 0; // 0-based position in the grid of pages
    int pageRow = 0;
    CellSpan columns;
    CellSpan rows;
    int overlapColumns = 0;
    int overlapRows = 0;
    friend bool operator==(const PatternPage&, const PatternPage&) = default;
};

// How a chart is split into chart pages of whole cells.
struct PatternPaging {
    int pagesAcross = 0;
    int pagesDown = 0;
    std::vector<PatternPage> pages; // pagesAcross x pagesDown, row of pages by row of pages

    // Splits `length` cells into runs of at most `perPage` cells, each run after the first
    // starting `overlap` cells before the previous one ends. perPage below 1 counts as 1;
    // overlap is limited to perPage - 1 (every page adds at least one new cell).
    [[nodiscard]] static std::vector<CellSpan> split(int length, int perPage, int overlap);

    // Pages of a gw x gh chart with at most columnsPerPage x rowsPerPage cells a page.
    [[nodiscard]] static PatternPaging build(int gw, int gh, int columnsPerPage, int rowsPerPage, int overlap);

    // The chart's numbered lines within span: the block boundaries, multiples n of block (the
    // block width or height, at least 1) with span.begin <= n <= span.end. Line n is the one
    // after the n-th column or row counted from 1, so it carries the stitch count n.
    [[nodiscard]] static std::vector<int> numberedLines(const CellSpan& span, int block);

    // The header line of page, "第 3/8 页  列 61-130  行 1-70": 1-based and inclusive.
    [[nodiscard]] static std::string header(const PatternPage& page, int pageCount);
};

} // namespace kanvo
