// The main window's load step with the start-up picture "logo.dll" missing, and found in a
// folder of the test's choosing. The shipped picture must stay out of reach: the window is
// given its own search folders and the working folder is an empty temporary folder. The help
// document "帮助" opens is looked up in the same folders.

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/platform/AppPaths.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "RecordingMessageBoxes.h"

using namespace kanvo;

namespace {

// True when every pixel of `image` has the colour of its first pixel (a null image counts).
bool isUniform(const QImage& image)
{
    if (image.isNull())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = argb.pixel(0, 0);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (row[x] != first)
                return false;
    }
    return true;
}

} // namespace

class StartupPictureTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingPictureLeavesWorkspaceEmpty();
    void emptyWorkspaceSurvivesTheControls();
    void pictureIsTakenFromTheGivenFolder();
    void helpSaysWhereTheDocumentIs();

private:
    void start(const QStringList& pictureFolders, const QStringList& shippedFolders = {});
    template <class T> T* child(const char* name) { return window->findChild<T*>(QString::fromUtf8(name)); }

    QString savedWorkingFolder;
    QTemporaryDir workingFolder;
    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
    RecordingMessageBoxes boxes;
};

void StartupPictureTest::init()
{
    boxes = RecordingMessageBoxes();
    MessageBoxes::setCurrent(&boxes);
    savedWorkingFolder = QDir::currentPath();
    QVERIFY(workingFolder.isValid());
    QVERIFY(QDir::setCurrent(workingFolder.path()));
}

void StartupPictureTest::cleanup()
{
    delete window;
    window = nullptr;
    delete hub;
    hub = nullptr;
    delete state;
    state = nullptr;
    QDir::setCurrent(savedWorkingFolder);
    MessageBoxes::setCurrent(nullptr);
}

void StartupPictureTest::start(const QStringList& pictureFolders, const QStringList& shippedFolders)
{
    state = new RunState;
    hub = new WindowHub;
    window = new MainWindow(*state, *hub, AppPaths(pictureFolders, shippedFolders));
    window->load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void StartupPictureTest::missingPictureLeavesWorkspaceEmpty()
{
    start({workingFolder.path()});
    // The picture step failed quietly: no message, no picture, the name kept as it was set.
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(window->sourcePicture().isNull());
    QCOMPARE(QString::fromStdString(state->sourceFile), QStringLiteral("logo.dll"));

    // What the rest of the load step leaves, with the bars as they are before any picture
    // (16..230, 16..250, 16..255) and xyRate 1.0:
    //   width 117;  "全图": zoom 16 -> 117, whole mode gives picW 117, picH nearest(117 x 1.0) = 117;
    //   "局部": 117 + 15 < 255, zoom -> 132, the surface becomes 132 x 132;
    //   the failed picture step sets ifScale = 1 and nothing else; width 117 again changes nothing.
    QCOMPARE(state->picW, 117.0);
    QCOMPARE(state->picH, 117);
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(state->moveX1, 0);
    QCOMPARE(state->moveY1, 0);
    QVERIFY(!state->previewReady);
    auto* wChange = child<QScrollBar>("wChange");
    auto* hChange = child<QScrollBar>("hChange");
    auto* zoom = child<QScrollBar>("zoom");
    QCOMPARE(wChange->value(), 117);
    QCOMPARE(wChange->minimum(), 16);
    QCOMPARE(wChange->maximum(), 230);
    QCOMPARE(hChange->value(), 117);
    QCOMPARE(hChange->minimum(), 16);
    QCOMPARE(hChange->maximum(), 250);
    QCOMPARE(zoom->value(), 132);
    QCOMPARE(zoom->minimum(), 16);
    QCOMPARE(zoom->maximum(), 255);
    QVERIFY(!child<QPushButton>("Command1")->isEnabled());
    QVERIFY(child<QPushButton>("Command11")->isEnabled());
    // 117 / 3.33 = 35.1
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高117x117(约35x35厘米)"));
    // (230 - 117) / 2 + 4 = 60.5 and (250 - 117) / 2 + 8 = 74.5, shown at 60 and 74
    QCOMPARE(child<QWidget>("Picture2")->geometry(), QRect(60, 74, 117, 117));
    QCOMPARE(window->zoomedSurface().size(), QSize(132, 132));
    QVERIFY(isUniform(window->zoomedSurface()));
    // No effect preview ran: the stitch matrix is still all 0 and the grid display blank.
    for (int x = 0; x < StitchMatrix::kSize; x += 40)
        for (int y = 0; y < StitchMatrix::kSize; y += 40)
            QCOMPARE(state->stitchMatrix.at(x, y), ColorValue{0});
    QVERIFY(isUniform(window->gridCanvas()));
    QCOMPARE(child<QLabel>("Label4")->text(),
        QStringLiteral("欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！"));
}

void StartupPictureTest::emptyWorkspaceSurvivesTheControls()
{
    start({workingFolder.path()});
    // Every workspace control on the empty picture: nothing may crash, and the handlers keep
    // their arithmetic (xyRate stays 1.0, so whole mode keeps the grid square).
    QTest::mouseClick(child<QPushButton>("Command11"), Qt::LeftButton); // "全图": zoom -> 117
    QCOMPARE(state->ifScale, 0);
    QCOMPARE(child<QScrollBar>("zoom")->value(), 117);
    QCOMPARE(state->picH, 117);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); // "局部": 117 -> 132
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(child<QScrollBar>("zoom")->value(), 132);
    QTest::mouseClick(child<QWidget>("Label5"), Qt::LeftButton); // "放大": 132 -> 137
    QCOMPARE(child<QScrollBar>("zoom")->value(), 137);
    QCOMPARE(window->zoomedSurface().size(), QSize(137, 137));
    QTest::mouseClick(child<QWidget>("Label6"), Qt::LeftButton); // "缩小": 137 -> 132
    QCOMPARE(child<QScrollBar>("zoom")->value(), 132);
    child<QScrollBar>("wChange")->setValue(200);
    child<QScrollBar>("hChange")->setValue(40);
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高200x40(约60x12厘米)"));

    // A drag on the surface: 40 pixels to the left moves the (empty) picture by 20.
    QWidget* surface = window->surfaceWidget();
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(60, 20));
    QTest::mouseMove(surface, QPoint(40, 20));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(state->moveX1, 20);

    QTest::mouseClick(child<QPushButton>("Command12"), Qt::LeftButton); // "还原"
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(state->moveX1, 0);
    window->drawMatrixS();
    window->showMatrixS();
    QVERIFY(window->sourcePicture().isNull());
    QVERIFY(boxes.texts.isEmpty());
}

