// Kanvo among the desktop's document programs: files given on the command line, dropped or
// pasted, the recent files, the standard keys, the Help menu, and what is remembered between
// runs (in a kanvo.conf of the test's own, never the user's).
#include <memory>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "app/chart/ChartWindow.h"
#include "app/platform/AppSettings.h"
#include "app/platform/FileDialogs.h"
#include "app/platform/ProgramInfo.h"
#include "app/platform/WindowGeometry.h"
#include "app/workspace/AboutBox.h"
#include "app/workspace/CommandLine.h"
#include "app/workspace/DocumentOpener.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/RecentFiles.h"
#include "app/workspace/WindowHub.h"
#include "ProgramSessionTest.h"

using namespace kanvo;

namespace {

using Choice = UnsavedChangesPrompt::Choice;

const QString kBadPictureMessage = QStringLiteral("   错误的图形文件，无法打开，请确认是jpg,gif,bmp,png格式中的一种   ");
const QString kGoodProject = QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/empty-cells-and-cloth-stitches.oxs");
const QString kRefusedProject = QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/refused-no-palette.oxs");

// A width x height picture: red left half, blue right half.
QImage halves(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

void sendDrop(QWidget& target, const QMimeData& data, bool* accepted)
{
    const QPoint middle(target.width() / 2, target.height() / 2);
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    *accepted = enter.isAccepted();
    if (!*accepted)
        return;
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
}

QAction* action(QWidget& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromUtf8(name));
}

} // namespace

class DesktopDocumentTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandLine_data();
    void commandLine();
    void openingFiles_data();
    void openingFiles();
    void openingAPictureAsksAboutUnsavedEdits();
    void dropsOpenOnBothWindows_data();
    void dropsOpenOnBothWindows();
    void pasteTakesTheClipboardPicture_data();
    void pasteTakesTheClipboardPicture();
    void recentFilesNewestFirstAndKept();
    void recentFileThatHasGoneIsRemoved();
    void standardKeysInTheMenus_data();
    void standardKeysInTheMenus();
    void chartWindowKeysSaveAndPrint();
    void quitAsksAboutUnsavedEditsFirst();
    void guideOpensInTheInterfaceLanguage_data();
    void guideOpensInTheInterfaceLanguage();
    void aboutNamesVersionQtLicenceAndHomepage();
    void windowsAndFoldersRememberedBetweenRuns();

private:
    // A new session (a new run of the program) on the same settings file.
    void restart();
    ChartWindow* chartWindow() const { return window->findChild<ChartWindow*>(); }
    [[nodiscard]] DocumentOpener& opener() const { return *window->findChild<DocumentOpener*>(); }
    [[nodiscard]] QString writePicture(const QString& name, const QImage& image, const char* format = "PNG") const
    {
        const QString path = session->filePath(name);
        return image.save(path, format) ? path : QString();
    }

    std::unique_ptr<QTemporaryDir> settingsFolder;
    std::unique_ptr<AppSettings> settings;
};

void DesktopDocumentTest::init()
{
    settingsFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(settingsFolder->isValid());
    settings = std::make_unique<AppSettings>(settingsFolder->filePath(QStringLiteral("kanvo.conf")));
    AppSettings::setCurrent(settings.get());
    QVERIFY(openSession());
    QVERIFY(session->start());
}

void DesktopDocumentTest::cleanup()
{
    if (ChartWindow* chart = session ? chartWindow() : nullptr)
        chart->askToSave = [] { return Choice::Discard; };
    closeSession();
    AppSettings::setCurrent(nullptr);
    settings.reset();
    settingsFolder.reset();
}

void DesktopDocumentTest::restart()
{
    if (ChartWindow* chart = chartWindow())
        chart->askToSave = [] { return Choice::Discard; };
    window->close();
    closeSession();
    settings = std::make_unique<AppSettings>(settingsFolder->filePath(QStringLiteral("kanvo.conf")));
    AppSettings::setCurrent(settings.get());
    QVERIFY(openSession());
    QVERIFY(session->start());
}

void DesktopDocumentTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("selfTest");
    QTest::addColumn<QString>("file");
    QTest::newRow("nothing") << QStringList{} << false << 0 << false << QString();
    QTest::newRow("a picture") << QStringList{"Piggies.png"} << false << 0 << false << "Piggies.png";
    QTest::newRow("a project with the self-test") << QStringList{"--self-test", "a.oxs"} << false << 0 << true << "a.oxs";
    QTest::newRow("--version") << QStringList{"--version"} << true << 0 << false << QString();
    QTest::newRow("--help") << QStringList{"--help"} << true << 0 << false << QString();
    QTest::newRow("-h") << QStringList{"-h"} << true << 0 << false << QString();
    QTest::newRow("unknown option") << QStringList{"--colour"} << true << 2 << false << QString();
    QTest::newRow("two files") << QStringList{"a.png", "b.png"} << true << 2 << false << QString();
}

void DesktopDocumentTest::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, answered);
    QFETCH(int, status);
    QFETCH(bool, selfTest);
    QFETCH(QString, file);
    const CommandLine line(QStringList{QStringLiteral("kanvo")} + arguments);
    QCOMPARE(line.answered(), answered);
    QCOMPARE(line.selfTest(), selfTest);
    QCOMPARE(line.file(), file);
    if (answered)
        QCOMPARE(line.answer(), status);
}

void DesktopDocumentTest::openingFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opens");
    QTest::newRow("PNG picture") << "png" << true;
    QTest::newRow("JPEG named .dat (read by its contents)") << "jpeg-as-dat" << true;
    QTest::newRow("damaged picture") << "damaged" << false;
    QTest::newRow("missing picture") << "missing" << false;
    QTest::newRow("OXS project") << "project" << true;
    QTest::newRow("refused OXS project") << "refused-project" << false;
}

void DesktopDocumentTest::openingFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    const std::string startup = state->sourceFile;
    const QSize startupSize = window->sourcePicture().size();
    QString path;
    if (kind == "png")
        path = writePicture(QStringLiteral("宽40高30.png"), halves(40, 30));
    else if (kind == "jpeg-as-dat")
        path = writePicture(QStringLiteral("picture.dat"), halves(40, 30), "JPEG");
    else if (kind == "damaged") {
        path = session->filePath(QStringLiteral("damaged.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\n not a picture after all");
    } else if (kind == "missing")
        path = session->filePath(QStringLiteral("missing.png"));
    else
        path = kind == "project" ? kGoodProject : kRefusedProject;
    QVERIFY(!path.isEmpty());

    QCOMPARE(hub->invokeOpenFile(path), opens);
    const QStringList recent = opener().recentFiles().files();
    QCOMPARE(recent, opens ? QStringList{QFileInfo(path).absoluteFilePath()} : QStringList{});
    if (kind.endsWith("project")) {
        ChartWindow* chart = chartWindow();
        QVERIFY(chart != nullptr);
        QCOMPARE(chart->hasChart(), opens);
        QCOMPARE(state->sourceFile, startup);
        return;
    }
    if (opens) {
        QCOMPARE(QString::fromStdString(state->sourceFile), path);
        QCOMPARE(window->sourcePicture().size(), QSize(40, 30));
        QCOMPARE(QString::fromStdString(state->lastFolder), session->folder());
        QVERIFY(boxes->texts.isEmpty());
    } else {
        // The program's message, and the start-up picture stays.
        QCOMPARE(boxes->texts, QStringList{kBadPictureMessage});
        QCOMPARE(state->sourceFile, startup);
        QCOMPARE(window->sourcePicture().size(), startupSize);
    }
}

