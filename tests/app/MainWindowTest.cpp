#include <QAction>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/platform/DibImage.h"
#include "app/platform/FontSubstitutions.h"
#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/workspace/MainWindow.h"
#include "RecordingMessageBoxes.h"
#include "app/workspace/WindowHub.h"

using namespace kanvo;

namespace {

using RecordingBoxes = RecordingMessageBoxes;

const QString kNoPreviewText = QStringLiteral("   生成绣图前请先点击效果预览键    ");
const QString kNoPreviewTitle = QStringLiteral("Quillex 你身边的好软件");

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadStepFitsStartUpPicture();
    void controlsCarryNamesAndCaptions_data();
    void controlsCarryNamesAndCaptions();
    void generateNeedsPreview_data();
    void generateNeedsPreview();
    void importButtonClearsPreviewMenuKeepsIt();
    void widthBarRewritesClothLineAndGridWindow();
    void zoomLabelStretchesSurface();
    void dragMovesPictureByHalf();
    void gridRedrawPaintsCellsAndPans();
    void hoverHintStaysInStatusLine();
    void exitClosesAdoptedWindows();
    void undecodableFileKeepsWorkspace();

    void decoderRefusesPictureBomb();
    void decoderReadsPictureUnderAnyName();
    void dibImageRoundTrip();
    void fontSubstitutions();

private:
    template <class T> T* child(const char* name) { return window->findChild<T*>(QString::fromUtf8(name)); }

    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
    RecordingBoxes boxes;
};

void MainWindowTest::init()
{
    boxes = RecordingBoxes();
    MessageBoxes::setCurrent(&boxes);
    state = new RunState;
    hub = new WindowHub;
    window = new MainWindow(*state, *hub);
    window->load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void MainWindowTest::cleanup()
{
    delete window;
    delete hub;
    delete state;
    MessageBoxes::setCurrent(nullptr);
}

void MainWindowTest::loadStepFitsStartUpPicture()
{
    // logo.dll is 360 x 240: height 240, width 230, then the load step's width 117.
    QCOMPARE(window->windowTitle(), QStringLiteral("十字绣Kanvo V2008"));
    QCOMPARE(state->picW, 117.0);
    QCOMPARE(state->picH, 240);
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(state->ColorBit, 16);
    QCOMPARE(state->blockW, 10);
    QVERIFY(!state->previewReady);
    QVERIFY(!child<QPushButton>("Command1")->isEnabled());
    QVERIFY(child<QPushButton>("Command11")->isEnabled());
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高117x240(约35x72厘米)"));
    // (230 - 117) / 2 + 4 = 60.5 -> 60; (250 - 240) / 2 + 8 = 13
    QCOMPARE(child<QWidget>("Picture2")->geometry(), QRect(60, 13, 117, 240));
    QCOMPARE(child<QWidget>("Picture4")->geometry(), QRect(0, 0, 360, 240));
    QCOMPARE(window->zoomedSurface().size(), QSize(360, 240));
    auto* zoom = child<QScrollBar>("zoom");
    QCOMPARE(zoom->maximum(), 360);
    QCOMPARE(zoom->minimum(), 32);
    QCOMPARE(zoom->value(), 132);
    QCOMPARE(zoom->pageStep(), 55);  // nearest(328 / 6 = 54.67)
    QCOMPARE(zoom->singleStep(), 10); // nearest(328 / 32 = 10.25)
    QCOMPARE(child<QScrollBar>("wMatrix")->maximum(), 1380);
    QCOMPARE(child<QScrollBar>("Hmatrix")->maximum(), 1500);
    QVERIFY(!child<QLabel>("Label8")->isVisible());
    QVERIFY(!child<QWidget>("Text1")->isVisible());
    QVERIFY(!child<QWidget>("Command2")->isVisible());
    QVERIFY(!child<QWidget>("Label10")->isVisible());
    QCOMPARE(window->centralWidget()->size(), QSize(819, 515));
}

void MainWindowTest::controlsCarryNamesAndCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    const auto row = [](const char* n, const char* c, const char* t = "") {
        QTest::newRow(n) << QString::fromUtf8(n) << QString::fromUtf8(c) << QString::fromUtf8(t);
    };
    row("Command1", "局部");
    row("Command11", "全图");
    row("Command12", "还原");
    row("Command4", "效果预览->");
    row("Command3", "保存效果");
    row("Command5", "导入图片");
    row("Command6", "绣图图库");
    row("Command7", "绣图设置");
    row("Command13", "帮助");
    row("Command8", "确定");
    row("Command9", "清除");
    row("Label2", "生成");
    row("Label3", "打印");
    row("Label5", "放大", "放大预览图片。");
    row("Label6", "缩小", "缩小预览图片");
    row("Label7", "文字", "给绣图加入文字");
    row("Label9", "编辑");
    row("Label12", "超级减色");
    row("Label11", "字体选择");
    row("Label13", "字体颜色");
    row("Label4", "欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！");
}

