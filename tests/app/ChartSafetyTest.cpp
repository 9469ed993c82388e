// Nothing lost: unsaved chart edits are asked about before closing, opening another picture or
// project, a new generation or quitting; they are autosaved, offered again after a crash, and
// the autosave goes after a normal close.
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoCommand>
#include <QUndoStack>
#include <QtTest>

#include "app/chart/ChartAutosave.h"
#include "app/chart/ChartWindow.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/palette/ColorIndex.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

using Choice = UnsavedChangesPrompt::Choice;

// One cell made empty, as the editor's commands change the chart model in place.
class EmptyCell : public QUndoCommand {
public:
    EmptyCell(ChartWindow& chart, ChartModel& model, int x, int y) : chart_(chart), model_(model), x_(x), y_(y) {}
    void redo() override { set(ChartModel::kNoStitch); }
    void undo() override { set(before_); }

private:
    void set(int thread)
    {
        int& cell = model_.colorIndex[static_cast<std::size_t>(x_) * ChartModel::kMatrixSide + static_cast<std::size_t>(y_)];
        if (thread == ChartModel::kNoStitch)
            before_ = cell;
        cell = thread;
        chart_.refreshChart();
    }
    ChartWindow& chart_;
    ChartModel& model_;
    int x_, y_;
    int before_ = 0;
};

} // namespace

class ChartSafetyTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void closingAsksOnlyWithUnsavedEdits_data();
    void closingAsksOnlyWithUnsavedEdits();
    void otherPictureProjectGenerationAndQuitAsk_data();
    void otherPictureProjectGenerationAndQuitAsk();
    void undoingBackToTheSavedChartAsksNothing();
    void autosaveFollowsTheEditsAndGoesOnClose();
    void crashLeavesTheChartToReopen_data();
    void crashLeavesTheChartToReopen();
    void otherProgramsStitchesSurviveAnEditAndASave();
    void recoveryKeepsSymbolsAndBackStitches();

private:
    // A generated 12 x 8 chart in a chart window whose questions are answered by `answer` and
    // whose autosave lives in the test's folder.
    void generateChart();
    void edit(int x, int y) { chart->undoStack()->push(new EmptyCell(*chart, state->chart, x, y)); }

    ChartWindow* chart = nullptr;
    QTemporaryDir autosaveFolder;
    Choice answer = Choice::Cancel;
    int questions = 0;
    QString savedTo;
};

void ChartSafetyTest::init()
{
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
    answer = Choice::Cancel;
    questions = 0;
    savedTo = session->filePath(QStringLiteral("saved.oxs"));
}

void ChartSafetyTest::cleanup()
{
    if (chart)
        chart->askToSave = [] { return Choice::Discard; };
    closeSession();
}

void ChartSafetyTest::generateChart()
{
    state->stitchMatrix = StitchMatrix();
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 8; ++y)
            state->stitchMatrix.set(x, y, x < 6 ? makeColor(0, 0, 0) : makeColor(0xAB, 0x02, 0x49));
    state->picW = 12;
    state->picH = 8;
    state->previewReady = true;
    window->generateChart();
    chart = window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr);
    chart->autosave().setFolder(autosaveFolder.path());
    chart->askToSave = [this] {
        ++questions;
        return answer;
    };
    chart->chooseProjectToSave = [this] { return savedTo; };
    chart->generate();
    QVERIFY(chart->hasChart());
}

void ChartSafetyTest::closingAsksOnlyWithUnsavedEdits_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("no edits") << false << int(Choice::Cancel) << 0 << true << false;
    QTest::newRow("保存") << true << int(Choice::Save) << 1 << true << true;
    QTest::newRow("不保存") << true << int(Choice::Discard) << 1 << true << false;
    QTest::newRow("取消") << true << int(Choice::Cancel) << 1 << false << false;
}

void ChartSafetyTest::closingAsksOnlyWithUnsavedEdits()
{
    QFETCH(bool, edited);
    QFETCH(int, choice);
    QFETCH(int, asked);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    generateChart();
    if (edited)
        edit(1, 1);
    answer = Choice(choice);
    QCOMPARE(chart->close(), closed);
    QCOMPARE(questions, asked);
    QCOMPARE(chart->isVisible(), !closed);
    QCOMPARE(QFile::exists(savedTo), saved);
    QCOMPARE(chart->hasUnsavedEdits(), edited && !closed);
    if (saved) {
        // The file holds the edit, and the chart is clean.
        const OxsReader::Result read = OxsReader::readFile(savedTo.toStdString(), loadedThreadTable());
        QCOMPARE(read.error, ProjectError::None);
        QVERIFY(!read.project.chart.isStitched(1, 1));
        QCOMPARE(read.project.chart.stitchCount(), 12 * 8 - 1);
        QVERIFY(chart->undoStack()->isClean());
    }
}

