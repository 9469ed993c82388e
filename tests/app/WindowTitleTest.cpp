// Titles name the document: the main window its picture's file, the chart window its project's
// file with "*" while the chart has unsaved edits.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUndoCommand>
#include <QUndoStack>
#include <QWindow>
#include <QtTest>

#include "app/chart/ChartAutosave.h"
#include "app/chart/ChartWindow.h"
#include "app/workspace/MainWindow.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

const QString kMainTitle = QStringLiteral("十字绣Kanvo V2008");
const QString kChartTitle = QStringLiteral("十字绣图Kanvo ---奎乐软件quillex inc.");

// An edit as far as the undo stack is concerned; the chart itself stays as it was.
class MarkEdit : public QUndoCommand {
public:
    void redo() override {}
    void undo() override {}
};

// The title the window system shows: Qt has put the marker in or taken it out.
QString shownTitle(QWidget* window)
{
    return window->windowHandle() ? window->windowHandle()->title() : QString();
}

} // namespace

class WindowTitleTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mainWindowNamesThePicture();
    void chartWindowNamesTheProjectAndMarksEdits();
    void recoveredChartIsUnnamedAndUnsaved();

private:
    void generateChart();

    ChartWindow* chart = nullptr;
    QTemporaryDir autosaveFolder;
};

void WindowTitleTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
}

void WindowTitleTest::cleanup()
{
    if (chart)
        chart->askToSave = [] { return UnsavedChangesPrompt::Choice::Discard; };
    closeSession();
}

void WindowTitleTest::generateChart()
{
    chart = openChartWindow(12, 8, [](int x, int) { return x < 6 ? makeColor(0, 0, 0) : makeColor(0xAB, 0x02, 0x49); });
    QVERIFY(chart != nullptr);
    chart->autosave().setFolder(autosaveFolder.path());
    QVERIFY(QTest::qWaitForWindowExposed(chart));
}

void WindowTitleTest::mainWindowNamesThePicture()
{
    // The start-up picture is the program's own: the title is the program's alone.
    QCOMPARE(window->windowTitle(), kMainTitle);
    QCOMPARE(shownTitle(window), kMainTitle);

    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString piggies = session->filePath(QStringLiteral("Piggies.png"));
    QVERIFY(picture.save(piggies));
    state->sourceFile = piggies.toStdString();
    QVERIFY(window->loadSourcePicture());
    QCOMPARE(shownTitle(window), QStringLiteral("Piggies.png - ") + kMainTitle);

    // A file that cannot be read leaves the picture, and the title, as they were.
    const QString broken = session->filePath(QStringLiteral("broken.png"));
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    state->sourceFile = broken.toStdString();
    QVERIFY(!window->loadSourcePicture());
    QCOMPARE(shownTitle(window), QStringLiteral("Piggies.png - ") + kMainTitle);
}

void WindowTitleTest::chartWindowNamesTheProjectAndMarksEdits()
{
    generateChart();
    // Before "生成" there is no chart to name.
    QCOMPARE(shownTitle(chart), kChartTitle);

    chart->generate();
    QCOMPARE(chart->windowTitle(), QStringLiteral("未命名[*] - ") + kChartTitle);
    QCOMPARE(shownTitle(chart), QStringLiteral("未命名 - ") + kChartTitle);
    QVERIFY(!chart->isWindowModified());

    chart->undoStack()->push(new MarkEdit);
    QVERIFY(chart->isWindowModified());
    QCOMPARE(shownTitle(chart), QStringLiteral("未命名* - ") + kChartTitle);
    chart->undoStack()->undo(); // back to the clean state
    QCOMPARE(shownTitle(chart), QStringLiteral("未命名 - ") + kChartTitle);
    chart->undoStack()->redo();

    const QString piggies = session->filePath(QStringLiteral("Piggies.oxs"));
    QVERIFY(chart->saveProjectTo(piggies));
    QCOMPARE(shownTitle(chart), QStringLiteral("Piggies.oxs - ") + kChartTitle);
    chart->undoStack()->push(new MarkEdit);
    QCOMPARE(shownTitle(chart), QStringLiteral("Piggies.oxs* - ") + kChartTitle);
    // Undo past the save: the chart differs from the file again.
    chart->undoStack()->undo();
    QCOMPARE(shownTitle(chart), QStringLiteral("Piggies.oxs - ") + kChartTitle);
    chart->undoStack()->undo();
    QCOMPARE(shownTitle(chart), QStringLiteral("Piggies.oxs* - ") + kChartTitle);

    // Another project: its name, nothing unsaved. Saving it elsewhere names the new file.
    chart->askToSave = [] { return UnsavedChangesPrompt::Choice::Discard; };
    QVERIFY(QFile::copy(piggies, session->filePath(QStringLiteral("小猪 [*] 绣图.oxs"))));
    QVERIFY(chart->openProjectFrom(session->filePath(QStringLiteral("小猪 [*] 绣图.oxs"))));
    QCOMPARE(shownTitle(chart), QStringLiteral("小猪 [*] 绣图.oxs - ") + kChartTitle);
    QVERIFY(chart->saveProjectTo(session->filePath(QStringLiteral("copy.oxs"))));
    QCOMPARE(shownTitle(chart), QStringLiteral("copy.oxs - ") + kChartTitle);

    // The main window's picture charted again: a new chart, in no file.
    state->previewReady = true;
    window->generateChart();
    chart->generate();
    QCOMPARE(shownTitle(chart), QStringLiteral("未命名 - ") + kChartTitle);
}

void WindowTitleTest::recoveredChartIsUnnamedAndUnsaved()
{
    generateChart();
    chart->generate();
    // As after a crash: an autosave is there to reopen. It is a chart no project file holds.
    const QString saved = session->filePath(QStringLiteral("Piggies.oxs"));
    QVERIFY(chart->saveProjectTo(saved));
    QVERIFY(QFile::copy(saved, QDir(autosaveFolder.path()).filePath(QStringLiteral("autosave-1-crashed.oxs"))));
    chart->askToReopen = [](const QString&) { return true; };
    chart->offerRecovery();
    QCOMPARE(shownTitle(chart), QStringLiteral("未命名* - ") + kChartTitle);
    QVERIFY(chart->isWindowModified());
}

QTEST_MAIN(WindowTitleTest)
#include "WindowTitleTest.moc"
