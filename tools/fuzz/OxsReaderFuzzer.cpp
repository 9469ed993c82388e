// libFuzzer target for the OXS chart reader: any bytes give either a complete chart or one error
// with its message, and a chart read is written and read back unchanged (part stitches may
// come back in another order, and two corners side by side as two quarters).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kanvo;
    const ThreadTable& table = loadedThreadTable();
    const OxsReader::Result read
        = OxsReader::read(std::string_view(reinterpret_cast<const char*>(data), size), table);
    if (read.error != ProjectError::None) {
        if (errorText(read.error).empty() || read.project.chart.chartReady)
            std::abort();
        return 0;
    }
    const ChartModel& chart = read.project.chart;
    if (!chart.chartReady || chart.gw < 1 || chart.gw > 320 || chart.gh < 1 || chart.gh > 320
        || chart.stitchCount() > static_cast<long>(chart.gw) * chart.gh)
        std::abort();
    const std::optional<std::string> text = OxsWriter::format(read.project, table);
    if (!text)
        std::abort();
    const OxsReader::Result again = OxsReader::read(*text, table);
    if (again.error != ProjectError::None || !again.notes.empty() || again.project.chart.colorList != chart.colorList
        || again.project.chart.threadList != chart.threadList || again.project.chart.layers.backs != chart.layers.backs
        || again.project.chart.layers.ornaments != chart.layers.ornaments
        || again.project.chart.layers.parts.size() < chart.layers.parts.size())
        std::abort();
    for (int x = 0; x < chart.gw; ++x)
        for (int y = 0; y < chart.gh; ++y)
            if (again.project.chart.threadAt(x, y) != chart.threadAt(x, y))
                std::abort();
    return 0;
}
