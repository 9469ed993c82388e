#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/chart/DrawList.h"
#include "core/common/Color.h"
#include "core/palette/ChartModel.h"

namespace kanvo {

// Which of the stitch layers a view shows (full crosses are always shown).
struct LayerVisibility {
    bool parts = true;
    bool backs = true;
    bool ornaments = true; // French knots and beads
    friend bool operator==(const LayerVisibility&, const LayerVisibility&) = default;
};

// Where the chart lies on a surface: the layout position of the chart's top-left corner (point
// (0, 0) in cell units) and the side of a cell in layout units.
struct LayerPlacement {
    float left = 0;
    float top = 0;
    float cell = 1;
    // Device pixels a back stitch is never drawn thinner than (2 on screen, 0 on paper).
    float minLineWidth = 0;
};

// A rectangle of the chart in cell units, [x0, x1] x [y0, y1].
struct LayerArea {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Layers drawn faded outside a part of the surface: a pattern page greys the strip that repeats
// the neighbouring page's cells. Inside `keep` (cells [x0, x1) x [y0, y1), points on its outline
// too) elements keep their colours; outside it every colour of an element, its edge too, is
// mixed with `grey`, `share` of grey. A back stitch that crosses the outline is faded where it
// lies outside.
struct LayerFade {
    LayerArea keep;
    ColorValue grey = 0;
    float share = 0; // 0..1
    // color mixed with grey, each channel rounded.
    [[nodiscard]] ColorValue faded(ColorValue color) const;
};

// How part stitches are filled.
enum class PartFill {
    Colour, // the thread's colour, like a colour block
    Tint,   // a light tint of it, like the pattern's printing style
    Lines,  // no fill: the stitch's own diagonal runs as a line (charts without colour blocks)
};

// The one layout of the stitch layers besides full crosses, shared by the screen chart, the
// printed page, the pattern pages and the final preview. Each add* call appends one section of
// its DrawStage (none when nothing of the layer lies in the area), in the fixed drawing order
// cells, part stitches, symbols, part symbols, back stitches, knots and beads. threadColors[t - 1]
// is the colour of thread t; an element whose thread lies outside it is not drawn. With a fade,
// elements outside its keep area are drawn faded (see LayerFade).
class StitchLayerLayout {
public:
    // A back stitch is a sixth of a cell wide; a light thread gets a dark edge under it.
    static constexpr float kBackWidth = 1.0f / 6.0f;
    static constexpr float kEdgeShare = 0.3f; // the edge shows this share of the width on each side
    static constexpr float kKnotRadius = 0.25f;
    static constexpr float kBeadRadius = 0.3f;
    static constexpr float kPartSymbolShare = 0.55f; // of a full cell's symbol size
    static constexpr ColorValue kEdge = makeColor(60, 60, 60);

    // A light tint of color (60 % white): a fill under black symbols that keeps the colour.
    [[nodiscard]] static ColorValue tint(ColorValue color);
    // True for a thread too light to show on white paper without an edge.
    [[nodiscard]] static bool isLight(ColorValue color);

    // The part of a cell that a part stitch with corners fills, as polygons of (x, y) pairs in
    // cell units from the cell's top-left corner: a corner's quarter square for each lone corner,
    // and for a half stitch the band along its diagonal (the cell without the two far corner
    // triangles); a three-quarter stitch gets both.
    [[nodiscard]] static std::vector<std::vector<float>> partPolygons(std::uint8_t corners);
    // Where a part stitch's symbol sits, in cell units from the cell's corner: the middle of a
    // quarter's square, the cell's centre for a half stitch, the extra corner's square for a
    // three-quarter stitch.
    [[nodiscard]] static StitchPoint partSymbolCentre(std::uint8_t corners);

    // Fills of the part stitches whose cells lie in area (PartStitches).
    static void addParts(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
        const LayerPlacement& place, const LayerArea& area, PartFill fill,
        const std::optional<LayerFade>& fade = std::nullopt);
    // Their symbols, centred in their parts in font (a font id of list); on a fill dark enough
    // the symbol is white (PartSymbols).
    static void addPartSymbols(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
        const LayerPlacement& place, const LayerArea& area, PartFill fill, int font,
        const std::optional<LayerFade>& fade = std::nullopt);
    // The back stitches that reach into area; with clip, each is cut at the area's edges (a
    // page shows its own part of a stitch that runs on to the next page) (BackStitches).
    static void addBackStitches(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
        const LayerPlacement& place, const LayerArea& area, bool clip,
        const std::optional<LayerFade>& fade = std::nullopt);
    // One back stitch line from (x1, y1) to (x2, y2) in layout units, drawn as the stitches of
    // place are: a key's sample. No section of its own.
    static void addBackSample(DrawList& list, float x1, float y1, float x2, float y2, ColorValue color,
        const LayerPlacement& place);
    // One knot or bead at (cx, cy) in layout units, drawn at place's cell size. No section.
    static void addOrnamentAt(DrawList& list, float cx, float cy, OrnamentKind kind, ColorValue color,
        const LayerPlacement& place);
    // The knots and beads whose points lie in area (Ornaments).
    static void addOrnaments(DrawList& list, const ChartModel& model, std::span<const ColorValue> threadColors,
        const LayerPlacement& place, const LayerArea& area, const std::optional<LayerFade>& fade = std::nullopt);
};

} // namespace kanvo
