#pragma once

#include <optional>

#include <QString>

#include "core/chart/ChartLayout.h"
#include "core/chart/PrintLayout.h"
#include "core/palette/ChartModel.h"
#include "core/workspace/StitchMatrix.h"

class QPrinter;

namespace kanvo {

// The printed page of a chart on a printer that is set up and not yet begun: the print layout
// of its printable area and the painter scale for its resolution. The chart window's printing
// and the headless chart maker both lay out pages through here.
//
// For PDF output the page goes to a temporary file beside the chosen one, which replaces the
// chosen file only on commit(), so a stopped or failed print never leaves half a document over
// a good one. Constructing the page redirects the printer; destroying it removes an uncommitted
// temporary file and points the printer back at the chosen name.
class PrintedPage {
public:
    explicit PrintedPage(QPrinter& printer);
    ~PrintedPage();
    PrintedPage(const PrintedPage&) = delete;
    PrintedPage& operator=(const PrintedPage&) = delete;

    // Printer dots per millimetre: the scale ChartPainter draws the page at.
    [[nodiscard]] float dotsPerMm() const { return dotsPerMm_; }

    // The page of model for the printable area; nullopt (reason in *error) when it cannot fit.
    [[nodiscard]] std::optional<PrintLayout> layout(const ChartModel& model, const StitchMatrix& stitches,
        const ChartOptions& options, PrintLayoutError* error = nullptr) const;

    // Puts a finished PDF in place of the chosen file; false when it cannot be replaced. True
    // at once for output that is not a file.
    [[nodiscard]] bool commit();

private:
    QPrinter& printer_;
    float dotsPerMm_ = 0;
    float areaWidth_ = 0;
    float areaHeight_ = 0;
    QString target_;
    QString temporary_;
};

} // namespace kanvo
