#pragma once

#include <functional>

#include <QString>

class QPrinter;

namespace kanvo {

class ChartWindow;
struct RunState;

// Prints the generated chart on one page: title block, grid with guide lines, colour blocks,
// rulers and block lines, thread table, notes, maker line and a symbol in every cell, laid out
// by PrintLayout in millimetres and drawn by ChartPainter on the printer. The chart window's
// status line reports the passes; closing the window (which clears `running`) during the symbol
// pass stops the print and discards the page.
class ChartPrinter {
public:
    static constexpr const char* kFailureTitle = "Quillex ";
    static constexpr const char* kFailureText = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "    打印异常，请确认您的打印机已经就绪。     ");
    static constexpr const char* kStatusDocument = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在生成打印文档，请等待....");
    static constexpr const char* kStatusGrid = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制网格，请等待....");
    static constexpr const char* kStatusTable = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制绣线表格，请等待....");
    static constexpr const char* kStatusSymbols = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在绘制绣线符号，请等待....");
    static constexpr const char* kStatusPrinting = QT_TRANSLATE_NOOP("kanvo::ChartPrinter", "正在打印，请等待....");

    enum class Outcome { Printed, Stopped, Failed, Cancelled };

    ChartPrinter(RunState& state, ChartWindow& window);

    // Asks for the printer (the print dialog: a printer or "print to file"), then prints.
    void printChart();
    // Prints on printer, which is set up and not yet begun. Failures show the failure message.
    Outcome printTo(QPrinter& printer);

    [[nodiscard]] bool printing() const { return printing_; }

    // Lets the user pick the printer; false cancels. By default the print dialog. Tests replace it.
    std::function<bool(QPrinter& printer)> choosePrinter;
    // Called before each status text is shown (tests record the order).
    std::function<void(const QString& status)> statusShown;

private:
    Outcome fail();
    void status(const char* text);
    void restoreControls(const char* caption);

    RunState& state_;
    ChartWindow& window_;
    bool printing_ = false;
};

} // namespace kanvo
