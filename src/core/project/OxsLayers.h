#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <pugixml.hpp>

#include "core/project/ChartProject.h"
#include "core/stitch/StitchLayers.h"

namespace kanvo {

// The part stitches, back stitches, knots and beads of an OXS chart, as the format's community
// describes them:
//   <partstitches><partstitch x y palindex1 palindex2 direction/>: direction 3 is a half
//     stitch "/", 4 a half stitch "\" (in palindex1's thread, or palindex2's when palindex1 is
//     0); 1 and 2 are three-quarter stitches along "\" and "/": with direction 1 palindex1 names
//     the bottom-left side and palindex2 the top-right side, with direction 2 palindex1 the
//     top-left side and palindex2 the bottom-right side. A cell with both sides is read as the
//     three-quarter stitch of palindex1 and the quarter stitch of palindex2.
//   <backstitches><backstitch x1 y1 x2 y2 palindex objecttype sequence/>: in sequence order
//     (the drawing order), document order among equals; every straight objecttype counts.
//   <ornaments_inc_knots_and_beads><object x1 y1 palindex objecttype/>: "knot", "bead..." and
//     also "quarter" (a quarter stitch: x1, y1 its top-left point, so 3.5, 2 is the top-right
//     corner of cell 3, 2) and "tent" (a half stitch, direction 1 "\", 2 "/").
// Coordinates are cell units from the chart's top-left corner; "14,5" reads as 14.5.
class OxsLayers {
public:
    // The thread a palindex attribute's text names: nullopt when no palette item has that
    // index, 0 for the cloth (an element on the cloth is no stitch).
    using ThreadOf = std::function<std::optional<int>(const char* palIndex)>;

    struct Read {
        StitchLayers layers;
        ImportNotes::LeftOut leftOut;
        std::string badElement; // set when a coordinate is not a number: the element and attribute
    };

    // Reads the layers of <chart> for a chart of gw x gh cells. Elements outside the chart,
    // naming an unknown palindex, or of a kind the chart cannot hold are left out and counted.
    [[nodiscard]] static Read read(pugi::xml_node chart, int gw, int gh, const ThreadOf& threadOf);

    // Appends <partstitches> and <backstitches> (also when empty) and, when there are knots,
    // beads or quarter stitches, <ornaments_inc_knots_and_beads> to `chart`. palIndexOf gives a
    // thread's palette index; elements whose thread has none (0) are not written. Points are
    // written with '.', in the shortest form that reads back as the same number.
    static void write(pugi::xml_node chart, const StitchLayers& layers, const std::function<int(int thread)>& palIndexOf);
};

} // namespace kanvo
