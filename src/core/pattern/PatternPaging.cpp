#include "core/pattern/PatternPaging.h"

#include <algorithm>

namespace kanvo {

std::vector<CellSpan> PatternPaging::split(int length, int perPage, int overlap)
{
    std::vector<CellSpan> spans;
    if (length <= 0)
        return spans;
    perPage = std::max(perPage, 1);
    overlap = std::clamp(overlap, 0, perPage - 1);
    int begin = 0;
    while (true) {
        const int end = std::min(begin + perPage, length);
        spans.push_back(CellSpan{begin, end});
        if (end == length)
            return spans;
        begin = end - overlap;
    }
}

PatternPaging PatternPaging::build(int gw, int gh, int columnsPerPage, int rowsPerPage, int overlap)
{
    PatternPaging paging;
    const std::vector<CellSpan> columns = split(gw, columnsPerPage, overlap);
    const std::vector<CellSpan> rows = split(gh, rowsPerPage, overlap);
    paging.pagesAcross = static_cast<int>(columns.size());
    paging.pagesDown = static_cast<int>(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            PatternPage page;
            page.number = static_cast<int>(paging.pages.size()) + 1;
            page.pageColumn = static_cast<int>(c);
            page.pageRow = static_cast<int>(r);
            page.columns = columns[c];
            page.rows = rows[r];
            page.overlapColumns = c == 0 ? 0 : columns[c - 1].end - columns[c].begin;
            page.overlapRows = r == 0 ? 0 : rows[r - 1].end - rows[r].begin;
            paging.pages.push_back(page);
        }
    }
    return paging;
}

std::vector<int> PatternPaging::numberedLines(const CellSpan& span, int block)
{
    block = std::max(block, 1);
    std::vector<int> lines;
    for (int n = (std::max(span.begin, 1) + block - 1) / block * block; n <= span.end; n += block)
        lines.push_back(n);
    return lines;
}

std::string PatternPaging::header(const PatternPage& page, int pageCount)
{
    return "第 " + std::to_string(page.number) + "/" + std::to_string(pageCount) + " 页  列 "
        + std::to_string(page.columns.begin + 1) + "-" + std::to_string(page.columns.end) + "  行 "
        + std::to_string(page.rows.begin + 1) + "-" + std::to_string(page.rows.end);
}

} // namespace kanvo
