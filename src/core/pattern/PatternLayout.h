#pragma once

#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "core/chart/DrawList.h"
#include "core/common/Color.h"
#include "core/palette/ChartModel.h"
#include "core/pattern/PatternPaging.h"

namespace kanvo {

class ThreadTable;

enum class PaperSize { A4, Letter };
enum class PatternStyle {
    Tint,       // cells in a light tint of the thread colour, symbols stand out for printing
    FullColour, // cells in the thread colour, for tablets
};

// The choices of a pattern PDF.
struct PatternOptions {
    static constexpr int kDefaultFabric = 14;
    static constexpr float kAutoCell = 0.0f;
    static constexpr float kAutoCellLargest = 3.0f;
    static constexpr float kAutoCellSmallest = 2.5f;
    static constexpr float kCellMin = 1.5f;
    static constexpr float kCellMax = 10.0f;
    static constexpr int kOverlapMax = 10;

    PaperSize paper = PaperSize::A4;
    int fabricCount = kDefaultFabric; // stitches per inch (Aida count), at least 1
    // Side of a chart cell in millimetres (kCellMin..kCellMax); kAutoCell picks, from 3.0 mm
    // down to 2.5 mm in steps of 0.1 mm, the largest cell that gives the fewest chart pages.
    float cellMm = kAutoCell;
    int overlap = 2; // rows and columns repeated from the neighbouring page, 0..kOverlapMax
    PatternStyle style = PatternStyle::Tint;
    int blockW = 10; // thick lines every blockW columns and blockH rows
    int blockH = 10;
};

// One row of the key: a thread the chart uses.
struct KeyRow {
    int thread = 0;      // thread index in the thread table
    std::string symbol;  // the chart's symbol (empty beyond the 241 symbols)
    ColorValue color = 0;
    int number = 0;      // the thread's number on the colour card
    int stitches = 0;
    int skeins = 0;      // for its full and part stitches
    double halves = 0;   // its part stitches in half stitches (a quarter counts 0.5)
    friend bool operator==(const KeyRow&, const KeyRow&) = default;
};

// One thread's back stitches in the key.
struct BackKeyRow {
    int thread = 0;
    ColorValue color = 0;
    int number = 0;
    double lengthCm = 0; // total length of its lines on the fabric
    int skeins = 0;
    friend bool operator==(const BackKeyRow&, const BackKeyRow&) = default;
};

// One thread's French knots or beads in the key.
struct OrnamentKeyRow {
    int thread = 0;
    OrnamentKind kind = OrnamentKind::Knot;
    ColorValue color = 0;
    int number = 0;
    int count = 0;
    friend bool operator==(const OrnamentKeyRow&, const OrnamentKeyRow&) = default;
};

// Where the cells of every chart page lie, in millimetres from the page's top-left corner.
struct PatternGeometry {
    float pageWidth = 0;
    float pageHeight = 0;
    float cell = 0;
    float gridLeft = 0; // left edge of a chart page's first column
    float gridTop = 0;  // top edge of a chart page's first row
    int columnsPerPage = 0;
    int rowsPerPage = 0;
};

// A multi-page pattern of a chart: a cover (title, the finished piece in thread colours, sizes,
// counts and a map of the chart pages), the key (every thread of the full and part stitches, in
// symbol order, with symbol, colour, number, stitches, halves and skeins; then the back stitch
// threads with a line drawn as on the pages, length and skeins; then knots and beads with their
// counts; and the skein formula) and the chart pages (cells with their symbols as text, part
// stitches, thin and block lines, back stitches, knots and beads, numbers on the block lines,
// centre marks, the overlap tinted, a header and a small page map). Every page is a display list in millimetres;
// cells without a stitch stay blank and are not counted.
class PatternLayout {
public:
    // The family every text of the pattern is set in: it holds distinct glyphs for the Latin and
    // the Chinese symbols, and PDF writers embed it.
    static constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

    // Lays out model (gw x gh cells, colorIndex, chrIndex and xiuChr as a generation or a
    // project file leaves them) with the colours and numbers of table.
    [[nodiscard]] static PatternLayout build(const ChartModel& model, const ThreadTable& table,
        const PatternOptions& options);

    // The printable paper size in millimetres (portrait).
    [[nodiscard]] static std::pair<float, float> paperSize(PaperSize paper);

    // Geometry and paging of options' paper and cell for a gw x gh chart (the auto cell resolved).
    [[nodiscard]] static PatternGeometry geometryFor(int gw, int gh, const PatternOptions& options);

    [[nodiscard]] const std::vector<DrawList>& pages() const { return pages_; }
    [[nodiscard]] const PatternGeometry& geometry() const { return geometry_; }
    [[nodiscard]] const PatternPaging& paging() const { return paging_; }
    [[nodiscard]] const std::vector<KeyRow>& key() const { return key_; }
    [[nodiscard]] const std::vector<BackKeyRow>& backKey() const { return backKey_; }
    [[nodiscard]] const std::vector<OrnamentKeyRow>& ornamentKey() const { return ornamentKey_; }
    [[nodiscard]] int keyPages() const { return keyPages_; }
    [[nodiscard]] int stitchCount() const { return stitches_; }
    // Index in pages() of the first chart page (the cover and the key come first).
    [[nodiscard]] int firstChartPage() const { return 1 + keyPages_; }
    [[nodiscard]] const std::string& title() const { return title_; }

private:
    friend class PatternBuilder;
    PatternLayout() = default;

    std::vector<DrawList> pages_;
    PatternGeometry geometry_;
    PatternPaging paging_;
    std::vector<KeyRow> key_;
    std::vector<BackKeyRow> backKey_;
    std::vector<OrnamentKeyRow> ornamentKey_;
    int keyPages_ = 0;
    int stitches_ = 0;
    std::string title_;
};

} // namespace kanvo
