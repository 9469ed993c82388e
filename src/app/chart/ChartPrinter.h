#pragma once

#include <functional>
#include <optional>

#include <QString>

#include "core/pattern/PatternLayout.h"

class QPainter;
class QWidget;
class QPrinter;

namespace kanvo {

class ChartWindow;
class PrintLayout;
class PrintedPage;
struct RunState;

// Prints the generated chart on one page: title block, grid with guide lines, colour blocks,
// rulers and block lines, thread table, notes, maker line and a symbol in every cell, laid out
// by PrintLayout in millimetres and drawn by ChartPainter on the printer. The chart window's
// status line reports the passes; closing the window (which clears `running`) during the symbol
// pass stops the print and discards the page.
//
// Or, as "分页图纸", the pages of the pattern PDF (cover, key, chart pages; PatternLayout drawn
// by PatternPdf) through the printer, with the same status line, progress and stop.
class ChartPrinter {
public:
    static constexpr const char* kFailureTitle = "Quillex ";
    // The message of a print that failed, over parent; the print preview shows the same one.
    static void reportFailure(QWidget& parent);
    static constexpr const char* kFailureText = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "    打印异常，请确认您的打印机已经就绪。     ");
    static constexpr const char* kStatusDocument = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在生成打印文档，请等待....");
    static constexpr const char* kStatusGrid = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制网格，请等待....");
    static constexpr const char* kStatusTable = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制绣线表格，请等待....");
    static constexpr const char* kStatusSymbols = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制绣线符号，请等待....");
    static constexpr const char* kStatusPrinting = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在打印，请等待....");
    static constexpr const char* kStatusPages = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制分页图纸，请等待....");
    // The one-page print sets its symbols in 9 pt, 3.2 mm tall: in smaller cells they overflow
    // and run together, so "分页图纸" is offered first.
    static constexpr float kReadableCellMm = 3.2f;

    enum class Outcome { Printed, Stopped, Failed, Cancelled };

    // What "打印" prints: the one-page chart, or the pattern's pages with its options.
    struct PrintChoice {
        bool paged = false;
        PatternOptions pattern;
    };

    ChartPrinter(RunState& state, ChartWindow& window);

    // Asks for the printer (the print dialog: a printer or "print to file"), then prints.
    void printChart();
    // Names the print job after the chart's title.
    void nameDocument(QPrinter& printer) const;
    // Prints choice on printer (set up, not yet begun): printTo() or printPagesTo().
    Outcome print(QPrinter& printer, const PrintChoice& choice);
    // Paints on printer exactly what print() would, but as no print job: the status line, the
    // progress, the print button and the controls stay as they are, nothing stops it and no
    // message is shown. For the print preview, whose printer keeps the pages to show.
    Outcome paintPreview(QPrinter& printer, const PrintChoice& choice);
    // Prints on printer, which is set up and not yet begun. Failures show the failure message.
    Outcome printTo(QPrinter& printer);
    // Prints the pattern's pages of the complete chart on printer (set up, not yet begun), on
    // the pattern's paper; block sizes are the run state's. As printTo() otherwise.
    Outcome printPagesTo(QPrinter& printer, const PatternOptions& options);

    // The side of a cell of the one-page print on printer, in millimetres; 0 when the chart
    // does not fit a page.
    [[nodiscard]] float onePageCell(QPrinter& printer) const;

    [[nodiscard]] bool printing() const { return printing_; }

    // Lets the user pick the printer; false cancels. By default the print dialog. Tests replace it.
    std::function<bool(QPrinter& printer)> choosePrinter;
    // Lets the user choose between the one-page print and "分页图纸" once the printer is known,
    // given onePageCell(); nullopt cancels. By default the print choice (PatternDialog). Tests
    // replace it; left empty, the one-page print is made.
    std::function<std::optional<PrintChoice>(float onePageCellMm)> choosePrintKind;
    // Called before each status text is shown (tests record the order).
    std::function<void(const QString& status)> statusShown;

private:
    [[nodiscard]] std::optional<PrintLayout> onePageLayout(const PrintedPage& page) const;
    // Lets the window handle its events; true when closing it asked the print to stop.
    [[nodiscard]] bool stopRequested();
    void progress(int done, int total);
    Outcome fail();
    // A stop by closing the window: the document is thrown away rather than sent half drawn.
    Outcome stopped(QPrinter& printer, QPainter& painter);
    // Ends the document and hands it to the printer (or puts the PDF file in place).
    Outcome finish(QPainter& painter, PrintedPage& page);
    // Marks the print as started: controls disabled until it ends.
    [[nodiscard]] bool start();
    void status(const char* text);
    void restoreControls(const char* caption);

    RunState& state_;
    ChartWindow& window_;
    bool printing_ = false;
    bool previewing_ = false; // painting a preview: the print's pages without the print job
};

} // namespace kanvo