void DesktopDocumentTest::openingAPictureAsksAboutUnsavedEdits()
{
    const QString path = writePicture(QStringLiteral("next.png"), halves(40, 30));
    const std::string startup = state->sourceFile;
    int asked = 0;
    bool answer = false;
    hub->confirmChartChanges = [&] {
        ++asked;
        return answer;
    };
    QVERIFY(!hub->invokeOpenFile(path));
    QCOMPARE(asked, 1);
    QCOMPARE(state->sourceFile, startup);
    answer = true;
    QVERIFY(hub->invokeOpenFile(path));
    QCOMPARE(asked, 2);
    QCOMPARE(QString::fromStdString(state->sourceFile), path);
}

void DesktopDocumentTest::dropsOpenOnBothWindows_data()
{
    QTest::addColumn<bool>("onChartWindow");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("accepted");
    for (bool chart : {false, true}) {
        const char* where = chart ? "chart window: " : "main window: ";
        QTest::addRow("%spicture file", where) << chart << "picture" << true;
        QTest::addRow("%sproject file", where) << chart << "project" << true;
        QTest::addRow("%spicture without a file", where) << chart << "image" << true;
        QTest::addRow("%stext", where) << chart << "text" << false;
        QTest::addRow("%stwo files", where) << chart << "two files" << false;
    }
}

void DesktopDocumentTest::dropsOpenOnBothWindows()
{
    QFETCH(bool, onChartWindow);
    QFETCH(QString, what);
    QFETCH(bool, accepted);
    QWidget* target = window;
    if (onChartWindow) {
        QVERIFY(hub->invokeOpenFile(kGoodProject));
        target = chartWindow();
        QVERIFY(target != nullptr);
        QVERIFY(target->acceptDrops());
    }
    const QString picture = writePicture(QStringLiteral("dropped.png"), halves(40, 30));
    const QString project = session->filePath(QStringLiteral("dropped.oxs"));
    QVERIFY(QFile::copy(kGoodProject, project));
    QMimeData data;
    if (what == "picture")
        data.setUrls({QUrl::fromLocalFile(picture)});
    else if (what == "project")
        data.setUrls({QUrl::fromLocalFile(project)});
    else if (what == "image")
        data.setImageData(halves(6, 4));
    else if (what == "text")
        data.setText(picture);
    else
        data.setUrls({QUrl::fromLocalFile(picture), QUrl::fromLocalFile(project)});

    const std::string before = state->sourceFile;
    bool taken = false;
    sendDrop(*target, data, &taken);
    QCOMPARE(taken, accepted);
    if (what == "picture")
        QTRY_COMPARE(QString::fromStdString(state->sourceFile), picture);
    else if (what == "project")
        QTRY_COMPARE(opener().recentFiles().files().value(0), project);
    else if (what == "image")
        QTRY_COMPARE(window->zoomedSurface().pixel(state->moveX1 + 5, state->moveY1 + 3), qRgb(0, 0, 255));
    QTest::qWait(20);
    if (!accepted)
        QCOMPARE(state->sourceFile, before);
    QVERIFY(boxes->texts.isEmpty());
}

void DesktopDocumentTest::pasteTakesTheClipboardPicture_data()
{
    QTest::addColumn<bool>("wholePicture");
    QTest::newRow("局部: at the grid window's offset") << false;
    QTest::newRow("全图: at the corner") << true;
}