void MainWindowTest::controlsCarryNamesAndCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QWidget* w = window->findChild<QWidget*>(name);
    QVERIFY2(w != nullptr, qPrintable(name));
    const QString text = qobject_cast<QPushButton*>(w) ? qobject_cast<QPushButton*>(w)->text()
                                                       : qobject_cast<QLabel*>(w)->text();
    QCOMPARE(text, caption);
    QCOMPARE(w->toolTip(), tip);
}

void MainWindowTest::generateNeedsPreview_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("Label2") << QStringLiteral("Label2");
    QTest::newRow("Label3") << QStringLiteral("Label3");
    QTest::newRow("mnuGenerate") << QStringLiteral("mnuGenerate");
    QTest::newRow("mnuPrint") << QStringLiteral("mnuPrint");
}

void MainWindowTest::generateNeedsPreview()
{
    QFETCH(QString, control);
    int chartShown = 0;
    hub->showChartWindow = [&] { ++chartShown; };
    const auto press = [&] {
        if (auto* action = window->findChild<QAction*>(control))
            action->trigger();
        else
            QTest::mouseClick(window->findChild<QWidget*>(control), Qt::LeftButton);
    };

    press(); // right after start-up: no preview yet
    QCOMPARE(chartShown, 0);
    QCOMPARE(boxes.texts, QStringList{kNoPreviewText});
    QCOMPARE(boxes.titles, QStringList{kNoPreviewTitle});

    state->previewReady = true;
    press();
    QCOMPARE(chartShown, 1);
    QVERIFY(!state->previewReady);
    QCOMPARE(boxes.texts.size(), 1);

    press(); // once more without a new preview
    QCOMPARE(chartShown, 1);
    QCOMPARE(boxes.texts.size(), 2);
}

void MainWindowTest::importButtonClearsPreviewMenuKeepsIt()
{
    QList<WindowHub::Origin> origins;
    QList<std::optional<QPoint>> places;
    hub->showFileChooser = [&](WindowHub::Origin o, std::optional<QPoint> p) {
        origins << o;
        places << p;
    };
    state->previewReady = true;
    child<QAction>("mnuImportFile")->trigger();
    QVERIFY(state->previewReady);
    QTest::mouseClick(child<QPushButton>("Command5"), Qt::LeftButton);
    QVERIFY(!state->previewReady);
    QCOMPARE(origins, (QList<WindowHub::Origin>{WindowHub::Origin::Menu, WindowHub::Origin::Button}));
    QVERIFY(!places[0].has_value());
    QCOMPARE(*places[1], window->pos() + QPoint(120, 93));

    int galleries = 0;
    hub->showGallery = [&](WindowHub::Origin, std::optional<QPoint> p) {
        ++galleries;
        if (p)
            QCOMPARE(*p, window->pos() + QPoint(320, 93));
    };
    state->previewReady = true;
    child<QAction>("mnuGallery")->trigger();
    QVERIFY(state->previewReady);
    QTest::mouseClick(child<QPushButton>("Command6"), Qt::LeftButton);
    QVERIFY(!state->previewReady);
    QCOMPARE(galleries, 2);
}

void MainWindowTest::widthBarRewritesClothLineAndGridWindow()
{
    child<QScrollBar>("wChange")->setValue(230);
    child<QScrollBar>("hChange")->setValue(250);
    QCOMPARE(state->picW, 230.0);
    QCOMPARE(state->picH, 250);
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高230x250(约69x75厘米)"));
    QCOMPARE(child<QWidget>("Picture2")->geometry(), QRect(4, 8, 230, 250));
    child<QScrollBar>("wChange")->setValue(16);
    child<QScrollBar>("hChange")->setValue(16);
    QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("绣布：宽高16x16(约5x5厘米)"));
    QCOMPARE(child<QWidget>("Picture2")->geometry(), QRect(111, 125, 16, 16));
    child<QScrollBar>("wChange")->setValue(5); // below the minimum: the bar holds 16
    QCOMPARE(state->picW, 16.0);
}

