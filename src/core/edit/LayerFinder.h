#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/stitch/StitchLayers.h"

namespace kanvo {

// The layers of StitchLayers that can be shown, hidden, picked and erased one by one.
enum class StitchLayerKind : std::uint8_t { Part, Back, Ornament };

// One element of a chart's layers: its kind and its index in that layer's list.
struct LayerHit {
    StitchLayerKind kind = StitchLayerKind::Part;
    std::size_t index = 0;
    friend bool operator==(const LayerHit&, const LayerHit&) = default;
};

// Finds layer elements under the pointer and snaps points to the half-cell lattice, for the
// editor's tools and its status bar. Points are in cell units (StitchPoint).
class LayerFinder {
public:
    // How near the pointer must come, in cells: to a knot's or bead's centre, to a back
    // stitch's line.
    static constexpr double kOrnamentReach = 0.4;
    static constexpr double kBackReach = 0.25;

    // The element the pointer is on, looking from the top of the drawing down and only at
    // layers `shown` accepts: the nearest knot or bead within kOrnamentReach, else the nearest
    // back stitch within kBackReach, else a part stitch of the cell under the pointer (the one
    // whose corners lie nearest it: the corner quadrant it covers under the pointer first).
    [[nodiscard]] static std::optional<LayerHit> find(const StitchLayers& layers, StitchPoint at,
        const std::function<bool(StitchLayerKind)>& shown);
    // The thread of an element that exists.
    [[nodiscard]] static int threadOf(const StitchLayers& layers, LayerHit hit);

    // The lattice point (both coordinates multiples of 0.5) nearest `at`, inside the gw x gh
    // chart ([0, gw] x [0, gh]).
    [[nodiscard]] static StitchPoint snap(StitchPoint at, int gw, int gh);
    // The corner quadrant of its cell a point lies in (kTopLeft ... kBottomRight).
    [[nodiscard]] static Corner cornerAt(StitchPoint at);
};

} // namespace kanvo
