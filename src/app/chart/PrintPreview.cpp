#include "app/chart/PrintPreview.h"

#include <optional>

#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>

#include "app/chart/ChartPrinter.h"

namespace kanvo {

PrintPreview::PrintPreview(ChartPrinter& printer, QWidget& parent) : printer_(printer), parent_(parent)
{
    showDialog = [](QPrintPreviewDialog& dialog) { dialog.exec(); };
}

void PrintPreview::open()
{
    if (printer_.printing())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer_.nameDocument(printer);
    const std::optional<ChartPrinter::PrintChoice> choice =
        printer_.choosePrintKind ? printer_.choosePrintKind(printer_.onePageCell(printer)) : ChartPrinter::PrintChoice{};
    if (!choice)
        return;

    QPrintPreviewDialog dialog(&printer, &parent_);
    dialog.setWindowTitle(tr("打印预览"));
    bool failed = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // The preview collects its pages through a picture engine on the printer; "打印" in the
        // dialog asks for them again on the printer's own engine, and that is a print.
        const QPaintEngine* engine = target->paintEngine();
        if (engine == nullptr || engine->type() != QPaintEngine::Picture) {
            (void)printer_.print(*target, *choice);
            return;
        }
        if (printer_.paintPreview(*target, *choice) == ChartPrinter::Outcome::Failed && !failed) {
            // Nothing to show: the chart does not fit the page, or there is none yet.
            failed = true;
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        }
    });
    if (showDialog)
        showDialog(dialog);
    if (failed)
        ChartPrinter::reportFailure(parent_);
}

} // namespace kanvo
