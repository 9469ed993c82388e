// Printing a chart through CUPS to a cups-pdf queue, the way the chart window prints. Run by
// cups_print_test.sh, which starts a CUPS scheduler with the queue and names both in the
// environment: KANVO_CUPS_QUEUE (the queue), CUPS_SERVER (the scheduler's socket) and
// KANVO_CUPS_PDF_OUT (the folder cups-pdf writes its documents into). The document cups-pdf
// wrote is removed afterwards.
#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include "app/chart/ChartPrinter.h"
#include "app/chart/ChartWindow.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"
#include "ToolOutput.h"
#include "RecordingMessageBoxes.h"

using namespace kanvo;

namespace {

QString pdfInfoLine(const QString& info, const QString& key)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(key), QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// How far two renderings of a page lie apart, compared in cells of cell x cell pixels: the
// cells' mean colours, so that glyphs rasterised a little differently (cups-pdf turns the fonts
// into Type 3 glyphs) do not count, while anything moved, scaled, missing or recoloured does.
struct PageDifference {
    double meanCellDifference = 0; // mean over the cells of the largest channel difference
    double differingCells = 0;     // share of cells whose channels differ by more than 32
};

PageDifference compare(const QImage& a, const QImage& b, int cell)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(x.width(), y.width());
    const int h = std::min(x.height(), y.height());
    double total = 0;
    int cells = 0;
    int differing = 0;
    for (int top = 0; top + cell <= h; top += cell)
        for (int left = 0; left + cell <= w; left += cell) {
            long sum[2][3] = {};
            for (int row = top; row < top + cell; ++row) {
                const auto* px = reinterpret_cast<const QRgb*>(x.constScanLine(row));
                const auto* py = reinterpret_cast<const QRgb*>(y.constScanLine(row));
                for (int col = left; col < left + cell; ++col) {
                    sum[0][0] += qRed(px[col]), sum[0][1] += qGreen(px[col]), sum[0][2] += qBlue(px[col]);
                    sum[1][0] += qRed(py[col]), sum[1][1] += qGreen(py[col]), sum[1][2] += qBlue(py[col]);
                }
            }
            double largest = 0;
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(double(sum[0][c] - sum[1][c])) / (cell * cell));
            total += largest;
            differing += largest > 32 ? 1 : 0;
            ++cells;
        }
    return {cells ? total / cells : 255.0, cells ? double(differing) / cells : 1.0};
}

} // namespace

class CupsPrintTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void printDialogListsQueue();
    void queuePrintsTheSamePageAsPdf();

private:
    template <class T> T* chartChild(const char* name) { return chart->findChild<T*>(QString::fromUtf8(name)); }
    void generateChart();
    // Prints the chart with the print button; choose sets the printer up in place of the dialog.
    void print(std::function<void(QPrinter&)> choose);
    QImage render(const QString& pdf, const QString& name);

    QString queue;
    QString outFolder;
    ChartWindow* chart = nullptr;
};

void CupsPrintTest::initTestCase()
{
    queue = qEnvironmentVariable("KANVO_CUPS_QUEUE");
    outFolder = qEnvironmentVariable("KANVO_CUPS_PDF_OUT");
    if (queue.isEmpty() || outFolder.isEmpty())
        QSKIP("no CUPS queue given: run through cups_print_test.sh");
}

void CupsPrintTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
}

void CupsPrintTest::cleanup()
{
    closeSession();
}

void CupsPrintTest::generateChart()
{
    // 80 x 80 stitches of 12 threads in column stripes, as colour blocks with their symbols
    state->stitchMatrix = StitchMatrix();
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 80; ++y)
            state->stitchMatrix.set(x, y, loadedThreadTable().colorOf(1 + x * 12 / 80));
    state->picW = 80;
    state->picH = 80;
    state->previewReady = true;
    window->generateChart();
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr);
    chartChild<QComboBox>("Combo1")->setCurrentText(QStringLiteral("生成绣图色块"));
    state->chart.xiutuTitle = "测试绣图";
    chart->generate();
    QCOMPARE(state->chart.maxColor, 12);
}

void CupsPrintTest::print(std::function<void(QPrinter&)> choose)
{
    chart->printer().choosePrinter = [choose](QPrinter& p) {
        choose(p);
        return true;
    };
    chart->printer().choosePrintKind = [](float) { return ChartPrinter::PrintChoice{}; }; // one page
    QTest::mouseClick(chartChild<QPushButton>("Command3"), Qt::LeftButton);
    QVERIFY2(boxes->texts.isEmpty(), qPrintable(boxes->texts.join(QLatin1Char('\n'))));
    QVERIFY(!chartChild<QLabel>("Label1")->isVisible());
}

QImage CupsPrintTest::render(const QString& pdf, const QString& name)
{
    const QString base = session->filePath(name);
    if (!runTool(QStringLiteral("pdftoppm"), {"-q", "-r", "100", "-png", "-singlefile", pdf, base}))
        return {};
    return QImage(base + QStringLiteral(".png"));
}

void CupsPrintTest::printDialogListsQueue()
{
    QVERIFY2(QPrinterInfo::availablePrinterNames().contains(queue),
             qPrintable(QPrinterInfo::availablePrinterNames().join(QLatin1Char(','))));
    generateChart();
    if (QTest::currentTestFailed())
        return;

    // The chart window's own print dialog: look at its printer list, then cancel.
    QStringList listed;
    QString title;
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        poll.stop();
        seen = true;
        title = dialog->windowTitle();
        if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
            for (int i = 0; i < printers->count(); ++i)
                listed << printers->itemText(i);
        dialog->reject();
    });
    poll.start(50);
    QTest::mouseClick(chartChild<QPushButton>("Command3"), Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(title, QStringLiteral("打印绣图"));
    QVERIFY2(listed.contains(queue), qPrintable(listed.join(QLatin1Char(','))));
    // cancelled: nothing printed, no message
    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(!chart->printer().printing());
}