void DesktopDocumentTest::pasteTakesTheClipboardPicture()
{
    QFETCH(bool, wholePicture);
    if (wholePicture)
        window->wholeMode();
    const int toX = wholePicture ? 0 : state->moveX1;
    const int toY = wholePicture ? 0 : state->moveY1;
    const std::string source = state->sourceFile;
    // Red and blue halves, the top-right pixel transparent: it comes as white.
    QImage copied = halves(10, 6).convertToFormat(QImage::Format_ARGB32);
    copied.setPixel(9, 0, qRgba(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(copied);
    action(*window, "mnuPastePicture")->trigger();
    const QImage& surface = window->zoomedSurface();
    QCOMPARE(surface.pixel(toX, toY), qRgb(255, 0, 0));
    QCOMPARE(surface.pixel(toX + 4, toY + 5), qRgb(255, 0, 0));
    QCOMPARE(surface.pixel(toX + 5, toY + 5), qRgb(0, 0, 255));
    QCOMPARE(surface.pixel(toX + 9, toY), qRgb(255, 255, 255));
    QCOMPARE(state->sourceFile, source); // no file: like a screen capture
    QVERIFY(boxes->texts.isEmpty());

    // Without a picture on the clipboard: a message, and nothing changes.
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    const QImage before = surface.copy();
    action(*window, "mnuPastePicture")->trigger();
    QCOMPARE(boxes->texts.size(), 1);
    QCOMPARE(window->zoomedSurface(), before);
}

void DesktopDocumentTest::recentFilesNewestFirstAndKept()
{
    QStringList paths;
    for (int i = 1; i <= 12; ++i)
        paths << writePicture(QStringLiteral("p%1.png").arg(i), halves(20, 20));
    for (const QString& path : paths)
        QVERIFY(hub->invokeOpenFile(path));
    // The newest ten, newest first; opening p5 again moves it to the top.
    QStringList expected{paths[11], paths[10], paths[9], paths[8], paths[7], paths[6], paths[5], paths[4], paths[3], paths[2]};
    QCOMPARE(opener().recentFiles().files(), expected);
    QVERIFY(hub->invokeOpenFile(paths[4]));
    expected = QStringList{paths[4], paths[11], paths[10], paths[9], paths[8], paths[7], paths[6], paths[5], paths[3], paths[2]};
    QCOMPARE(opener().recentFiles().files(), expected);
    // A project saved in the chart window joins the list too.
    ChartWindow* chart = nullptr;
    QVERIFY(hub->invokeOpenFile(kGoodProject));
    chart = chartWindow();
    const QString saved = session->filePath(QStringLiteral("saved.oxs"));
    chart->chooseProjectToSave = [&] { return saved; };
    chart->saveProject();
    QCOMPARE(opener().recentFiles().files().mid(0, 2), (QStringList{saved, kGoodProject}));

    // The menu, as the user sees it.
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuRecent"));
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->title(), QStringLiteral("最近打开"));
    QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("&1 saved.oxs"));
    QCOMPARE(menu->actions().value(2)->text(), QStringLiteral("&3 p5.png"));
    QCOMPARE(menu->actions().value(9)->text(), QStringLiteral("1&0 p6.png"));

    // Kept in kanvo.conf: the next run lists the same files.
    const QStringList kept = opener().recentFiles().files();
    QCOMPARE(QSettings(settings->filePath(), QSettings::IniFormat).value("recentFiles").toStringList(), kept);
    restart();
    QCOMPARE(opener().recentFiles().files(), kept);
    // Choosing an entry opens it (the pictures went with the last run's working folder).
    window->findChild<QMenu*>(QStringLiteral("mnuRecent"))->actions().value(1)->trigger();
    QVERIFY(chartWindow() != nullptr && chartWindow()->hasChart());
    QCOMPARE(opener().recentFiles().files().value(0), kGoodProject);

    // "清除列表" empties it, in the file too; only the disabled "清除列表" is left.
    QAction* clear = action(*window, "mnuRecentClear");
    QVERIFY(clear != nullptr && clear->isEnabled());
    clear->trigger();
    QVERIFY(opener().recentFiles().files().isEmpty());
    QTest::qWait(0);
    const QList<QAction*> left = window->findChild<QMenu*>(QStringLiteral("mnuRecent"))->actions();
    QCOMPARE(left.size(), 2); // the separator and "清除列表"
    QVERIFY(!left.last()->isEnabled());
    QVERIFY(AppSettings(settings->filePath()).recentFiles().isEmpty());
}

