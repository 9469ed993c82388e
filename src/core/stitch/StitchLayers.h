#pragma once

#include <cstdint>
#include <vector>

namespace kanvo {

// A point on the chart in cell units: (0, 0) is the top-left corner of the chart, (gw, gh) its
// bottom-right corner, and cell (x, y) covers [x, x + 1) x [y, y + 1). Back stitches lie on the
// half-cell lattice (both coordinates multiples of 0.5: cell corners, edge midpoints and
// centres); knots and beads keep whatever coordinates a file gives (e.g. 11.6875).
struct StitchPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const StitchPoint&, const StitchPoint&) = default;
};

// The corners of a cell a part stitch covers. A quarter stitch runs from one corner to the
// centre; a half stitch covers two opposite corners ("/" = BottomLeft | TopRight,
// "\" = TopLeft | BottomRight); a three-quarter stitch is a half stitch plus one of the other
// two corners. A full cross would cover all four; it is never a part stitch.
enum Corner : std::uint8_t {
    kTopLeft = 1,
    kTopRight = 2,
    kBottomLeft = 4,
    kBottomRight = 8,
};
inline constexpr std::uint8_t kHalfSlash = kBottomLeft | kTopRight;     // "/"
inline constexpr std::uint8_t kHalfBackslash = kTopLeft | kBottomRight; // "\"

// One thread's part stitch in cell (x, y). Two threads may share a cell (e.g. two quarter
// stitches, or a three-quarter stitch and a quarter), each an entry of its own with corners
// that do not overlap. thread: a thread index of the thread table, 1..452.
struct PartStitch {
    int x = 0;
    int y = 0;
    std::uint8_t corners = 0; // a non-empty, non-full mask of Corner bits
    int thread = 0;
    friend bool operator==(const PartStitch&, const PartStitch&) = default;
};

// A straight back stitch from one lattice point to another, in one thread.
struct BackStitch {
    StitchPoint from;
    StitchPoint to;
    int thread = 0;
    friend bool operator==(const BackStitch&, const BackStitch&) = default;
};

enum class OrnamentKind : std::uint8_t { Knot, Bead };

// A French knot or a bead at a point, in one thread (for a bead, the thread the file pairs it
// with).
struct Ornament {
    StitchPoint at;
    OrnamentKind kind = OrnamentKind::Knot;
    int thread = 0;
    friend bool operator==(const Ornament&, const Ornament&) = default;
};

// Everything a chart holds besides its full crosses, one list per kind in the order a file or
// the editor gave them (drawing order within a layer). The full crosses stay in the cell grid of
// ChartModel. A value type: copied with the chart, compared whole.
struct StitchLayers {
    std::vector<PartStitch> parts;
    std::vector<BackStitch> backs;
    std::vector<Ornament> ornaments;

    [[nodiscard]] bool empty() const { return parts.empty() && backs.empty() && ornaments.empty(); }
    friend bool operator==(const StitchLayers&, const StitchLayers&) = default;
};

} // namespace kanvo
