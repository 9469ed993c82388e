#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "core/common/Color.h"

namespace kanvo {

// A font as the chart names it: the family as the program names it ("MS Sans Serif", "宋体",
// "Arial"; the platform substitutes installed fonts), the size in points and the weight.
struct FontSpec {
    std::string family;
    float pointSize = 8.0f;
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// An axis-aligned or free line from (x1, y1) to (x2, y2), in layout units. When deviceWidth is
// set, width counts device pixels (the printer's pen widths 1 and 2 are dots, whatever the
// page unit); otherwise it counts layout units.
struct LineOp {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ColorValue color = 0;
    float width = 1.0f;
    bool deviceWidth = false;
    friend bool operator==(const LineOp&, const LineOp&) = default;
};

// A filled box covering [x, x + w) x [y, y + h) in layout units. On the canvas (1 unit = 1 pixel)
// whole numbers cover whole pixels, so one-pixel lines of the grid are boxes of width 1.
struct FillRectOp {
    float x = 0, y = 0, w = 0, h = 0;
    ColorValue color = 0;
    friend bool operator==(const FillRectOp&, const FillRectOp&) = default;
};

// Which point of a text's line box (its advance width by one line height) (x, y) names.
enum class TextAnchor {
    TopLeft,  // the baseline lies one ascent below y
    Centre,   // the box is centred on (x, y): a symbol centred in its cell
    TopRight, // right-aligned numbers
};

// A text whose line box is placed by anchor at (x, y), in the font fonts[font] of the list. text
// is UTF-8.
struct TextOp {
    float x = 0, y = 0;
    std::string text;
    int font = 0;
    ColorValue color = 0;
    TextAnchor anchor = TextAnchor::TopLeft;
    friend bool operator==(const TextOp&, const TextOp&) = default;
};

// A filled polygon through the points (x0, y0, x1, y1, ...) in layout units: the centre marks
// of a pattern page.
struct PolygonOp {
    std::vector<float> points;
    ColorValue color = 0;
    friend bool operator==(const PolygonOp&, const PolygonOp&) = default;
};

// A line through the points (x0, y0, x1, y1, ...) in layout units, width layout units wide
// (never thinner than minDeviceWidth device pixels, so that it stays visible when a view zooms
// out), with round caps and joins: back stitches.
struct StrokeOp {
    std::vector<float> points;
    ColorValue color = 0;
    float width = 1.0f;
    float minDeviceWidth = 0.0f;
    friend bool operator==(const StrokeOp&, const StrokeOp&) = default;
};

// A filled circle of radius r around (cx, cy) in layout units, outlined in edge edgeWidth layout
// units wide (at least one device pixel) when edgeWidth > 0: knots, beads and their highlights.
struct CircleOp {
    float cx = 0, cy = 0, r = 0;
    ColorValue color = 0;
    ColorValue edge = 0;
    float edgeWidth = 0.0f;
    friend bool operator==(const CircleOp&, const CircleOp&) = default;
};

using DrawOp = std::variant<LineOp, FillRectOp, TextOp, PolygonOp, StrokeOp, CircleOp>;

// The stages of a chart in drawing order; a drawing window advances its progress and tests its
// stop flag between sections.
enum class DrawStage {
    Title,
    GridLines,
    Blocks,
    PartStitches, // the filled parts of part stitches, over the blocks
    RowNumbers,
    ColumnLetters,
    ColumnNumbers,
    BlockLines,
    Legend,
    LegendEntries,
    Notes,
    Symbols, // one section per chart row
    PartSymbols, // the smaller symbols of part stitches
    BackStitches,
    Ornaments, // French knots and beads
};

// A run of consecutive operations [begin, end) belonging to one stage; row is the chart row of
// a Symbols or Blocks section, -1 for the others.
struct DrawSection {
    DrawStage stage = DrawStage::Title;
    int row = -1;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The display list of a chart or a printed page: operations in painting order (later ones
// overdraw earlier ones), the fonts they use and the sections that group them.
// unitsPerPoint converts a font's point size to layout units: 96/72 on the canvas (pixels at
// 96 dots per inch), 25.4/72 on the printed page (millimetres).
class DrawList {
public:
    explicit DrawList(float unitsPerPoint = 96.0f / 72.0f) : unitsPerPoint_(unitsPerPoint) {}

    [[nodiscard]] float unitsPerPoint() const { return unitsPerPoint_; }
    [[nodiscard]] const std::vector<DrawOp>& ops() const { return ops_; }
    [[nodiscard]] const std::vector<FontSpec>& fonts() const { return fonts_; }
    [[nodiscard]] const std::vector<DrawSection>& sections() const { return sections_; }

    // Returns the id of font, adding it to the font table on first use.
    int fontId(const FontSpec& font);

    void line(float x1, float y1, float x2, float y2, ColorValue color, float width = 1.0f,
        bool deviceWidth = false);
    void fillRect(float x, float y, float w, float h, ColorValue color);
    // Empty texts add nothing (a thread without a symbol prints nothing).
    void text(float x, float y, std::string text, int font, ColorValue color = 0,
        TextAnchor anchor = TextAnchor::TopLeft);
    void polygon(std::vector<float> points, ColorValue color);
    // Fewer than two points add nothing.
    void stroke(std::vector<float> points, ColorValue color, float width, float minDeviceWidth = 0.0f);
    void circle(float cx, float cy, float r, ColorValue color, ColorValue edge = 0, float edgeWidth = 0.0f);

    // Sections: beginSection opens one at the current end of the list, endSection closes it
    // (and drops it when it is empty and keepEmpty is false).
    void beginSection(DrawStage stage, int row = -1);
    void endSection(bool keepEmpty = true);

    void reserve(std::size_t ops) { ops_.reserve(ops); }

private:
    float unitsPerPoint_;
    std::vector<DrawOp> ops_;
    std::vector<FontSpec> fonts_;
    std::vector<DrawSection> sections_;
};

} // namespace kanvo
