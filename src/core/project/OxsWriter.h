#pragma once

#include <optional>
#include <string>

#include "core/project/ChartProject.h"
#include "core/project/ProjectError.h"

namespace kanvo {

class ThreadTable;

// Writes charts as OXS files (UTF-8, lower-case names) that other chart programs and OxsReader
// read: <properties> with oxsversion "1.0", software "Kanvo", the size, title, fabric count and
// palettecount (the number of threads); a <palette> of the cloth (item 0, number "cloth",
// white) and one item per thread in symbol order (number "DMC 310", name, color RRGGBB of the
// table colour, strands 2, symbol), threads only the layers use included; one <stitch x y
// palindex> per stitched cell (0-based); then the layers (OxsLayers::write): <partstitches>
// and <backstitches>, also when empty, and the knots, beads and quarter stitches.
class OxsWriter {
public:
    // The document of project; nullopt when its chart is not 1..320 stitches a side with a
    // colour index.
    [[nodiscard]] static std::optional<std::string> format(const ChartProject& project, const ThreadTable& table);

    // Writes the document to `path` atomically: an existing file is replaced only by a complete
    // new one. NoChart or CannotWrite (reason in *detail when given) on failure.
    [[nodiscard]] static ProjectError writeFile(const std::string& path, const ChartProject& project,
        const ThreadTable& table, std::string* detail = nullptr);
};

} // namespace kanvo
