#include "core/chart/StitchLayerLayout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/chart/SymbolInk.h"

namespace kanvo {

namespace {

constexpr ColorValue kBlack = makeColor(0, 0, 0);
constexpr ColorValue kWhite = makeColor(255, 255, 255);

// The corners in bit order with their quarter squares' top-left corners in cell units.
struct CornerSquare {
    std::uint8_t bit;
    float x;
    float y;
};
constexpr CornerSquare kSquares[] = {
    {kTopLeft, 0.0f, 0.0f}, {kTopRight, 0.5f, 0.0f}, {kBottomLeft, 0.0f, 0.5f}, {kBottomRight, 0.5f, 0.5f}};

// The corners of mask that no half stitch of it covers.
std::uint8_t loneCorners(std::uint8_t mask)
{
    std::uint8_t lone = mask;
    for (const std::uint8_t half : {kHalfSlash, kHalfBackslash})
        if ((mask & half) == half)
            lone = static_cast<std::uint8_t>(lone & ~half);
    return lone;
}

std::span<const ColorValue>::size_type slot(int thread) { return static_cast<std::size_t>(thread) - 1; }

bool hasColour(std::span<const ColorValue> colors, int thread)
{
    return thread >= 1 && thread <= static_cast<int>(colors.size());
}

ColorValue fillOf(ColorValue color, PartFill fill)
{
    return fill == PartFill::Tint ? StitchLayerLayout::tint(color) : color;
}

bool inCells(const PartStitch& part, const LayerArea& area)
{
    return part.x >= area.x0 && part.x < area.x1 && part.y >= area.y0 && part.y < area.y1;
}

// Cuts the segment a-b to area (Liang-Barsky); false when nothing of it lies inside.
bool clipTo(const LayerArea& area, StitchPoint& a, StitchPoint& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - area.x0, area.x1 - a.x, a.y - area.y0, area.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const StitchPoint from = a;
    a = {from.x + t0 * dx, from.y + t0 * dy};
    b = {from.x + t1 * dx, from.y + t1 * dy};
    return true;
}

// The colours of an element: faded when a fade is given and the element lies outside its keep.
class Shade {
public:
    Shade(const std::optional<LayerFade>& fade, bool outside) : fade_(outside ? fade : std::nullopt) {}
    ColorValue operator()(ColorValue color) const { return fade_ ? fade_->faded(color) : color; }

private:
    std::optional<LayerFade> fade_;
};

bool keeps(const std::optional<LayerFade>& fade, StitchPoint point)
{
    return !fade
        || (point.x >= fade->keep.x0 && point.x <= fade->keep.x1 && point.y >= fade->keep.y0 && point.y <= fade->keep.y1);
}

// One knot or bead, every colour of it through shade.
void ornamentAt(DrawList& list, float cx, float cy, OrnamentKind kind, ColorValue color, const LayerPlacement& place,
    const Shade& shade)
{
    const float c = place.cell;
    if (kind == OrnamentKind::Knot) {
        list.circle(cx, cy, c * StitchLayerLayout::kKnotRadius, shade(color), shade(StitchLayerLayout::kEdge), c / 20.0f);
    } else {
        // A bead: a glassy ball, its highlight up and to the left.
        list.circle(cx, cy, c * StitchLayerLayout::kBeadRadius, shade(color), shade(StitchLayerLayout::kEdge), c / 30.0f);
        list.circle(cx - c * 0.1f, cy - c * 0.1f, c * 0.09f, shade(StitchLayerLayout::tint(StitchLayerLayout::tint(color))));
    }
}

bool touches(const BackStitch& back, const LayerArea& area)
{
    return std::max(back.from.x, back.to.x) >= area.x0 && std::min(back.from.x, back.to.x) <= area.x1
        && std::max(back.from.y, back.to.y) >= area.y0 && std::min(back.from.y, back.to.y) <= area.y1;
}

} // namespace

ColorValue LayerFade::faded(ColorValue color) const
{
    const auto channel = [this](int c, int g) { return static_cast<int>(std::lround(c * (1.0f - share) + g * share)); };
    return makeColor(channel(redOf(color), redOf(grey)), channel(greenOf(color), greenOf(grey)),
        channel(blueOf(color), blueOf(grey)));
}

ColorValue StitchLayerLayout::tint(ColorValue color)
{
    const auto channel = [](int c) { return static_cast<std::uint8_t>(std::lround(c * 0.4f + 255 * 0.6f)); };
    return makeColor(channel(redOf(color)), channel(greenOf(color)), channel(blueOf(color)));
}

bool StitchLayerLayout::isLight(ColorValue color)
{
    return 299 * redOf(color) + 587 * greenOf(color) + 114 * blueOf(color) >= 200 * 1000;
}

std::vector<std::vector<float>> StitchLayerLayout::partPolygons(std::uint8_t corners)
{
    std::vector<std::vector<float>> polygons;
    if ((corners & kHalfSlash) == kHalfSlash)
        polygons.push_back({0.0f, 1.0f, 0.0f, 0.5f, 0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.5f, 1.0f});
    if ((corners & kHalfBackslash) == kHalfBackslash)
        polygons.push_back({0.0f, 0.0f, 0.5f, 0.0f, 1.0f, 0.5f, 1.0f, 1.0f, 0.5f, 1.0f, 0.0f, 0.5f});
    const std::uint8_t lone = loneCorners(corners);
    for (const CornerSquare& sq : kSquares)
        if (lone & sq.bit)
            polygons.push_back({sq.x, sq.y, sq.x + 0.5f, sq.y, sq.x + 0.5f, sq.y + 0.5f, sq.x, sq.y + 0.5f});
    return polygons;
}

StitchPoint StitchLayerLayout::partSymbolCentre(std::uint8_t corners)
{
    const std::uint8_t lone = loneCorners(corners);
    StitchPoint sum;
    int n = 0;
    for (const CornerSquare& sq : kSquares) {
        if (lone & sq.bit) {
            sum.x += sq.x + 0.25;
            sum.y += sq.y + 0.25;
            ++n;
        }
    }
    if (n == 0)
        return {0.5, 0.5};
    return {sum.x / n, sum.y / n};
}

void StitchLayerLayout::addParts(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const LayerPlacement& place, const LayerArea& area, PartFill fill, const std::optional<LayerFade>& fade)
{
    const float c = place.cell;
    list.beginSection(DrawStage::PartStitches);
    // Lone quarters go last, so that a quarter beside another thread's half stays whole.
    for (const bool quarters : {false, true}) {
        for (const PartStitch& part : model.layers.parts) {
            const bool quarter = loneCorners(part.corners) != 0 && (part.corners & (part.corners - 1)) == 0;
            if (quarter != quarters || !inCells(part, area) || !hasColour(threadColors, part.thread))
                continue;
            const Shade shade(fade, fade && !inCells(part, fade->keep));
            const ColorValue color = shade(threadColors[slot(part.thread)]);
            const float x0 = place.left + c * static_cast<float>(part.x);
            const float y0 = place.top + c * static_cast<float>(part.y);
            if (fill == PartFill::Lines) {
                // The thread's own path: from each corner it covers to the cell's centre.
                for (const CornerSquare& sq : kSquares)
                    if (part.corners & sq.bit)
                        list.stroke({x0 + c * 2.0f * sq.x, y0 + c * 2.0f * sq.y, x0 + c * 0.5f, y0 + c * 0.5f}, color,
                            c / 8.0f, place.minLineWidth / 2.0f);
                continue;
            }
            for (std::vector<float> polygon : partPolygons(part.corners)) {
                for (std::size_t i = 0; i + 1 < polygon.size(); i += 2) {
                    polygon[i] = x0 + c * polygon[i];
                    polygon[i + 1] = y0 + c * polygon[i + 1];
                }
                list.polygon(std::move(polygon), shade(fillOf(threadColors[slot(part.thread)], fill)));
            }
        }
    }
    list.endSection(false);
}

void StitchLayerLayout::addPartSymbols(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const LayerPlacement& place, const LayerArea& area, PartFill fill, int font, const std::optional<LayerFade>& fade)
{
    list.beginSection(DrawStage::PartSymbols);
    for (const PartStitch& part : model.layers.parts) {
        if (!inCells(part, area))
            continue;
        const std::string_view symbol = model.symbolOf(part.thread);
        if (symbol.empty())
            continue;
        const Shade shade(fade, fade && !inCells(part, fade->keep));
        const bool dark = fill != PartFill::Lines && hasColour(threadColors, part.thread)
            && wantsWhiteSymbol(shade(fillOf(threadColors[slot(part.thread)], fill)));
        const StitchPoint at = partSymbolCentre(part.corners);
        list.text(place.left + place.cell * static_cast<float>(part.x + at.x),
            place.top + place.cell * static_cast<float>(part.y + at.y), std::string(symbol), font, dark ? kWhite : kBlack,
            TextAnchor::Centre);
    }
    list.endSection(false);
}

namespace {

struct BackPens {
    float width, minWidth, edged, minEdged;
};

// A stretch of a back stitch, faded or not.
struct BackPiece {
    StitchPoint from;
    StitchPoint to;
    bool faded = false;
};

// The stitch from a to b cut where it leaves the fade's keep: the faded stretches first, so that
// the one in colour lies over them where they join. No allocation: the view repaints thousands.
struct BackPieces {
    std::array<BackPiece, 3> items;
    std::size_t count = 0;
    void add(StitchPoint from, StitchPoint to, bool faded) { items[count++] = BackPiece{from, to, faded}; }
    [[nodiscard]] const BackPiece* begin() const { return items.data(); }
    [[nodiscard]] const BackPiece* end() const { return items.data() + count; }
};

BackPieces piecesOf(StitchPoint a, StitchPoint b, const std::optional<LayerFade>& fade)
{
    BackPieces pieces;
    StitchPoint from = a;
    StitchPoint to = b;
    if (!fade) {
        pieces.add(a, b, false);
    } else if (!clipTo(fade->keep, from, to) || from == to) {
        pieces.add(a, b, true);
    } else {
        if (from != a)
            pieces.add(a, from, true);
        if (to != b)
            pieces.add(to, b, true);
        pieces.add(from, to, false);
    }
    return pieces;
}

BackPens backPens(const LayerPlacement& place)
{
    const float width = place.cell * StitchLayerLayout::kBackWidth;
    return {width, place.minLineWidth, width * (1.0f + 2.0f * StitchLayerLayout::kEdgeShare),
        place.minLineWidth > 0.0f ? place.minLineWidth + 1.5f : 0.0f};
}

} // namespace

void StitchLayerLayout::addBackSample(DrawList& list, float x1, float y1, float x2, float y2, ColorValue color,
    const LayerPlacement& place)
{
    const BackPens pens = backPens(place);
    if (isLight(color))
        list.stroke({x1, y1, x2, y2}, kEdge, pens.edged, pens.minEdged);
    list.stroke({x1, y1, x2, y2}, color, pens.width, pens.minWidth);
}

void StitchLayerLayout::addBackStitches(DrawList& list, const ChartModel& model,
    std::span<const ColorValue> threadColors, const LayerPlacement& place, const LayerArea& area, bool clip,
    const std::optional<LayerFade>& fade)
{
    const BackPens pens = backPens(place);
    list.beginSection(DrawStage::BackStitches);
    // The edges of light threads first, so that joined stitches show one outline, not a seam.
    for (const bool edges : {true, false}) {
        for (const BackStitch& back : model.layers.backs) {
            if (!hasColour(threadColors, back.thread) || !touches(back, area))
                continue;
            const ColorValue color = threadColors[slot(back.thread)];
            if (edges && !isLight(color))
                continue;
            StitchPoint a = back.from;
            StitchPoint b = back.to;
            if (clip && !clipTo(area, a, b))
                continue;
            for (const BackPiece& piece : piecesOf(a, b, fade)) {
                const Shade shade(fade, piece.faded);
                std::vector<float> points{place.left + place.cell * static_cast<float>(piece.from.x),
                    place.top + place.cell * static_cast<float>(piece.from.y),
                    place.left + place.cell * static_cast<float>(piece.to.x),
                    place.top + place.cell * static_cast<float>(piece.to.y)};
                if (edges)
                    list.stroke(std::move(points), shade(kEdge), pens.edged, pens.minEdged);
                else
                    list.stroke(std::move(points), shade(color), pens.width, pens.minWidth);
            }
        }
    }
    list.endSection(false);
}

void StitchLayerLayout::addOrnamentAt(DrawList& list, float cx, float cy, OrnamentKind kind, ColorValue color,
    const LayerPlacement& place)
{
    ornamentAt(list, cx, cy, kind, color, place, Shade(std::nullopt, false));
}

void StitchLayerLayout::addOrnaments(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
    const LayerPlacement& place, const LayerArea& area, const std::optional<LayerFade>& fade)
{
    list.beginSection(DrawStage::Ornaments);
    for (const Ornament& o : model.layers.ornaments) {
        if (!hasColour(threadColors, o.thread) || o.at.x < area.x0 || o.at.x > area.x1 || o.at.y < area.y0
            || o.at.y > area.y1)
            continue;
        ornamentAt(list, place.left + place.cell * static_cast<float>(o.at.x),
            place.top + place.cell * static_cast<float>(o.at.y), o.kind, threadColors[slot(o.thread)], place,
            Shade(fade, !keeps(fade, o.at)));
    }
    list.endSection(false);
}

} // namespace kanvo