void MainWindowTest::zoomLabelStretchesSurface()
{
    QTest::mouseClick(child<QWidget>("Label5"), Qt::LeftButton);
    QCOMPARE(child<QScrollBar>("zoom")->value(), 137);
    // 137 x 240/360 = 91.33 -> 91
    QCOMPARE(window->zoomedSurface().size(), QSize(137, 91));
    QCOMPARE(child<QWidget>("Picture4")->size(), QSize(137, 91));
    // Nearest pixel: the stretched surface holds only colours of the source picture.
    const QImage& source = window->sourcePicture();
    const QImage& surface = window->zoomedSurface();
    QSet<QRgb> sourceColours;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            sourceColours.insert(source.pixel(x, y));
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            QVERIFY2(sourceColours.contains(surface.pixel(x, y)), "blended pixel");
    QTest::mouseClick(child<QWidget>("Label6"), Qt::LeftButton);
    QCOMPARE(child<QScrollBar>("zoom")->value(), 132);

    child<QScrollBar>("zoom")->setValue(355); // within 5 of 360
    QTest::mouseClick(child<QWidget>("Label5"), Qt::LeftButton);
    QCOMPARE(child<QScrollBar>("zoom")->value(), 355);
}

void MainWindowTest::dragMovesPictureByHalf()
{
    QWidget* surface = child<QWidget>("Picture4");
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(80, 90));
    QCOMPARE(state->moveX1, 10);
    QCOMPARE(state->moveY1, 5);
    QCOMPARE(surface->pos(), QPoint(-10, -5));

    // Straight down: the offset goes down to 0, the picture does not move.
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(50, 70));
    QCOMPARE(state->moveY1, 0);
    QCOMPARE(surface->pos(), QPoint(-10, -5));

    QTest::mouseClick(child<QPushButton>("Command11"), Qt::LeftButton); // 全图
    QCOMPARE(state->moveX1, 0);
    QCOMPARE(state->ifScale, 0);
    QVERIFY(!child<QPushButton>("Command11")->isEnabled());
    QVERIFY(child<QPushButton>("Command1")->isEnabled());
    // zoom 117: whole picture squeezed into 117 x nearest(78.0) = 78
    QCOMPARE(child<QWidget>("Picture2")->size(), QSize(117, 78));
    QCOMPARE(child<QWidget>("Picture4")->geometry(), QRect(0, 0, 117, 78));
}

void MainWindowTest::gridRedrawPaintsCellsAndPans()
{
    child<QScrollBar>("wChange")->setValue(16);
    child<QScrollBar>("hChange")->setValue(16);
    state->stitchMatrix.fill(makeColor(255, 255, 255));
    state->stitchMatrix.set(3, 2, makeColor(10, 20, 30));
    window->drawMatrixS();
    QWidget* canvas = child<QWidget>("Picture1");
    QCOMPARE(canvas->geometry(), QRect(0, 0, 64, 64));
    const QImage& img = window->gridCanvas();
    QCOMPARE(img.size(), QSize(64, 64));
    QCOMPARE(img.pixel(0, 0), qRgb(32, 32, 32));
    QCOMPARE(img.pixel(60, 33), qRgb(32, 32, 32));
    QCOMPARE(img.pixel(13, 9), qRgb(10, 20, 30)); // column 3, row 2
    QCOMPARE(img.pixel(63, 63), qRgb(255, 255, 255));

    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(20, 40));
    QCOMPARE(canvas->pos(), QPoint(-10, 0));
    window->drawMatrixS();
    QCOMPARE(canvas->pos(), QPoint(0, 0));

    child<QScrollBar>("wMatrix")->setValue(30);
    QCOMPARE(canvas->pos(), QPoint(-30, 0));
}

void MainWindowTest::hoverHintStaysInStatusLine()
{
    QTest::mouseMove(child<QWidget>("Label6"), QPoint(5, 5));
    QTRY_COMPARE(child<QLabel>("Label4")->text(),
                 QStringLiteral("只要10种颜色就可以绣出照片般效果，大大节约绣线。这就是quillex的神奇科技!"));
    QTest::mouseMove(window->centralWidget(), QPoint(700, 500));
    QTRY_COMPARE(child<QLabel>("Label6")->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QVERIFY(child<QLabel>("Label4")->text().startsWith(QStringLiteral("只要10种颜色")));
}

void MainWindowTest::exitClosesAdoptedWindows()
{
    auto* other = new QWidget;
    other->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> watch(other);
    other->show();
    hub->adoptWindow(other);
    QSignalSpy closed(window, &MainWindow::closed);
    child<QAction>("mnuExit")->trigger();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window->isVisible());
    QTRY_VERIFY(watch.isNull());
}

void MainWindowTest::undecodableFileKeepsWorkspace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.jpg"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    QTest::mouseClick(child<QPushButton>("Command11"), Qt::LeftButton);
    state->sourceFile = path.toStdString();
    QVERIFY(!window->loadSourcePicture());
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(window->sourcePicture().size(), QSize(360, 240));
}

