#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QImage>

#include "core/chart/DrawList.h"
#include "core/chart/TextMetrics.h"

class QPainter;

namespace kanvo {

// Draws a chart's display list (ChartLayout, PrintLayout or a PatternLayout page) with QPainter on any paint device:
// the canvas QImage, a widget, or a QPrinter. Layout coordinates are multiplied by scale, the
// device pixels per layout unit (1 for the canvas, printer dots per millimetre for the page), so
// fonts are chosen at the device's own pixel size and lines keep their device widths.
//
// On raster devices every distinct symbol is rendered once into a small image and then copied,
// which keeps a 320 x 320 chart well below a second; vector devices (printers, PDF) get real
// text. The painter keeps that glyph cache between calls, so a window painting a list in
// sections should reuse one painter object.
class ChartPainter {
public:
    explicit ChartPainter(float scale = 1.0f);

    [[nodiscard]] float scale() const { return scale_; }

    // Raster devices copy cached glyph images unless this is switched off (texts are then
    // shaped one by one, as on vector devices).
    void setGlyphCacheEnabled(bool enabled) { glyphCache_ = enabled; }

    // Paints every operation of list.
    void paint(QPainter& painter, const DrawList& list);
    // Paints operations [begin, end) of list (clamped to the list).
    void paint(QPainter& painter, const DrawList& list, std::size_t begin, std::size_t end);
    // Paints the operations of one section of list.
    void paint(QPainter& painter, const DrawList& list, const DrawSection& section);

    // A white RGB32 canvas of width x height pixels with list painted at scale 1.
    [[nodiscard]] static QImage renderCanvas(const DrawList& list, int width, int height);

    // The Qt font of spec for a list whose points measure unitsPerPoint layout units, at scale
    // device pixels per unit.
    [[nodiscard]] static QFont makeFont(const FontSpec& spec, float unitsPerPoint, float scale);

    // Text measurement in layout units with the fonts this painter draws.
    class Metrics final : public TextMetrics {
    public:
        Metrics(float unitsPerPoint, float scale);
        [[nodiscard]] float width(std::string_view text, const FontSpec& font) const override;
        [[nodiscard]] float height(const FontSpec& font) const override;

    private:
        float unitsPerPoint_;
        float scale_;
    };

private:
    struct Glyph {
        QImage image;
        int offsetX = 0; // where the text's left edge lies inside image
    };

    void prepareFonts(const DrawList& list);
    const Glyph& glyph(const std::string& text, int font, ColorValue color);
    const Glyph& cachedGlyph(const std::string& text, int font, ColorValue color);
    // The top-left corner of text's line box in device pixels.
    QPointF topLeft(const TextOp& text);

    float scale_;
    bool glyphCache_ = true;
    std::vector<FontSpec> fontSpecs_; // the font table the caches below belong to
    float unitsPerPoint_ = 0;
    std::vector<QFont> fonts_;
    std::vector<double> ascents_;
    std::vector<double> descents_;
    std::unordered_map<std::string, double> advances_; // anchored texts: font id + text
    std::unordered_map<std::string, Glyph> glyphs_;
    // Glyphs of short texts (every symbol) found lately, by their text, font and colour packed
    // into two words: a chart looks up one a cell, and hashing a string key each time costs more
    // than copying the glyph.
    struct RecentGlyph {
        std::uint64_t text = 0;
        std::uint64_t style = ~std::uint64_t{0};
        const Glyph* glyph = nullptr;
    };
    std::array<RecentGlyph, 256> recent_{};
};

} // namespace kanvo
