#pragma once

#include <string>

namespace kanvo {

// Why a chart project could not be read or written.
enum class ProjectError {
    None,
    CannotRead,      // the file cannot be opened or read
    TooLarge,        // the file is larger than any chart of 320 x 320 stitches needs
    NotXml,          // the file is not well-formed XML
    NoProperties,    // no <chart><properties>
    NoPalette,       // no <palette>
    NoFullStitches,  // no <fullstitches>
    BadSize,         // chartwidth or chartheight missing or outside 1..320
    BadPaletteItem,  // a thread that is neither in our table nor has a colour
    UnknownPalIndex, // a stitch names a palindex that no palette item has
    StitchOutside,   // a stitch lies outside the chart (or has no position)
    BadCoordinate,   // a part or back stitch, knot or bead has a coordinate that is not a number
    NoChart,         // writing: the chart model holds no chart of 1..320 stitches a side
    CannotWrite,     // writing: the file cannot be written (an existing file is kept)
};

// The user's message for an error (Chinese, one sentence); empty for None.
[[nodiscard]] std::string errorText(ProjectError error);

} // namespace kanvo