void DesktopDocumentTest::recentFileThatHasGoneIsRemoved()
{
    const QString stays = writePicture(QStringLiteral("stays.png"), halves(20, 20));
    const QString goes = writePicture(QStringLiteral("goes.png"), halves(24, 24));
    QVERIFY(hub->invokeOpenFile(stays));
    QVERIFY(hub->invokeOpenFile(goes));
    QVERIFY(hub->invokeOpenFile(stays));
    QVERIFY(QFile::remove(goes));
    window->findChild<QMenu*>(QStringLiteral("mnuRecent"))->actions().value(1)->trigger();
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->texts[0].contains(QStringLiteral("goes.png")));
    QCOMPARE(opener().recentFiles().files(), QStringList{stays});
    QCOMPARE(AppSettings(settings->filePath()).recentFiles(), QStringList{stays});
    QCOMPARE(QString::fromStdString(state->sourceFile), stays);
}

void DesktopDocumentTest::standardKeysInTheMenus_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("keys");
    QTest::newRow("导入图片文件") << "mnuImportFile" << "Ctrl+O";
    QTest::newRow("粘贴图片") << "mnuPastePicture" << "Ctrl+V";
    QTest::newRow("打印绣图") << "mnuPrint" << "Ctrl+P";
    QTest::newRow("退出十字绣图Kanvo") << "mnuExit" << "Ctrl+Q";
    QTest::newRow("使用说明") << "mnuGuide" << "F1";
}

void DesktopDocumentTest::standardKeysInTheMenus()
{
    QFETCH(QString, entry);
    QFETCH(QString, keys);
    QAction* a = action(*window, entry.toUtf8().constData());
    QVERIFY(a != nullptr);
    QCOMPARE(a->shortcut(), QKeySequence(keys));
    // Shown in the menu beside the entry.
    QVERIFY(a->isShortcutVisibleInContextMenu() || !a->shortcut().isEmpty());

    // The key itself runs the entry.
    int triggered = 0;
    connect(a, &QAction::triggered, this, [&] { ++triggered; });
    hub->showFileChooser = [](WindowHub::Origin, std::optional<QPoint>) {};
    hub->confirmChartChanges = [] { return false; }; // Ctrl+Q stays in the program
    window->openDocument = [](const QUrl&) { return true; };
    QGuiApplication::clipboard()->setImage(halves(4, 4));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keySequence(window, QKeySequence(keys));
    QCOMPARE(triggered, 1);
}

void DesktopDocumentTest::chartWindowKeysSaveAndPrint()
{
    QVERIFY(hub->invokeOpenFile(kGoodProject));
    ChartWindow* chart = chartWindow();
    QVERIFY(chart != nullptr);
    const QString saved = session->filePath(QStringLiteral("by-key.oxs"));
    chart->chooseProjectToSave = [&] { return saved; };
    chart->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(chart));
    QTest::keySequence(chart, QKeySequence(QStringLiteral("Ctrl+S")));
    QVERIFY(QFile::exists(saved));
    // The buttons name their keys.
    auto* saveButton = chart->findChild<QPushButton*>(QStringLiteral("cmdSaveProject"));
    QCOMPARE(saveButton->toolTip(), QKeySequence(QStringLiteral("Ctrl+S")).toString(QKeySequence::NativeText));
    auto* printButton = chart->findChild<QPushButton*>(QStringLiteral("Command3"));
    QCOMPARE(printButton->toolTip(), QKeySequence(QStringLiteral("Ctrl+P")).toString(QKeySequence::NativeText));
    bool printKey = false;
    for (QAction* a : chart->actions())
        printKey = printKey || a->shortcut() == QKeySequence(QStringLiteral("Ctrl+P"));
    QVERIFY(printKey);
}

void DesktopDocumentTest::quitAsksAboutUnsavedEditsFirst()
{
    int asked = 0;
    bool answer = false;
    hub->confirmChartChanges = [&] {
        ++asked;
        return answer;
    };
    action(*window, "mnuExit")->trigger();
    QCOMPARE(asked, 1);
    QVERIFY(window->isVisible());
    answer = true;
    action(*window, "mnuExit")->trigger();
    QVERIFY(!window->isVisible());
}