void ChartSafetyTest::otherPictureProjectGenerationAndQuitAsk_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("another picture") << QStringLiteral("picture");
    QTest::newRow("the gallery") << QStringLiteral("gallery");
    QTest::newRow("a project") << QStringLiteral("project");
    QTest::newRow("生成") << QStringLiteral("generate");
    QTest::newRow("quitting") << QStringLiteral("quit");
}

void ChartSafetyTest::otherPictureProjectGenerationAndQuitAsk()
{
    QFETCH(QString, action);
    generateChart();
    edit(2, 3);
    bool went = false;
    hub->showFileChooser = [&](WindowHub::Origin, std::optional<QPoint>) { went = true; };
    hub->showGallery = [&](WindowHub::Origin, std::optional<QPoint>) { went = true; };
    const QString project = session->filePath(QStringLiteral("other.oxs"));
    {
        ChartProject other;
        other.chart = state->chart;
        QCOMPARE(OxsWriter::writeFile(project.toStdString(), other, loadedThreadTable()), ProjectError::None);
    }
    const auto run = [&] {
        if (action == "picture")
            hub->invokeShowFileChooser(WindowHub::Origin::Menu, std::nullopt);
        else if (action == "gallery")
            hub->invokeShowGallery(WindowHub::Origin::Menu, std::nullopt);
        else if (action == "project")
            went = chart->openProjectFrom(project);
        else if (action == "generate")
            chart->generate();
        else
            window->exitProgram();
        if (action == "generate")
            went = !chart->hasUnsavedEdits();
        else if (action == "quit")
            went = !window->isVisible();
    };

    // 取消: nothing happens, the edit stays.
    answer = Choice::Cancel;
    run();
    QCOMPARE(questions, 1);
    QVERIFY(!went);
    QVERIFY(!state->chart.isStitched(2, 3));
    QVERIFY(chart->hasUnsavedEdits());

    // 不保存: the action goes ahead, and is not asked about twice.
    answer = Choice::Discard;
    run();
    QCOMPARE(questions, 2);
    QVERIFY(went);
}

void ChartSafetyTest::undoingBackToTheSavedChartAsksNothing()
{
    generateChart();
    edit(0, 0);
    edit(0, 1);
    QVERIFY(chart->hasUnsavedEdits());
    chart->undoStack()->undo();
    chart->undoStack()->undo();
    QVERIFY(!chart->hasUnsavedEdits());
    QVERIFY(chart->close());
    QCOMPARE(questions, 0);
}

void ChartSafetyTest::autosaveFollowsTheEditsAndGoesOnClose()
{
    generateChart();
    ChartAutosave& autosave = chart->autosave();
    int writes = 0;
    const auto snapshot = autosave.snapshot;
    autosave.snapshot = [&] {
        ++writes;
        return snapshot();
    };
    QVERIFY(!autosave.pending());
    edit(4, 5);
    // A second change half-way through the wait rides along: the file is written once, the
    // delay after the first change, not the delay after the last (a wait that starts again at
    // every change would never write while the user keeps editing).
    constexpr int kSecondEditMs = ChartAutosave::kDelayMs / 2;
    QTest::qWait(kSecondEditMs);
    QVERIFY(!autosave.exists());
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    edit(5, 5);
    QVERIFY(autosave.pending());
    QTRY_VERIFY_WITH_TIMEOUT(autosave.exists(), ChartAutosave::kDelayMs + 2000);
    // Due kDelayMs - kSecondEditMs after the second change; a restarted wait needs kDelayMs.
    QVERIFY2(sinceSecond.elapsed() < ChartAutosave::kDelayMs - kSecondEditMs / 3,
        qPrintable(QStringLiteral("written %1 ms after the second change").arg(sinceSecond.elapsed())));
    QCOMPARE(writes, 1);
    QVERIFY(!autosave.pending());
    const OxsReader::Result read = OxsReader::readFile(autosave.filePath().toStdString(), loadedThreadTable());
    QCOMPARE(read.error, ProjectError::None);
    QVERIFY(!read.project.chart.isStitched(4, 5));
    QVERIFY(!read.project.chart.isStitched(5, 5));
    QCOMPARE(read.project.chart.stitchCount(), 12 * 8 - 2);

    // Undone to the generated chart: nothing left to keep.
    chart->undoStack()->undo();
    chart->undoStack()->undo();
    QVERIFY(!autosave.exists());
    edit(6, 6);
    QVERIFY(autosave.flush());
    QVERIFY(autosave.exists());
    // A normal close (here after 不保存) removes it.
    answer = Choice::Discard;
    QVERIFY(chart->close());
    QVERIFY(!autosave.exists());
}

void ChartSafetyTest::crashLeavesTheChartToReopen_data()
{
    QTest::addColumn<bool>("reopen");
    QTest::newRow("重新打开") << true;
    QTest::newRow("不打开") << false;
}

