#include "app/chart/ChartPrinter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/chart/ChartPainter.h"
#include "app/chart/ChartWindow.h"
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
}

void ChartPrinter::printChart()
{
    // A click while a print is going on would start a second job on top of the first.
    if (printing_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(chart_texts::title(state_.chart)));
    if (!choosePrinter || !choosePrinter(printer))
        return;
    (void)printTo(printer);
}

void ChartPrinter::status(const char* text)
{
    const QString s = QCoreApplication::translate("kanvo::ChartPrinter", text);
    if (statusShown)
        statusShown(s);
    window_.setStatus(s);
}

void ChartPrinter::restoreControls(const char* caption)
{
    window_.setWorkControlsEnabled(true);
    window_.setStopCaption(QString::fromUtf8(caption));
}

ChartPrinter::Outcome ChartPrinter::fail()
{
    // The pointer, the print button and the controls come back on this path too.
    restoreControls(ChartWindow::kPrintCaption);
    printing_ = false;
    MessageBoxes::current().information(
        &window_, QString::fromUtf8(kFailureTitle), QCoreApplication::translate("kanvo::ChartPrinter", kFailureText));
    return Outcome::Failed;
}

ChartPrinter::Outcome ChartPrinter::printTo(QPrinter& printer)
{
    if (printing_)
        return Outcome::Cancelled;
    printing_ = true;
    // Only closing the window stops a print; a window closed and opened again prints anew.
    window_.setRunning(true);
    window_.setWorkControlsEnabled(false);
    if (!printer.isValid())
        return fail();

    PrintedPage page(printer);
    const ChartOptions options{state_.blockW, state_.blockH, window_.mode(), state_.ColorBit};
    // A chart from a project file has no reduced picture: its blocks take the thread colours.
    const std::optional<PrintLayout> layout = page.layout(state_.chart,
        state_.chart.fromProject ? stitchColors(state_.chart, loadedThreadTable()) : state_.stitchMatrix, options);
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
                window_.setProgress(0, gh);
            }
            QCoreApplication::processEvents();
            if (!window_.running()) {
                // Stopped: the page is thrown away rather than sent half drawn.
                printer.abort();
                painter.end();
                window_.setStatus(QString());
                restoreControls(ChartWindow::kPrintCaption);
                printing_ = false;
                return Outcome::Stopped;
            }
            break;
        default: // the grid pass
            if (!gridAnnounced) {
                gridAnnounced = true;
                status(kStatusGrid);
            }
            QCoreApplication::processEvents();
            if (!window_.running())
                continue; // the rest of the grid is skipped; the table is still drawn
            break;
        }
        chartPainter.paint(painter, list, section);
        if (section.stage == DrawStage::Symbols)
            window_.setProgress(section.row + 1, gh);
    }
    status(kStatusPrinting);
    if (!painter.end() || !page.commit())
        return fail();
    // The page has gone to the printer: nothing is printing any more.
    window_.hideStatus();
    restoreControls(ChartWindow::kPrintedCaption);
    printing_ = false;
    return Outcome::Printed;
}

} // namespace kanvo