void MainWindowTest::decoderRefusesPictureBomb()
{
    // A 54-byte BMP header announcing 30000 x 30000 pixels at 24 bits (2.5 GiB).
    QByteArray bmp(54, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + 64);
    put32(10, 54);
    put32(14, 40);
    put32(18, 30000);
    put32(22, 30000);
    bmp[26] = 1;
    bmp[28] = 24;
    bmp.append(64, '\x7f');
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("bomb.bmp")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bmp);
    f.close();
    PictureDecoder::Error error = PictureDecoder::Error::None;
    QVERIFY(!PictureDecoder::decode(f.fileName(), &error).has_value());
    // Qt's BMP reader may not report the size before reading; the limit refuses it then.
    QVERIFY(error == PictureDecoder::Error::TooLarge || error == PictureDecoder::Error::Corrupt);
    QCOMPARE(QImageReader::allocationLimit(), PictureDecoder::kAllocationLimitMB);
}

void MainWindowTest::decoderReadsPictureUnderAnyName()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.dll"));
    QImage gif(7, 5, QImage::Format_Indexed8);
    gif.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    gif.fill(1);
    // Qt writes no GIF; a BMP under a foreign name stands in for the start-up picture.
    QVERIFY(gif.save(path, "BMP"));
    PictureDecoder::Error error = PictureDecoder::Error::Corrupt;
    const auto image = PictureDecoder::decode(path, &error);
    QVERIFY(image.has_value());
    QCOMPARE(error, PictureDecoder::Error::None);
    QCOMPARE(image->format(), QImage::Format_RGB32);
    QCOMPARE(image->pixel(6, 4), qRgb(0, 0, 255));

    // PNG opens under any name too; a type Qt reads but the program does not open is refused.
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::green);
    QVERIFY(png.save(dir.filePath(QStringLiteral("png.dll")), "PNG"));
    const auto fromPng = PictureDecoder::decode(dir.filePath(QStringLiteral("png.dll")), &error);
    QVERIFY(fromPng.has_value());
    QCOMPARE(fromPng->pixel(3, 3), qRgb(0, 255, 0));
    QVERIFY(png.save(dir.filePath(QStringLiteral("x.ppm")), "PPM"));
    QVERIFY(!PictureDecoder::decode(dir.filePath(QStringLiteral("x.ppm")), &error).has_value());
    QCOMPARE(error, PictureDecoder::Error::UnsupportedFormat);
    QVERIFY(!PictureDecoder::decode(dir.filePath(QStringLiteral("missing.bmp")), &error).has_value());
    QCOMPARE(error, PictureDecoder::Error::CannotOpen);
}

void MainWindowTest::dibImageRoundTrip()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(1, 2, 3));
    image.setPixel(1, 1, qRgb(250, 128, 7));
    image.setPixel(2, 1, qRgb(0, 0, 0));
    const auto dib = DibImage::fromQImage(image);
    QVERIFY(dib.has_value());
    QCOMPARE(dib->ColorBit(), 24);
    QCOMPARE(dib->pixel24(0, 0), makeColor(255, 0, 0));
    QCOMPARE(dib->pixel24(1, 1), makeColor(250, 128, 7));
    // Bottom row first in memory: the first stored pixel is the picture's lower-left one.
    std::span<const std::uint8_t> bytes;
    (void)dib->MapArray(bytes);
    QCOMPARE(int(bytes[0]), 3); // blue of (0, 1) = rgb(1, 2, 3)
    QCOMPARE(int(bytes[2]), 1);
    QCOMPARE(DibImage::toQImage(*dib), image);
    QVERIFY(DibImage::toQImage(ClsDIB()).isNull());

    ClsDIB indexed;
    QVERIFY(indexed.Create(2, 1, 8, true));
    QVERIFY(indexed.SetColorTable(0, makeColor(9, 8, 7)));
    const QImage fromIndexed = DibImage::toQImage(indexed);
    QCOMPARE(fromIndexed.pixel(1, 0), qRgb(9, 8, 7));
}

void MainWindowTest::fontSubstitutions()
{
    installFontSubstitutions();
    // Qt stores substitutes in lower case; family matching ignores case.
    QCOMPARE(QFont::substitute(QStringLiteral("MS Sans Serif")).toLower(), QStringLiteral("liberation sans"));
    QCOMPARE(QFont::substitute(QStringLiteral("宋体")).toLower(), QStringLiteral("wenquanyi micro hei"));
    QCOMPARE(QFont::substitute(QStringLiteral("Arial")).toLower(), QStringLiteral("liberation sans"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