void CupsPrintTest::queuePrintsTheSamePageAsPdf()
{
    generateChart();
    if (QTest::currentTestFailed())
        return;
    const QString job = QStringLiteral("kanvo-cups-test-%1").arg(QCoreApplication::applicationPid());
    const QDir out(outFolder);
    auto ours = [&] {
        return out.entryList({job + QStringLiteral("*.pdf")}, QDir::Files);
    };
    for (const QString& stale : ours())
        QFile::remove(out.filePath(stale));

    // The queue as the user picks it in the dialog; its page as CUPS reports it.
    QPageLayout layout;
    print([&](QPrinter& p) {
        p.setPrinterName(queue);
        p.setDocName(job);
        layout = p.pageLayout();
    });
    if (QTest::currentTestFailed())
        return;
    qInfo("queue page: %s, margins %g %g %g %g mm", qPrintable(layout.pageSize().name()),
          layout.margins(QPageLayout::Millimeter).left(), layout.margins(QPageLayout::Millimeter).top(),
          layout.margins(QPageLayout::Millimeter).right(), layout.margins(QPageLayout::Millimeter).bottom());

    // The same page straight to a PDF file, and a page with wider margins that must not pass
    // for it (so that the comparison below can tell pages apart).
    const QString direct = session->filePath(QStringLiteral("direct.pdf"));
    print([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(direct);
        p.setPageLayout(layout);
    });
    if (QTest::currentTestFailed())
        return;
    const QString shifted = session->filePath(QStringLiteral("shifted.pdf"));
    print([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(shifted);
        QPageLayout wider = layout;
        wider.setUnits(QPageLayout::Millimeter);
        wider.setMargins(wider.margins() + QMarginsF(4, 4, 4, 4));
        p.setPageLayout(wider);
    });
    if (QTest::currentTestFailed())
        return;

    // cups-pdf names its document after the job and writes it once the job is through.
    QString printed;
    QDeadlineTimer deadline(45000);
    while (!deadline.hasExpired()) {
        const QStringList found = ours();
        const QString pending = runTool(QStringLiteral("lpstat"), {"-o", queue}).value_or(QStringLiteral("?"));
        if (!found.isEmpty() && pending.trimmed().isEmpty()) {
            QCOMPARE(found.size(), 1);
            printed = out.filePath(found.first());
            break;
        }
        QTest::qWait(200);
    }
    QVERIFY2(!printed.isEmpty(), qPrintable(QStringLiteral("nothing from %1 arrived in %2").arg(job, outFolder)));
    // KANVO_CUPS_KEEP names a folder that gets the documents and their renderings to look at.
    const QString keep = qEnvironmentVariable("KANVO_CUPS_KEEP");
    auto removePrinted = qScopeGuard([&] {
        if (!keep.isEmpty()) {
            QFile::copy(printed, QDir(keep).filePath(QStringLiteral("queue.pdf")));
            for (const char* name : {"direct.pdf", "queue.png", "direct.png", "shifted.png"})
                QFile::copy(session->filePath(QString::fromUtf8(name)), QDir(keep).filePath(QString::fromUtf8(name)));
        }
        QFile::remove(printed);
    });

    const QString info = runTool(QStringLiteral("pdfinfo"), {printed}).value_or(QString());
    const QString directInfo = runTool(QStringLiteral("pdfinfo"), {direct}).value_or(QString());
    QCOMPARE(pdfInfoLine(info, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfoLine(directInfo, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfoLine(info, QStringLiteral("Page size")), pdfInfoLine(directInfo, QStringLiteral("Page size")));
    // it went through the print system, not around it
    QVERIFY2(pdfInfoLine(info, QStringLiteral("Producer")).contains(QStringLiteral("Ghostscript")), qPrintable(info));

    const QImage fromQueue = render(printed, QStringLiteral("queue"));
    const QImage fromQt = render(direct, QStringLiteral("direct"));
    const QImage fromShifted = render(shifted, QStringLiteral("shifted"));
    QVERIFY(!fromQueue.isNull() && !fromQt.isNull() && !fromShifted.isNull());
    QCOMPARE(fromQueue.size(), fromQt.size());

    // 8 pixels at 100 dpi: cells of 2 mm, less than a stitch's block on this page. cups-pdf's
    // glyphs come out without anti-aliasing, which moves cells full of symbols by about 3 levels
    // on average; a page laid out 4 mm narrower moves them by about 18 and every seventh cell
    // by more than 32.
    const PageDifference same = compare(fromQueue, fromQt, 8);
    const PageDifference other = compare(fromShifted, fromQt, 8);
    qInfo("queue vs direct: mean cell difference %.2f, differing cells %.2f%%", same.meanCellDifference,
          100 * same.differingCells);
    qInfo("wider margins vs direct: mean cell difference %.2f, differing cells %.2f%%", other.meanCellDifference,
          100 * other.differingCells);
    QVERIFY2(same.meanCellDifference < 8 && same.differingCells < 0.01, "the queue's page differs from Qt's PDF");
    QVERIFY(other.meanCellDifference >= 8 && other.differingCells >= 0.01);
}

QTEST_MAIN(CupsPrintTest)
#include "CupsPrintTest.moc"
