// Many generations in one run of the program, as a user making chart after chart: effect
// preview, "生成" in the main window, "生成" in the chart window, "保存", chart window closed.
// Memory must settle, and no file descriptor or stray file may pile up.
//
// KANVO_SOAK_RUNS sets the number of generations (200 when unset).

#include <cstdio>

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QtTest>

#include "app/chart/ChartWindow.h"
#include "ProgramSession.h"

using namespace kanvo;

namespace {

// Resident memory of this process in kB, from /proc/self/status.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void manyGenerationsLeaveNothingBehind();

private:
    // One generation, its chart saved to path; a failed step fails the test.
    void generateAndSave(int run, const QString& path);

    std::unique_ptr<ProgramSession> session;
};

void SoakTest::generateAndSave(int run, const QString& path)
{
    MainWindow& window = *session->window;
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    QVERIFY2(session->state.previewReady, qPrintable(QStringLiteral("run %1: no effect preview").arg(run)));
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Label2")), Qt::LeftButton);
    auto* chart = window.findChild<ChartWindow*>();
    QVERIFY(chart != nullptr && chart->isVisible());
    // Every mode in turn, so each drawing path is repeated.
    chart->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(run % 3);
    QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(session->state.chart.chartReady, qPrintable(QStringLiteral("run %1: no chart").arg(run)));
    chart->chooseSavePath = [path] { return path; };
    session->boxes = RecordingMessageBoxes();
    QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(session->boxes.texts, QStringList{QStringLiteral("  绣图文件保存成功在") + path});
    chart->close();
    QCoreApplication::processEvents();
}

void SoakTest::manyGenerationsLeaveNothingBehind()
{
    const int runs = qEnvironmentVariableIsSet("KANVO_SOAK_RUNS") ? qEnvironmentVariableIntValue("KANVO_SOAK_RUNS") : 200;
    QVERIFY(runs >= 2);
    session = std::make_unique<ProgramSession>();
    QVERIFY(session->valid());
    QVERIFY(session->start());
    const QString path = session->filePath(QStringLiteral("soak chart.bmp"));

    // The first generations fill the caches that stay for the run (glyphs, fonts, the thread
    // table's lookup): growth is counted from after them.
    const int warmUp = std::min(10, runs / 2);
    for (int run = 0; run < warmUp; ++run) {
        generateAndSave(run, path);
        if (QTest::currentTestFailed())
            return;
    }
    const long rssBefore = residentKb();
    const int descriptorsBefore = openDescriptors();
    const QStringList filesBefore = QDir(session->folder()).entryList(QDir::Files | QDir::Hidden);
    for (int run = warmUp; run < runs; ++run) {
        generateAndSave(run, path);
        if (QTest::currentTestFailed())
            return;
    }
    const long rssAfter = residentKb();
    const int descriptorsAfter = openDescriptors();

    std::printf("soak: %d generations, resident memory %ld kB after %d, %ld kB after %d (growth %ld kB); "
                "open descriptors %d then %d\n",
        runs, rssBefore, warmUp, rssAfter, runs, rssAfter - rssBefore, descriptorsBefore, descriptorsAfter);
    QVERIFY(rssBefore > 0 && rssAfter > 0);
    QVERIFY2(rssAfter - rssBefore < 10 * 1024, "resident memory grew by 10 MB or more");
    QCOMPARE(descriptorsAfter, descriptorsBefore);
    // Scratch files are rewritten in place and the saved chart replaced: nothing else appears.
    QCOMPARE(QDir(session->folder()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    session.reset();
}

QTEST_MAIN(SoakTest)
#include "SoakTest.moc"