void StartupPictureTest::pictureIsTakenFromTheGivenFolder()
{
    // The control case: a 100 x 80 "logo.dll" in a folder of the test's own is found and fitted
    // (height 80; 250 / 0.8 = 312.5 is not below 230, so width 230; then the load step's 117).
    QTemporaryDir pictures;
    QImage picture(100, 80, QImage::Format_RGB32);
    picture.fill(QColor(40, 120, 200));
    const QString path = QDir(pictures.path()).filePath(QStringLiteral("logo.dll"));
    QVERIFY(picture.save(path, "JPG"));
    start({workingFolder.path(), pictures.path()});
    QCOMPARE(QString::fromStdString(state->sourceFile), QFileInfo(path).absoluteFilePath());
    QCOMPARE(window->sourcePicture().size(), QSize(100, 80));
    QCOMPARE(state->picW, 117.0);
    QCOMPARE(state->picH, 80);
    auto* zoom = child<QScrollBar>("zoom");
    QCOMPARE(zoom->minimum(), 32);
    QCOMPARE(zoom->maximum(), 100);
    QCOMPARE(zoom->pageStep(), 11);  // nearest(68 / 6 = 11.33)
    QCOMPARE(zoom->singleStep(), 2); // nearest(68 / 32 = 2.125)
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高117x80(约35x24厘米)"));
    QVERIFY(boxes.texts.isEmpty());
}

void StartupPictureTest::helpSaysWhereTheDocumentIs()
{
    QTemporaryDir docs;
    start({workingFolder.path()}, {docs.path()});
    QStringList opened;
    bool opens = true;
    window->openDocument = [&](const QUrl& url) {
        opened << url.toLocalFile();
        return opens;
    };
    auto* help = child<QPushButton>("Command13");

    // Missing: nothing to open, the message names the document and the folder it belongs in.
    QTest::mouseClick(help, Qt::LeftButton);
    QVERIFY(opened.isEmpty());
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts[0].contains(QStringLiteral("十字绣Kanvo使用说明.mht")));
    QVERIFY(boxes.texts[0].contains(QDir::toNativeSeparators(docs.path())));

    const QString document = QDir(docs.path()).filePath(QStringLiteral("十字绣Kanvo使用说明.mht"));
    QFile file(document);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    // Opened by the desktop: nothing to say.
    QTest::mouseClick(help, Qt::LeftButton);
    QCOMPARE(opened, QStringList{QFileInfo(document).absoluteFilePath()});
    QCOMPARE(boxes.texts.size(), 1);

    // No program opens it: the message gives the document's full path.
    opens = false;
    QTest::mouseClick(help, Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY(boxes.texts[1].contains(QDir::toNativeSeparators(QFileInfo(document).absoluteFilePath())));
}

QTEST_MAIN(StartupPictureTest)
#include "StartupPictureTest.moc"
