#include "core/chart/ChartBitmapFile.h"

#include "core/chart/ChartResolution.h"
#include "core/common/AtomicFile.h"
#include "core/image/BmpCodec.h"
#include "core/image/ClsDIB.h"

namespace kanvo {

bool saveChartBitmap(const ClsDIB& canvas, const std::string& path, std::string* error)
{
    std::vector<std::uint8_t> bytes = BmpCodec::encode(canvas);
    // The resolution goes into the bytes before they are written, so no reader ever sees the file
    // without it and a failed patch cannot leave a half-updated file behind.
    if (bytes.empty() || !patchBmpResolution(bytes, chartResolution(canvas.Width(), canvas.Height()))) {
        if (error)
            *error = "the chart canvas is empty";
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

} // namespace kanvo
