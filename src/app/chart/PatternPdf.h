#pragma once

#include <functional>
#include <string>

#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace kanvo {

class PatternLayout;

// Writes a pattern layout as a PDF: one PDF page per layout page, drawn by ChartPainter on a
// QPdfWriter, so lines and boxes are paths and every text (the symbols included) is real text
// in an embedded font subset. The document is built in memory and written whole or not at all:
// a stopped or failed export leaves an existing file as it was. The printer draws the same
// pages through paintPages().
class PatternPdf {
public:
    enum class Result { Written, Stopped, Failed };

    // Called after each painted section: done of total sections.
    std::function<void(int done, int total)> progress;
    // Tested before each section; true ends the export without writing anything.
    std::function<bool()> stopRequested;

    // Writes layout to path. Failed comes with a one-line reason in error().
    [[nodiscard]] Result write(const PatternLayout& layout, const QString& path);
    // The PDF bytes of layout (empty when stopped).
    [[nodiscard]] QByteArray render(const PatternLayout& layout, Result* result = nullptr);

    // The paper of layout's pages, for a device that prints them.
    [[nodiscard]] static QPageSize pageSize(const PatternLayout& layout);

    // Paints every page of layout with painter, which is begun on device (paper as pageSize(),
    // no margins), starting a new device page for each layout page; dotsPerMm is the device's
    // resolution. Stopped when stopRequested says so; the caller then discards the device's
    // pages (and ends the painter).
    [[nodiscard]] Result paintPages(const PatternLayout& layout, QPainter& painter, QPagedPaintDevice& device,
        float dotsPerMm);

    [[nodiscard]] const std::string& error() const { return error_; }

private:
    std::string error_;
};

} // namespace kanvo
