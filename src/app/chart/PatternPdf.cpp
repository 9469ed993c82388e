#include "app/chart/PatternPdf.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "app/chart/ChartPainter.h"
#include "core/common/AtomicFile.h"
#include "core/pattern/PatternLayout.h"

namespace kanvo {

namespace {

// Coordinates in the PDF are written at this resolution; finer adds bytes and no precision
// anyone can see.
constexpr int kDotsPerInch = 600;

} // namespace

QByteArray PatternPdf::render(const PatternLayout& layout, Result* result)
{
    const auto finish = [result](Result r) {
        if (result)
            *result = r;
    };
    error_.clear();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDotsPerInch);
    writer.setPageSize(pageSize(layout));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QString::fromStdString(layout.title()));
    writer.setCreator(QStringLiteral("十字绣Kanvo"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        error_ = "the PDF document cannot be started";
        finish(Result::Failed);
        return {};
    }
    if (const Result painted = paintPages(layout, painter, writer, static_cast<float>(kDotsPerInch / 25.4));
        painted != Result::Written) {
        painter.end();
        finish(painted);
        return {};
    }
    if (!painter.end()) {
        error_ = "the PDF document cannot be completed";
        finish(Result::Failed);
        return {};
    }
    finish(Result::Written);
    return bytes;
}

QPageSize PatternPdf::pageSize(const PatternLayout& layout)
{
    const PatternGeometry& g = layout.geometry();
    return QPageSize(QSizeF(g.pageWidth, g.pageHeight), QPageSize::Millimeter);
}

PatternPdf::Result PatternPdf::paintPages(const PatternLayout& layout, QPainter& painter, QPagedPaintDevice& device,
    float dotsPerMm)
{
    ChartPainter chartPainter(dotsPerMm);
    int total = 0;
    for (const DrawList& page : layout.pages())
        total += static_cast<int>(page.sections().size());
    int done = 0;
    bool first = true;
    for (const DrawList& page : layout.pages()) {
        if (!first && !device.newPage()) {
            error_ = "a new page cannot be started";
            return Result::Failed;
        }
        first = false;
        for (const DrawSection& section : page.sections()) {
            if (stopRequested && stopRequested())
                return Result::Stopped;
            chartPainter.paint(painter, page, section);
            if (progress)
                progress(++done, total);
        }
    }
    return Result::Written;
}

PatternPdf::Result PatternPdf::write(const PatternLayout& layout, const QString& path)
{
    Result result = Result::Failed;
    const QByteArray bytes = render(layout, &result);
    if (result != Result::Written)
        return result;
    std::string reason;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!writeFileAtomically(path.toStdString(), std::span(data, static_cast<std::size_t>(bytes.size())), &reason)) {
        error_ = "cannot write \"" + path.toStdString() + "\": " + reason;
        return Result::Failed;
    }
    return Result::Written;
}

} // namespace kanvo