void ChartSafetyTest::crashLeavesTheChartToReopen()
{
    QFETCH(bool, reopen);
    generateChart();
    edit(7, 2);
    QVERIFY(chart->autosave().flush());
    const QString left = chart->autosave().filePath();
    const ChartModel edited = state->chart;
    // The run ends without closing anything: the window goes, the file stays.
    delete chart;
    chart = nullptr;
    state->chart = ChartModel();

    ChartWindow next(*state, *window);
    next.autosave().setFolder(autosaveFolder.path());
    // The file is the ended run's, not the next window's own.
    QVERIFY(!next.autosave().exists());
    QVERIFY(QFile::exists(left));
    QString offeredAt;
    next.askToReopen = [&](const QString& savedAt) {
        offeredAt = savedAt;
        return reopen;
    };
    next.askToSave = [] { return Choice::Discard; };
    next.offerRecovery();
    QVERIFY(!offeredAt.isEmpty());
    QCOMPARE(next.hasChart(), reopen);
    QCOMPARE(next.autosave().exists(), reopen);
    if (reopen) {
        QCOMPARE(state->chart.gw, 12);
        QVERIFY(!state->chart.isStitched(7, 2));
        QCOMPARE(state->chart.stitchCount(), edited.stitchCount());
        // Still not in a project file of the user's.
        QVERIFY(next.hasUnsavedEdits());
        // Saved now: nothing is left to recover, and closing asks nothing.
        next.chooseProjectToSave = [this] { return savedTo; };
        next.saveProject();
        QVERIFY(QFile::exists(savedTo));
        QVERIFY(!next.autosave().exists());
        QVERIFY(!next.hasUnsavedEdits());
        int asked = 0;
        next.askToSave = [&asked] {
            ++asked;
            return Choice::Cancel;
        };
        QVERIFY(next.close());
        QCOMPARE(asked, 0);
    }
}

void ChartSafetyTest::otherProgramsStitchesSurviveAnEditAndASave()
{
    generateChart();
    const QString source = QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/kept-extras-with-a-backstitch-only-thread.oxs");
    const qsizetype boxesBefore = boxes->texts.size();
    QVERIFY(chart->openProjectFrom(source));
    // They are the chart's own now: nothing is left out, so no note is shown.
    QCOMPARE(boxes->texts.size(), boxesBefore);
    QCOMPARE(state->chart.layers.parts.size(), std::size_t{1});
    QCOMPARE(state->chart.layers.backs.size(), std::size_t{2});
    QCOMPARE(state->chart.layers.ornaments.size(), std::size_t{2});
    QVERIFY(!state->chart.symbolOf(1).empty()); // DMC 150, used only by a back stitch, has a symbol
    edit(0, 0);
    QVERIFY(chart->saveProjectTo(savedTo));
    QFile file(savedTo);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QCOMPARE(xml.count("<partstitch "), 1);
    QCOMPARE(xml.count("<backstitch "), 2);
    QCOMPARE(xml.count("objecttype=\"knot\""), 1);
    QCOMPARE(xml.count("objecttype=\"bead\""), 1);
    QVERIFY(xml.contains("number=\"DMC 150\""));
    const OxsReader::Result read = OxsReader::read(xml.toStdString(), loadedThreadTable());
    QCOMPARE(read.error, ProjectError::None);
    QVERIFY(read.notes.empty());
    QVERIFY(read.project.chart.layers == state->chart.layers);
    QCOMPARE(read.project.chart.stitchCount(), 2);
}

void ChartSafetyTest::recoveryKeepsSymbolsAndBackStitches()
{
    // 310 = a, 666 = b, 350 = c, and 3865 = d for a back stitch only. Both 666 crosses emptied,
    // then a crash: the recovered chart still shows 350 as c and keeps the back stitch.
    const QString source = QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/symbols-stay-when-a-thread-leaves.oxs");
    generateChart();
    QVERIFY(chart->openProjectFrom(source));
    const auto symbolOfNumber = [this](int number) {
        for (const int t : state->chart.colorList)
            if (loadedThreadTable().dmc(t).cindex == number)
                return std::string(state->chart.symbolOf(t));
        return std::string();
    };
    QCOMPARE(symbolOfNumber(350), std::string("c"));
    edit(1, 0);
    edit(1, 1);
    QVERIFY(chart->autosave().flush());
    delete chart;
    chart = nullptr;
    state->chart = ChartModel();

    ChartWindow next(*state, *window);
    next.autosave().setFolder(autosaveFolder.path());
    next.askToReopen = [](const QString&) { return true; };
    next.askToSave = [] { return Choice::Discard; };
    next.offerRecovery();
    QVERIFY(next.hasChart());
    QCOMPARE(symbolOfNumber(666), std::string());
    QCOMPARE(symbolOfNumber(310), std::string("a"));
    QCOMPARE(symbolOfNumber(350), std::string("c"));
    QCOMPARE(symbolOfNumber(3865), std::string("d"));
    QCOMPARE(state->chart.layers.backs.size(), std::size_t{1});
    QCOMPARE(state->chart.layers.backs[0].to.x, 4.0);
}

QTEST_MAIN(ChartSafetyTest)
#include "ChartSafetyTest.moc"
