#include "app/chart/PrintedPage.h"

#include <filesystem>
#include <system_error>

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

#include "app/chart/ChartPainter.h"
#include "app/chart/ScreenChart.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

PrintedPage::PrintedPage(QPrinter& printer) : printer_(printer)
{
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    areaWidth_ = static_cast<float>(area.width());
    areaHeight_ = static_cast<float>(area.height());
    dotsPerMm_ = static_cast<float>(printer.resolution() / 25.4);

    target_ = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    if (target_.isEmpty())
        return;
    const QFileInfo info(target_);
    temporary_ = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".part");
    printer_.setOutputFileName(temporary_);
}

PrintedPage::~PrintedPage()
{
    if (!temporary_.isEmpty())
        QFile::remove(temporary_);
    if (!target_.isEmpty())
        printer_.setOutputFileName(target_);
}

std::optional<PrintLayout> PrintedPage::layout(const ChartModel& model, const StitchMatrix& stitches,
    const ChartOptions& options, PrintLayoutError* error) const
{
    // Page texts measure in millimetres, drawn at the printer's own pixel size.
    const ChartPainter::Metrics metrics(25.4f / 72.0f, dotsPerMm_);
    const std::vector<ColorValue> threadColors = ScreenChart::threadColors(loadedThreadTable());
    return PrintLayout::build(model, stitches, options, areaWidth_, areaHeight_, metrics, error, threadColors);
}

bool PrintedPage::commit()
{
    if (temporary_.isEmpty())
        return true;
    std::error_code error;
    std::filesystem::rename(temporary_.toStdString(), target_.toStdString(), error);
    if (error)
        return false;
    temporary_.clear();
    return true;
}

} // namespace kanvo
