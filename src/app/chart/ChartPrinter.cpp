#include "app/chart/ChartPrinter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/chart/ChartPainter.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/PatternDialog.h"
#include "app/chart/PatternPdf.h"
#include "app/chart/PrintedPage.h"
#include "app/platform/MessageBoxes.h"
#include "core/chart/ChartTexts.h"
#include "core/chart/PrintLayout.h"
#include "core/palette/ThreadTable.h"
#include "core/project/ChartProject.h"
#include "core/workspace/RunState.h"

namespace kanvo {

ChartPrinter::ChartPrinter(RunState& state, ChartWindow& window) : state_(state), window_(window)
{
    choosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, &window_);
        dialog.setWindowTitle(QCoreApplication::translate("kanvo::ChartPrinter", "打印绣图"));
        return dialog.exec() == QDialog::Accepted;
    };
    choosePrintKind = [this](float onePageCellMm) -> std::optional<PrintChoice> {
        PatternDialog dialog(&window_, onePageCellMm);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return PrintChoice{dialog.paged(), dialog.options()};
    };
}

void ChartPrinter::printChart()
{
    // A click while a print is going on would start a second job on top of the first.
    if (printing_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    nameDocument(printer);
    if (!choosePrinter || !choosePrinter(printer))
        return;
    const std::optional<PrintChoice> choice = choosePrintKind ? choosePrintKind(onePageCell(printer)) : PrintChoice{};
    if (!choice)
        return;
    (void)print(printer, *choice);
}

void ChartPrinter::nameDocument(QPrinter& printer) const
{
    printer.setDocName(QString::fromStdString(chart_texts::title(state_.chart)));
}

ChartPrinter::Outcome ChartPrinter::print(QPrinter& printer, const PrintChoice& choice)
{
    return choice.paged ? printPagesTo(printer, choice.pattern) : printTo(printer);
}

ChartPrinter::Outcome ChartPrinter::paintPreview(QPrinter& printer, const PrintChoice& choice)
{
    previewing_ = true;
    const Outcome outcome = print(printer, choice);
    previewing_ = false;
    return outcome;
}

std::optional<PrintLayout> ChartPrinter::onePageLayout(const PrintedPage& page) const
{
    // Before a first generation the model holds no cells to lay out.
    if (!window_.hasChart())
        return std::nullopt;
    const ChartOptions options{state_.blockW, state_.blockH, window_.mode(), state_.ColorBit};
    // The chart window's block colours: the reduced picture, with edited cells and a project's
    // chart in their threads' colours.
    return page.layout(state_.chart, window_.blockColors(), options);
}

float ChartPrinter::onePageCell(QPrinter& printer) const
{
    const PrintedPage page(printer);
    const std::optional<PrintLayout> layout = onePageLayout(page);
    return layout ? layout->geometry().cell : 0.0f;
}

void ChartPrinter::status(const char* text)
{
    if (previewing_)
        return;
    const QString s = QCoreApplication::translate("kanvo::ChartPrinter", text);
    if (statusShown)
        statusShown(s);
    window_.setStatus(s);
}

void ChartPrinter::restoreControls(const char* caption)
{
    window_.setWorkControlsEnabled(true);
    // The captions are the chart window's own texts.
    window_.setStopCaption(QCoreApplication::translate("kanvo::ChartWindow", caption));
}

bool ChartPrinter::stopRequested()
{
    if (previewing_)
        return false;
    QCoreApplication::processEvents();
    return !window_.running();
}

void ChartPrinter::progress(int done, int total)
{
    if (!previewing_)
        window_.setProgress(done, total);
}

ChartPrinter::Outcome ChartPrinter::fail()
{
    printing_ = false;
    if (previewing_)
        return Outcome::Failed;
    // The pointer, the print button and the controls come back on this path too.
    restoreControls(ChartWindow::kPrintCaption);
    reportFailure(window_);
    return Outcome::Failed;
}

void ChartPrinter::reportFailure(QWidget& parent)
{
    MessageBoxes::current().information(
        &parent, QString::fromUtf8(kFailureTitle), QCoreApplication::translate("kanvo::ChartPrinter", kFailureText));
}

bool ChartPrinter::start()
{
    if (printing_)
        return false;
    printing_ = true;
    if (previewing_)
        return true;
    // Only closing the window stops a print; a window closed and opened again prints anew.
    window_.setRunning(true);
    window_.setWorkControlsEnabled(false);
    return true;
}

ChartPrinter::Outcome ChartPrinter::stopped(QPrinter& printer, QPainter& painter)
{
    printer.abort();
    painter.end();
    window_.setStatus(QString());
    restoreControls(ChartWindow::kPrintCaption);
    printing_ = false;
    return Outcome::Stopped;
}

ChartPrinter::Outcome ChartPrinter::finish(QPainter& painter, PrintedPage& page)
{
    status(kStatusPrinting);
    // A preview's pages stay with its printer; no file is written.
    if (!painter.end() || (!previewing_ && !page.commit()))
        return fail();
    printing_ = false;
    if (previewing_)
        return Outcome::Printed;
    // The document has gone to the printer: nothing is printing any more.
    window_.hideStatus();
    restoreControls(ChartWindow::kPrintedCaption);
    return Outcome::Printed;
}

ChartPrinter::Outcome ChartPrinter::printTo(QPrinter& printer)
{
    if (!start())
        return Outcome::Cancelled;
    if (!printer.isValid())
        return fail();

    PrintedPage page(printer);
    const std::optional<PrintLayout> layout = onePageLayout(page);
    if (!layout || !window_.hasChart())
        return fail();

    status(kStatusDocument);
    QPainter painter;
    if (!painter.begin(&printer))
        return fail();

    ChartPainter chartPainter(page.dotsPerMm());
    const DrawList& list = layout->drawList();
    const int gh = state_.chart.gh;
    bool gridAnnounced = false;
    bool tableAnnounced = false;
    bool symbolsAnnounced = false;
    for (const DrawSection& section : list.sections()) {
        switch (section.stage) {
        case DrawStage::Title:
            break;
        case DrawStage::Legend:
        case DrawStage::LegendEntries:
        case DrawStage::Notes:
            if (!tableAnnounced) {
                tableAnnounced = true;
                status(kStatusTable);
            }
            break;
        case DrawStage::Symbols:
            if (!symbolsAnnounced) {
                symbolsAnnounced = true;
                status(kStatusSymbols);
                progress(0, gh);
            }
            if (stopRequested())
                return stopped(printer, painter);
            break;
        default: // the grid pass
            if (!gridAnnounced) {
                gridAnnounced = true;
                status(kStatusGrid);
            }
            if (stopRequested())
                continue; // the rest of the grid is skipped; the table is still drawn
            break;
        }
        chartPainter.paint(painter, list, section);
        if (section.stage == DrawStage::Symbols)
            progress(section.row + 1, gh);
    }
    return finish(painter, page);
}

ChartPrinter::Outcome ChartPrinter::printPagesTo(QPrinter& printer, const PatternOptions& chosen)
{
    if (!start())
        return Outcome::Cancelled;
    if (!printer.isValid() || !window_.hasChart() || !state_.chart.chartReady)
        return fail();

    status(kStatusDocument);
    PatternOptions options = chosen;
    options.blockW = state_.blockW;
    options.blockH = state_.blockH;
    const PatternLayout layout = PatternLayout::build(state_.chart, loadedThreadTable(), options);
    // The pattern places everything from the paper's corner and keeps its own margins.
    printer.setPageSize(PatternPdf::pageSize(layout));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    PrintedPage page(printer);

    status(kStatusPages);
    progress(0, 1);
    QPainter painter;
    if (!painter.begin(&printer))
        return fail();
    PatternPdf pages;
    pages.progress = [this](int done, int total) { progress(done, total); };
    pages.stopRequested = [this] { return stopRequested(); };
    switch (pages.paintPages(layout, painter, printer, page.dotsPerMm())) {
    case PatternPdf::Result::Stopped:
        return stopped(printer, painter);
    case PatternPdf::Result::Failed:
        printer.abort();
        painter.end();
        return fail();
    case PatternPdf::Result::Written:
        break;
    }
    return finish(painter, page);
}

} // namespace kanvo
