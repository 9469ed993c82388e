#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/project/ChartProject.h"
#include "core/project/ProjectError.h"

namespace kanvo {

class ThreadTable;

// Reads charts from OXS (Open Cross Stitch) files, the XML format chart programs exchange:
//   <chart><properties chartwidth chartheight charttitle stitchesperinch .../>
//          <palette><palette_item index number name color .../>...</palette>
//          <fullstitches><stitch x y palindex/>...</fullstitches> ...</chart>
//
// Tolerant of what other programs write: thread numbers in many spellings (see
// PaletteItemMatcher::dmcNumber); a number that is not in our table takes the thread nearest to the
// item's colour (reported in notes); two items of one thread become one thread; cells without a
// full stitch, and full stitches on the cloth (palindex 0), are empty; part stitches, back
// stitches, knots and beads become the chart's layers (see OxsLayers), those outside the chart
// or naming no palette item left out and counted in notes. Each thread keeps the symbol its
// palette item gives (attribute symbol) where that is a symbol of ours.
//
// Safe on hostile input: files over kMaxFileBytes are refused before parsing, no DTD or entity
// is expanded, nothing recurses over the document, and long attributes are only ever scanned.
class OxsReader {
public:
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

    struct Result {
        ProjectError error = ProjectError::None;
        std::string detail;   // for refusals: the offending item or stitch, e.g. "x=400 y=3"
                              // or "backstitch x1=\"1;5\""
        ChartProject project; // complete (legend with every thread, symbols) when error is None
        ImportNotes notes;
    };

    // Reads the document held in `xml`.
    [[nodiscard]] static Result read(std::string_view xml, const ThreadTable& table);
    // Reads the file at `path`.
    [[nodiscard]] static Result readFile(const std::string& path, const ThreadTable& table);
};

} // namespace kanvo
