// "打印预览": the preview shows the pages "打印" prints, for the one-page chart and the pattern's
// pages, without acting as a print; "打印" in the preview prints them.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/chart/ChartPrinter.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/PrintPreview.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"
#include "ToolOutput.h"

using namespace kanvo;

namespace {

// The pages of the preview, drawn as the preview shows them, each size pixels.
QList<QImage> previewPages(QPrintPreviewWidget& preview, QSize size)
{
    auto* view = preview.findChild<QGraphicsView*>();
    if (view == nullptr || view->scene() == nullptr)
        return {};
    QList<QGraphicsItem*> items = view->scene()->items();
    std::sort(items.begin(), items.end(), [](const QGraphicsItem* a, const QGraphicsItem* b) {
        return a->scenePos().y() < b->scenePos().y()
            || (a->scenePos().y() == b->scenePos().y() && a->scenePos().x() < b->scenePos().x());
    });
    QList<QImage> pages;
    for (QGraphicsItem* item : items) {
        // Each page is drawn with a border for its shadow around the paper, which starts at 0, 0.
        const QRectF bounds = item->boundingRect();
        const qreal border = -bounds.x();
        const QRectF paper = item->mapRectToScene(bounds.adjusted(border, border, -border, -border));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        view->scene()->render(&painter, QRectF(QPointF(0, 0), size), paper, Qt::IgnoreAspectRatio);
        painter.end();
        pages << image;
    }
    return pages;
}

// Ink: anything not paper white, faint anti-aliased lines included.
bool inkAt(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 240;
}

// The share of a's ink that b has too, at the same place give or take a pixel (two renderers
// draw a thin line a pixel apart, and in other shades); 0 for a without ink.
double inkShared(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 0;
    qint64 ink = 0;
    qint64 shared = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!inkAt(a, x, y))
                continue;
            ++ink;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx;
                    const int v = y + dy;
                    found = u >= 0 && v >= 0 && u < b.width() && v < b.height() && inkAt(b, u, v);
                }
            shared += found ? 1 : 0;
        }
    return ink == 0 ? 0 : double(shared) / double(ink);
}

} // namespace

class PrintPreviewTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void previewShowsThePagesPrintPrints_data();
    void previewShowsThePagesPrintPrints();
    void previewWithoutChartShowsTheFailure();

private:
    // The PNG pages of pdf rendered size pixels each.
    QList<QImage> pdfPages(const QString& pdf, int pages, QSize size);

    ChartWindow* chart = nullptr;
};

void PrintPreviewTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    // 80 x 80 stitches of 12 threads in column stripes, drawn as symbols on white ("无色块绣图"),
    // which a page without them would show.
    chart = openChartWindow(80, 80, [](int x, int) { return loadedThreadTable().colorOf(1 + x * 12 / 80); });
    QVERIFY(chart != nullptr);
}

void PrintPreviewTest::cleanup()
{
    closeSession();
}

QList<QImage> PrintPreviewTest::pdfPages(const QString& pdf, int pages, QSize size)
{
    QList<QImage> images;
    const QString base = pdf + QStringLiteral("-page");
    if (!runTool(QStringLiteral("pdftoppm"), {"-png", "-scale-to-x", QString::number(size.width()), "-scale-to-y",
            QString::number(size.height()), pdf, base}))
        return images;
    for (int i = 1; i <= pages; ++i) {
        // pdftoppm numbers the pages with as many digits as the last page needs.
        images << QImage(QStringLiteral("%1-%2.png").arg(base).arg(i, QString::number(pages).size(), 10, QLatin1Char('0')));
    }
    return images;
}

void PrintPreviewTest::previewShowsThePagesPrintPrints_data()
{
    QTest::addColumn<bool>("paged");
    QTest::addColumn<int>("pages");
    // One page; or on A4 at 2.5 mm a cell, 80 stitches take two pages across and one down,
    // after the cover and the key.
    QTest::newRow("单页绣图") << false << 1;
    QTest::newRow("分页图纸") << true << 4;
}

