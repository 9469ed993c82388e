#pragma once

#include <functional>

#include <QCoreApplication>

class QPrintPreviewDialog;
class QWidget;

namespace kanvo {

class ChartPrinter;

// "打印预览": Qt's print preview of the pages "打印" would print, the one-page chart or the
// pattern's pages as chosen in the print choice, painted by the printer's own code
// (ChartPrinter::paintPreview). "打印" in the preview prints them as "打印" does, with its status
// line, progress and stop.
class PrintPreview {
    Q_DECLARE_TR_FUNCTIONS(PrintPreview)

public:
    // printer and parent (the chart window) are not owned and must outlive this.
    PrintPreview(ChartPrinter& printer, QWidget& parent);

    // Asks what to print (the print choice, as "打印" does), then shows the preview. A chart that
    // cannot be printed gets the print's failure message instead.
    void open();

    // Shows the dialog, which paints its pages when it is shown; by default exec(). Tests replace it.
    std::function<void(QPrintPreviewDialog& dialog)> showDialog;

private:
    ChartPrinter& printer_;
    QWidget& parent_;
};

} // namespace kanvo
