// One autosave per running copy: each copy writes a file of its own under a lock; recovery
// offers only the files of copies no longer running, each of them, and 不打开 removes only the
// file asked about; a data folder that cannot be written is reported, and editing goes on.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUndoCommand>
#include <QUndoStack>
#include <QtTest>

#include "app/chart/AutosaveSlot.h"
#include "app/chart/ChartAutosave.h"
#include "app/chart/ChartWindow.h"
#include "app/workspace/MainWindow.h"
#include "core/palette/ColorIndex.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

using Choice = UnsavedChangesPrompt::Choice;

// A chart project of width x 4 black stitches: charts told apart by their width.
ChartProject projectOfWidth(int width)
{
    StitchMatrix stitches;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < 4; ++y)
            stitches.set(x, y, makeColor(0, 0, 0));
    ChartProject project;
    project.chart.gw = width;
    project.chart.gh = 4;
    (void)generateChartModel(stitches, project.chart, ColorIndexSettings{0, 0}, loadedThreadTable());
    return project;
}

// The width of the chart in an OXS file; 0 when it cannot be read.
int widthIn(const QString& path)
{
    const OxsReader::Result read = OxsReader::readFile(path.toStdString(), loadedThreadTable());
    return read.error == ProjectError::None ? read.project.chart.gw : 0;
}

// The id of a process that has ended.
qint64 endedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("sleep"), {QStringLiteral("0")});
    if (!process.waitForStarted())
        return -1;
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

// The autosave a crashed copy left: the chart in path, and a lock naming a process that has
// ended. The lock is written as QLockFile writes one, with only the process id changed.
bool leaveCrashedAutosave(const QString& path, int width)
{
    if (OxsWriter::writeFile(path.toStdString(), projectOfWidth(width), loadedThreadTable()) != ProjectError::None)
        return false;
    const QString lockPath = path + QStringLiteral(".lock");
    QByteArray content;
    {
        QLockFile lock(lockPath);
        if (!lock.tryLock())
            return false;
        QFile file(lockPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        content = file.readAll();
    }
    const qint64 pid = endedProcessId();
    const qsizetype end = content.indexOf('\n');
    if (pid <= 0 || end < 0)
        return false;
    content.replace(0, end, QByteArray::number(pid));
    QFile file(lockPath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// An edit as far as the undo stack is concerned.
class MarkEdit : public QUndoCommand {
public:
    void redo() override {}
    void undo() override {}
};

} // namespace

class AutosaveOwnersTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void twoCopiesKeepTwoFiles();
    void liveCopysAutosaveIsNeverOffered();
    void eachCrashedCopyIsOfferedAndOnlyTheDeclinedGoes();
    void unwritableDataFolderIsReportedAndEditsGoOn();

private:
    void generateChart();

    QTemporaryDir dataFolder;
    ChartWindow* chart = nullptr;
};

void AutosaveOwnersTest::init()
{
    QVERIFY(dataFolder.isValid());
    QVERIFY(openSession());
    QVERIFY(session->start());
    chart = nullptr;
}

void AutosaveOwnersTest::cleanup()
{
    if (chart)
        chart->askToSave = [] { return Choice::Discard; };
    closeSession();
    QDir folder(dataFolder.path());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
}

void AutosaveOwnersTest::generateChart()
{
    chart = openChartWindow(12, 8, [](int x, int) { return x < 6 ? makeColor(0, 0, 0) : makeColor(0xAB, 0x02, 0x49); });
    QVERIFY(chart != nullptr);
    chart->autosave().setFolder(dataFolder.path());
    chart->generate();
    QVERIFY(chart->hasChart());
}

void AutosaveOwnersTest::twoCopiesKeepTwoFiles()
{
    ChartAutosave a;
    ChartAutosave b;
    a.setFolder(dataFolder.path());
    b.setFolder(dataFolder.path());
    a.snapshot = [] { return std::optional(projectOfWidth(5)); };
    b.snapshot = [] { return std::optional(projectOfWidth(9)); };
    QVERIFY(a.flush());
    QVERIFY(b.flush());
    QVERIFY(a.filePath() != b.filePath());
    QCOMPARE(widthIn(a.filePath()), 5);
    QCOMPARE(widthIn(b.filePath()), 9);
    // Each is held while its copy runs.
    QVERIFY(AutosaveSlot::orphans(dataFolder.path()).empty());
    // A's chart saved: its file goes, B's stays.
    a.discard();
    QVERIFY(!QFile::exists(a.filePath()));
    QCOMPARE(widthIn(b.filePath()), 9);
}

void AutosaveOwnersTest::liveCopysAutosaveIsNeverOffered()
{
    // Copy A runs with unsaved edits; copy B starts with the same data folder.
    ChartAutosave a;
    a.setFolder(dataFolder.path());
    a.snapshot = [] { return std::optional(projectOfWidth(7)); };
    QVERIFY(a.flush());

    generateChart();
    int asked = 0;
    chart->askToReopen = [&](const QString&) {
        ++asked;
        return false; // 不打开
    };
    chart->offerRecovery();
    QCOMPARE(asked, 0);
    QCOMPARE(widthIn(a.filePath()), 7);

    // A is killed: its lock now names a process that has gone. Now it is offered.
    const QString crashed = a.filePath();
    QVERIFY(QFile::copy(crashed, crashed + QStringLiteral(".kept")));
    a.discard();
    QVERIFY(QFile::rename(crashed + QStringLiteral(".kept"), crashed));
    QVERIFY(leaveCrashedAutosave(crashed, 7));
    chart->askToReopen = [&](const QString&) {
        ++asked;
        return true;
    };
    chart->offerRecovery();
    QCOMPARE(asked, 1);
    QCOMPARE(state->chart.gw, 7);
    QVERIFY(chart->hasUnsavedEdits());
    // The chart now lives in B's own autosave; A's file has gone with its lock.
    QVERIFY(!QFile::exists(crashed));
    QVERIFY(!QFile::exists(crashed + QStringLiteral(".lock")));
    QCOMPARE(widthIn(chart->autosave().filePath()), 7);
}

void AutosaveOwnersTest::eachCrashedCopyIsOfferedAndOnlyTheDeclinedGoes()
{
    const QDir folder(dataFolder.path());
    const QString older = folder.filePath(QStringLiteral("autosave-101-00000001.oxs"));
    const QString newer = folder.filePath(QStringLiteral("autosave-102-00000002.oxs"));
    const QString live = folder.filePath(QStringLiteral("autosave-103-00000003.oxs"));
    // An earlier version's single autosave, which had no lock.
    const QString legacy = folder.filePath(QStringLiteral("autosave.oxs"));
    QVERIFY(leaveCrashedAutosave(older, 5));
    QVERIFY(leaveCrashedAutosave(newer, 9));
    QVERIFY(OxsWriter::writeFile(legacy.toStdString(), projectOfWidth(13), loadedThreadTable()) == ProjectError::None);
    // A running copy's file: the test holds its lock.
    QVERIFY(OxsWriter::writeFile(live.toStdString(), projectOfWidth(11), loadedThreadTable()) == ProjectError::None);
    QLockFile liveLock(live + QStringLiteral(".lock"));
    QVERIFY(liveLock.tryLock());
    // Newest first: newer, older, legacy.
    const QDateTime now = QDateTime::currentDateTime();
    const QList<QPair<QString, int>> ages{{newer, 60}, {older, 120}, {legacy, 180}, {live, 30}};
    for (const auto& [path, seconds] : ages) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addSecs(-seconds), QFileDevice::FileModificationTime));
    }

    generateChart();
    chart->askToSave = [] { return Choice::Discard; };
    // Before each answer: which of newer, older and legacy are still there. 不打开, 重新打开, 不打开.
    QList<QList<bool>> present;
    const QList<bool> answers{false, true, false};
    chart->askToReopen = [&](const QString&) {
        present << QList<bool>{QFile::exists(newer), QFile::exists(older), QFile::exists(legacy)};
        return answers.value(present.size() - 1, false);
    };
    chart->offerRecovery();
    QCOMPARE(present.size(), 3);
    QCOMPARE(present[0], (QList<bool>{true, true, true}));
    QCOMPARE(present[1], (QList<bool>{false, true, true}));  // 不打开 removed newer only
    QCOMPARE(present[2], (QList<bool>{false, false, true})); // older reopened: now in this copy's file
    QVERIFY(!QFile::exists(legacy));
    QCOMPARE(state->chart.gw, 5);
    QCOMPARE(widthIn(chart->autosave().filePath()), 5);
    // The running copy's file is untouched, and still its own.
    QCOMPARE(widthIn(live), 11);
    QVERIFY(liveLock.isLocked());
    QVERIFY(QFile::exists(live + QStringLiteral(".lock")));
    QStringList locks{QFileInfo(chart->autosave().filePath()).fileName() + QStringLiteral(".lock"),
        QFileInfo(live).fileName() + QStringLiteral(".lock")};
    locks.sort();
    QCOMPARE(folder.entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden, QDir::Name), locks);
}