void PrintPreviewTest::previewShowsThePagesPrintPrints()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QFETCH(bool, paged);
    QFETCH(int, pages);
    chart->generate();
    ChartPrinter& printer = chart->printer();
    ChartPrinter::PrintChoice choice;
    choice.paged = paged;
    choice.pattern.cellMm = 2.5f;
    printer.choosePrintKind = [&](float) { return std::optional(choice); };
    QStringList statuses;
    printer.statusShown = [&](const QString& s) { statuses << s; };

    const QString fromPreview = session->filePath(QStringLiteral("from-preview.pdf"));
    const QSize pageSize(420, 594); // pixels; A4 and the preview's default paper alike are near 1 : 1.414
    int shownPages = 0;
    QList<QImage> shown;
    QPageLayout layout;
    QString previewTitle;
    QStringList statusesBeforePrint;
    QString captionBeforePrint;
    chart->printPreview().showDialog = [&](QPrintPreviewDialog& dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        previewTitle = dialog.windowTitle();
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        QVERIFY(preview != nullptr);
        shownPages = preview->pageCount();
        layout = dialog.printer()->pageLayout();
        shown = previewPages(*preview, pageSize);
        statusesBeforePrint = statuses;
        captionBeforePrint = chart->findChild<QPushButton*>(QStringLiteral("Command3"))->text();
        // "打印" in the preview, to a file.
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(fromPreview);
        preview->print();
        dialog.accept();
    };
    QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("cmdPrintPreview")), Qt::LeftButton);
    QCOMPARE(previewTitle, QStringLiteral("打印预览"));
    QVERIFY(boxes->texts.isEmpty());
    // The preview is no print: no status, the print button as it was.
    QCOMPARE(statusesBeforePrint, QStringList());
    QCOMPARE(captionBeforePrint, QStringLiteral("打印"));
    QCOMPARE(shownPages, pages);
    QCOMPARE(shown.size(), pages);
    // Printing from the preview is a print.
    QCOMPARE(statuses.last(), QStringLiteral("正在打印，请等待...."));
    QCOMPARE(chart->findChild<QPushButton*>(QStringLiteral("Command3"))->text(), QStringLiteral("打印.."));

    // "打印" on the preview's paper.
    const QString printed = session->filePath(QStringLiteral("printed.pdf"));
    printer.choosePrinter = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(printed);
        p.setPageLayout(layout);
        return true;
    };
    chart->printChart();
    QVERIFY(boxes->texts.isEmpty());

    const QList<QImage> printedPages = pdfPages(printed, pages, pageSize);
    const QList<QImage> previewPrinted = pdfPages(fromPreview, pages, pageSize);
    QCOMPARE(printedPages.size(), pages);
    QCOMPARE(previewPrinted.size(), pages);
    for (int i = 0; i < pages; ++i) {
        QVERIFY2(!printedPages[i].isNull() && !previewPrinted[i].isNull(), qPrintable(QString::number(i)));
        const QImage page = printedPages[i].convertToFormat(QImage::Format_RGB32);
        // The same document both ways.
        QVERIFY(previewPrinted[i].convertToFormat(QImage::Format_RGB32) == page);
        // The page shown is the page printed: the ink of each is on the other.
        const double shownPrinted = inkShared(shown[i], page);
        const double printedShown = inkShared(page, shown[i]);
        QVERIFY2(shownPrinted > 0.8 && printedShown > 0.8,
            qPrintable(QStringLiteral("page %1: %2 of the shown ink printed, %3 of the printed shown")
                           .arg(i + 1).arg(shownPrinted).arg(printedShown)));
    }
    // No second file, nor a part file left.
    QCOMPARE(QDir(session->folder()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden), QStringList());
}

void PrintPreviewTest::previewWithoutChartShowsTheFailure()
{
    bool shown = false;
    chart->printer().choosePrintKind = [](float) { return std::optional(ChartPrinter::PrintChoice{}); };
    chart->printPreview().showDialog = [&](QPrintPreviewDialog& dialog) {
        shown = true;
        dialog.exec(); // closes itself: there is nothing to show
    };
    chart->showPrintPreview();
    QVERIFY(shown);
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex ")});
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("    打印异常，请确认您的打印机已经就绪。     ")});
    QCOMPARE(chart->findChild<QPushButton*>(QStringLiteral("Command3"))->text(), QStringLiteral("打印"));
}

QTEST_MAIN(PrintPreviewTest)
#include "PrintPreviewTest.moc"