void DesktopDocumentTest::guideOpensInTheInterfaceLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("guide");
    QTest::newRow("中文") << int(UiLanguage::Language::Chinese) << QStringLiteral("十字绣Kanvo使用说明.mht");
    QTest::newRow("English") << int(UiLanguage::Language::English) << QStringLiteral("Kanvo-Guide.html");
}

void DesktopDocumentTest::guideOpensInTheInterfaceLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, guide);
    window->showLanguage(UiLanguage::Language(language));
    QList<QUrl> opened;
    bool opens = true;
    window->openDocument = [&](const QUrl& url) {
        opened << url;
        return opens;
    };
    action(*window, "mnuGuide")->trigger();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(QFileInfo(opened[0].toLocalFile()).fileName(), guide);
    QVERIFY(QFileInfo(opened[0].toLocalFile()).isFile());
    QVERIFY(boxes->texts.isEmpty());
    // No program to show it: the message gives its path.
    opens = false;
    action(*window, "mnuGuide")->trigger();
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->texts[0].contains(QDir::toNativeSeparators(opened[0].toLocalFile())));
}

void DesktopDocumentTest::aboutNamesVersionQtLicenceAndHomepage()
{
    const QString text = AboutBox::text();
    QVERIFY(text.contains(QStringLiteral("十字绣Kanvo " KANVO_VERSION)));
    QVERIFY(text.contains(QString::fromLatin1(qVersion())));
    QVERIFY(text.contains(QStringLiteral("许可")));
    QVERIFY(text.contains(QStringLiteral("CC BY 4.0")));
    QVERIFY(text.contains(QStringLiteral("<a href=\"https://github.com/kanvo/kanvo\">")));
    QCOMPARE(ProgramInfo::version(), QStringLiteral(KANVO_VERSION));

    // The menu entry shows it, with the program's icon.
    QString title;
    bool withIcon = false;
    QTimer::singleShot(0, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            withIcon = !box->iconPixmap().isNull();
            box->accept();
        }
    });
    action(*window, "mnuAbout")->trigger();
    QCOMPARE(title, QStringLiteral("关于十字绣Kanvo"));
    QVERIFY(withIcon);
    // Every size the hicolor theme has is built in.
    const QList<QSize> sizes = ProgramInfo::icon().availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

void DesktopDocumentTest::windowsAndFoldersRememberedBetweenRuns()
{
    WindowGeometry::keep(*window);
    window->move(37, 45);
    QVERIFY(hub->invokeOpenFile(kGoodProject));
    ChartWindow* chart = chartWindow();
    chart->setGeometry(60, 70, 1100, 800);
    QVERIFY(chart->close());
    // Folders that outlive the session's working folder.
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("folder.png"));
    QVERIFY(halves(20, 20).save(picture));
    QVERIFY(hub->invokeOpenFile(picture));
    QTemporaryDir projects;
    FileDialogs::remember(QStringLiteral("chartProject"), projects.filePath(QStringLiteral("a.oxs")));

    restart();
    WindowGeometry::keep(*window);
    QCOMPARE(window->pos(), QPoint(37, 45));
    QVERIFY(hub->invokeOpenFile(kGoodProject));
    QCOMPARE(chartWindow()->geometry(), QRect(60, 70, 1100, 800));
    // The file chooser starts where the last picture came from; each dialog in its own folder.
    QCOMPARE(QString::fromStdString(state->lastFolder), pictures.path());
    QCOMPARE(FileDialogs::startFolder(QStringLiteral("chartProject")), projects.path());
    QCOMPARE(FileDialogs::startFolder(QStringLiteral("chartBitmap")), QString());
}

QTEST_MAIN(DesktopDocumentTest)
#include "DesktopDocumentTest.moc"