void AutosaveOwnersTest::unwritableDataFolderIsReportedAndEditsGoOn()
{
    generateChart();
    // The data folder cannot be made: a file stands where it would be.
    const QString blocker = QDir(dataFolder.path()).filePath(QStringLiteral("not-a-folder"));
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    chart->autosave().setFolder(blocker + QStringLiteral("/kanvo"));
    auto* note = chart->findChild<QLabel*>(QStringLiteral("lblAutosaveNote"));
    QVERIFY(note != nullptr);
    QVERIFY(!note->isVisible());

    chart->undoStack()->push(new MarkEdit);
    QVERIFY(!chart->autosave().flush());
    QVERIFY(note->isVisible());
    QCOMPARE(boxes->titles.size(), 1);
    QVERIFY2(boxes->texts.first().contains(QStringLiteral("绣图无法自动保存到")), qPrintable(boxes->texts.first()));
    // Editing goes on; the next failure keeps the note and asks nothing more.
    chart->undoStack()->push(new MarkEdit);
    QVERIFY(chart->hasUnsavedEdits());
    QVERIFY(!chart->autosave().flush());
    QVERIFY(note->isVisible());
    QCOMPARE(boxes->titles.size(), 1);

    // Writable again: the next write succeeds and the note goes.
    chart->autosave().setFolder(dataFolder.path());
    chart->undoStack()->push(new MarkEdit);
    QVERIFY(chart->autosave().flush());
    QVERIFY(!note->isVisible());
    QVERIFY(QFile::exists(chart->autosave().filePath()));
    QCOMPARE(boxes->titles.size(), 1);
}

QTEST_MAIN(AutosaveOwnersTest)
#include "AutosaveOwnersTest.moc"
