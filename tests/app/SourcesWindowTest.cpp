#include <functional>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "RecordingMessageBoxes.h"
#include "app/platform/AppPaths.h"
#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/sources/FileChooserWindow.h"
#include "app/sources/CaptureWindow.h"
#include "app/sources/GalleryWindow.h"
#include "app/sources/ScreenCapture.h"
#include "app/sources/SourcesController.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

using namespace kanvo;

namespace {

const QString kGalleryError = QStringLiteral("   错误的图形文件，无法打开，请确认是jpg,gif,bmp,png格式中的一种   ");

void writePicture(const QString& path, int width, int height, QRgb colour, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY2(image.save(path, format), qPrintable(path));
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Processes the deferred deletes that closing a self-deleting window posts.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList listed(QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

int rowOf(QListWidget* list, const QString& name)
{
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == name)
            return i;
    }
    return -1;
}

// Clicks the file as a user does, on the list's viewport.
void clickFile(QListWidget* list, const QString& name)
{
    const int row = rowOf(list, name);
    QVERIFY2(row >= 0, qPrintable(name));
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QCOMPARE(list->currentRow(), row);
}

} // namespace

class SourcesWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chooserCaptionsAndPictureFiles();
    void chooserStartsAtWorkingFolder();
    void chooserRestoresFolderAfterConfirm();
    void chooserCancelKeepsLastConfirmedFolder();
    void chooserPreviewRule_data();
    void chooserPreviewRule();
    void chooserUpperCaseJpgLoadsWithoutPreview();
    void chooserConfirmWithoutFileLeavesWorkspace();
    void chooserUndecodableFileShowsMessage();
    void chooserLoadsPng();
    void chooserDoubleClickConfirms();
    void chooserButtonPlacesItBesideMainWindow();
    void chooserTreeSelectionShowsFolder();

    void galleryCaptionsAndFirstCategory();
    void galleryCategoryButtonMarksCurrent();
    void galleryPreviewRule_data();
    void galleryPreviewRule();
    void galleryAppliesAndStaysOpen();
    void galleryApplyWithoutFileShowsMessage();
    void galleryApplyUndecodableShowsMessage();
    void galleryReopensAtFirstCategory();
    void galleryCategoriesMissingEverywhere();
    void exitClosesChooserAndGallery();

    void shippedGalleryHasPicturesInEveryCategory();

    void everyNewPictureClearsTheEffectPreview_data();
    void everyNewPictureClearsTheEffectPreview();

private:
    template <class T> T* child(QWidget* w, const char* name) { return w->findChild<T*>(QString::fromUtf8(name)); }
    FileChooserWindow* openChooser();
    GalleryWindow* openGallery();
    [[nodiscard]] QString pictures() const { return folder->filePath(QStringLiteral("pictures")); }
    [[nodiscard]] QString other() const { return folder->filePath(QStringLiteral("other")); }
    [[nodiscard]] QString galleryRoot() const { return folder->filePath(QStringLiteral("gallery")); }

    QTemporaryDir* folder = nullptr;
    QString previousFolder;
    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
    SourcesController* sources = nullptr;
    RecordingMessageBoxes boxes;
};

void SourcesWindowTest::init()
{
    folder = new QTemporaryDir;
    QVERIFY(folder->isValid());
    previousFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder->path()));

    QDir root(folder->path());
    QVERIFY(root.mkpath(QStringLiteral("pictures")));
    QVERIFY(root.mkpath(QStringLiteral("other")));
    writePicture(pictures() + "/wide.bmp", 100, 80, qRgb(200, 10, 10), "BMP");
    writePicture(pictures() + "/TALL.JPG", 60, 120, qRgb(10, 200, 10), "JPEG");
    writePicture(pictures() + "/mixed.Bmp", 64, 64, qRgb(10, 10, 200), "BMP");
    writeBytes(pictures() + "/broken.jpg", QByteArray("not a picture at all"));
    writeBytes(pictures() + "/notes.txt", QByteArray("hello"));
    writePicture(pictures() + "/photo.png", 70, 90, qRgb(120, 60, 30), "PNG");
    writePicture(pictures() + "/photo.jpeg", 50, 50, qRgb(1, 1, 1), "JPEG");
    writePicture(pictures() + "/picture-without-extension", 50, 50, qRgb(1, 1, 1), "PNG");
    writePicture(other() + "/other.bmp", 90, 90, qRgb(1, 2, 3), "BMP");

    // A gallery with two of its seven category folders.
    QVERIFY(root.mkpath(QStringLiteral("gallery/动漫")));
    QVERIFY(root.mkpath(QStringLiteral("gallery/美女")));
    writePicture(galleryRoot() + "/动漫/猫.bmp", 120, 90, qRgb(250, 200, 0), "BMP");
    writePicture(galleryRoot() + "/动漫/狗.JPG", 80, 100, qRgb(0, 200, 250), "JPEG");
    writePicture(galleryRoot() + "/动漫/鸟.Jpg", 70, 70, qRgb(0, 0, 0), "JPEG");
    writePicture(galleryRoot() + "/动漫/鱼.PNG", 40, 30, qRgb(0, 90, 0), "PNG");
    writeBytes(galleryRoot() + "/动漫/坏.gif", QByteArray("GIF89a garbage"));
    writePicture(galleryRoot() + "/美女/人像.jpg", 150, 200, qRgb(240, 180, 160), "JPEG");

    boxes = RecordingMessageBoxes();
    MessageBoxes::setCurrent(&boxes);
    state = new RunState;
    hub = new WindowHub;
    window = new MainWindow(*state, *hub);
    connectWindows(*window, *hub);
    sources = window->findChild<SourcesController*>();
    QVERIFY(sources != nullptr);
    sources->setGalleryFolders({galleryRoot()});
    window->load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void SourcesWindowTest::cleanup()
{
    delete window;
    delete hub;
    delete state;
    MessageBoxes::setCurrent(nullptr);
    QDir::setCurrent(previousFolder);
    delete folder;
}

FileChooserWindow* SourcesWindowTest::openChooser()
{
    window->findChild<QAction*>(QStringLiteral("mnuImportFile"))->trigger();
    return sources->fileChooser();
}

GalleryWindow* SourcesWindowTest::openGallery()
{
    window->findChild<QAction*>(QStringLiteral("mnuGallery"))->trigger();
    return sources->gallery();
}

void SourcesWindowTest::chooserCaptionsAndPictureFiles()
{
    FileChooserWindow* chooser = openChooser();
    QVERIFY(chooser != nullptr);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->objectName(), QStringLiteral("Form2"));
    QCOMPARE(chooser->windowTitle(), QStringLiteral("十字绣图Kanvo       -quillex inc."));
    QCOMPARE(child<QLabel>(chooser, "Label1")->text(), QStringLiteral("选择转换成绣图的图片或则照片："));
    QCOMPARE(child<QPushButton>(chooser, "Command1")->text(), QStringLiteral("确定"));
    QCOMPARE(child<QPushButton>(chooser, "Command2")->text(), QStringLiteral("取消"));
    QVERIFY(child<QTreeView>(chooser, "Dir1") != nullptr);
    QCOMPARE(child<QLabel>(chooser, "Image1")->size(), QSize(129, 89));
    // Not modal: the main window keeps taking input.
    QVERIFY(!chooser->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    chooser->showFolder(pictures());
    // The files named as pictures the program opens, in any case; no folders.
    QCOMPARE(listed(child<QListWidget>(chooser, "File1")),
             (QStringList{"broken.jpg", "mixed.Bmp", "photo.jpeg", "photo.png", "TALL.JPG", "wide.bmp"}));
}

void SourcesWindowTest::chooserStartsAtWorkingFolder()
{
    FileChooserWindow* chooser = openChooser();
    QCOMPARE(chooser->folderPath(), QDir::currentPath());
    QCOMPARE(listed(child<QListWidget>(chooser, "File1")), QStringList());
}

void SourcesWindowTest::chooserRestoresFolderAfterConfirm()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(pictures());
    clickFile(child<QListWidget>(chooser, "File1"), QStringLiteral("wide.bmp"));
    QTest::mouseClick(child<QPushButton>(chooser, "Command1"), Qt::LeftButton);
    settle();
    QVERIFY(chooser.isNull());

    QCOMPARE(QString::fromStdString(state->sourceFile), pictures() + "/wide.bmp");
    QCOMPARE(QString::fromStdString(state->lastFolder), pictures());
    // The drive is the volume the folder lies on: a root folder above it.
    const QString drive = QString::fromStdString(state->lastDrive);
    QVERIFY(!drive.isEmpty());
    QVERIFY(QFileInfo(drive).isDir());
    QVERIFY2(pictures().startsWith(drive), qPrintable(drive));
    // 100 x 80: height 80, width 230 (the width follows from the largest height, 250 / 0.8).
    QCOMPARE(window->sourcePicture().size(), QSize(100, 80));
    QCOMPARE(state->picH, 80);
    QCOMPARE(state->picW, 230.0);
    QVERIFY(boxes.texts.isEmpty());

    FileChooserWindow* again = openChooser();
    QVERIFY(again != nullptr);
    QCOMPARE(again->folderPath(), pictures());
    QVERIFY(listed(child<QListWidget>(again, "File1")).contains(QStringLiteral("wide.bmp")));
}

void SourcesWindowTest::chooserCancelKeepsLastConfirmedFolder()
{
    // Before any confirmation a cancel leaves nothing behind.
    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(other());
    QTest::mouseClick(child<QPushButton>(chooser, "Command2"), Qt::LeftButton);
    settle();
    QVERIFY(chooser.isNull());
    QVERIFY(state->lastFolder.empty());
    chooser = openChooser();
    QCOMPARE(chooser->folderPath(), QDir::currentPath());

    // After a confirmation, a cancel in another folder keeps the confirmed one.
    chooser->showFolder(pictures());
    clickFile(child<QListWidget>(chooser, "File1"), QStringLiteral("wide.bmp"));
    chooser->confirm();
    settle();
    chooser = openChooser();
    chooser->showFolder(other());
    chooser->cancel();
    settle();
    chooser = openChooser();
    QCOMPARE(chooser->folderPath(), pictures());
}

void SourcesWindowTest::chooserPreviewRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("preview"); // empty: no preview

    QTest::newRow("lower-case bmp") << "wide.bmp" << QSize(100, 80);
    QTest::newRow("upper-case JPG") << "TALL.JPG" << QSize();
    QTest::newRow("mixed-case Bmp") << "mixed.Bmp" << QSize();
    QTest::newRow("undecodable jpg") << "broken.jpg" << QSize();
    QTest::newRow("lower-case png") << "photo.png" << QSize(70, 90);
    QTest::newRow("jpeg, four letters") << "photo.jpeg" << QSize();
}

void SourcesWindowTest::chooserPreviewRule()
{
    QFETCH(QString, name);
    QFETCH(QSize, preview);
    FileChooserWindow* chooser = openChooser();
    chooser->showFolder(pictures());
    clickFile(child<QListWidget>(chooser, "File1"), name);
    auto* image1 = child<QLabel>(chooser, "Image1");
    if (preview.isEmpty()) {
        QVERIFY(chooser->previewImage().isNull());
        QVERIFY(image1->pixmap().isNull());
    } else {
        QCOMPARE(chooser->previewImage().size(), preview);
        // Stretched to the box, whatever the picture's proportions.
        QVERIFY(image1->hasScaledContents());
        QCOMPARE(image1->pixmap().size(), preview);
    }
}

void SourcesWindowTest::chooserUpperCaseJpgLoadsWithoutPreview()
{
    FileChooserWindow* chooser = openChooser();
    chooser->showFolder(pictures());
    auto* file1 = child<QListWidget>(chooser, "File1");
    clickFile(file1, QStringLiteral("wide.bmp"));
    const QImage shown = chooser->previewImage();
    QCOMPARE(shown.size(), QSize(100, 80));
    // The upper-case name keeps the previous preview, an undecodable one too.
    clickFile(file1, QStringLiteral("broken.jpg"));
    QCOMPARE(chooser->previewImage(), shown);
    clickFile(file1, QStringLiteral("TALL.JPG"));
    QCOMPARE(chooser->previewImage(), shown);

    chooser->confirm();
    settle();
    // 60 x 120: height 120, xyRate 2, width nearest(250 / 2) = 125.
    QCOMPARE(window->sourcePicture().size(), QSize(60, 120));
    QCOMPARE(state->picH, 120);
    QCOMPARE(state->picW, 125.0);
}

void SourcesWindowTest::chooserConfirmWithoutFileLeavesWorkspace()
{
    window->wholeMode();
    const std::string sourceBefore = state->sourceFile;
    const QImage pictureBefore = window->sourcePicture();
    const QImage surfaceBefore = window->zoomedSurface();
    const double picWBefore = state->picW;
    const int picHBefore = state->picH;

    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(pictures());
    QTest::mouseClick(child<QPushButton>(chooser, "Command1"), Qt::LeftButton);
    settle();
    QVERIFY(chooser.isNull());
    QCOMPARE(state->sourceFile, sourceBefore);
    QCOMPARE(state->ifScale, 0);
    QCOMPARE(state->picW, picWBefore);
    QCOMPARE(state->picH, picHBefore);
    QCOMPARE(window->sourcePicture(), pictureBefore);
    QCOMPARE(window->zoomedSurface(), surfaceBefore);
    QVERIFY(state->lastFolder.empty());
    QVERIFY(boxes.texts.isEmpty());
}

void SourcesWindowTest::chooserUndecodableFileShowsMessage()
{
    window->wholeMode();
    const QImage pictureBefore = window->sourcePicture();
    const double picWBefore = state->picW;
    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(pictures());
    clickFile(child<QListWidget>(chooser, "File1"), QStringLiteral("broken.jpg"));
    chooser->confirm();
    settle();
    QVERIFY(chooser.isNull());
    QCOMPARE(boxes.texts, QStringList{kGalleryError});
    // The steps before the decode stay done; the picture and grid do not change.
    QCOMPARE(QString::fromStdString(state->sourceFile), pictures() + "/broken.jpg");
    QCOMPARE(QString::fromStdString(state->lastFolder), pictures());
    QCOMPARE(state->ifScale, 1);
    QCOMPARE(window->sourcePicture(), pictureBefore);
    QCOMPARE(state->picW, picWBefore);
}

void SourcesWindowTest::chooserLoadsPng()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(pictures());
    clickFile(child<QListWidget>(chooser, "File1"), QStringLiteral("photo.png"));
    chooser->confirm();
    settle();
    QVERIFY(chooser.isNull());
    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(window->sourcePicture().size(), QSize(70, 90));
    QCOMPARE(window->sourcePicture().pixel(35, 45), qRgb(120, 60, 30));
}

void SourcesWindowTest::chooserDoubleClickConfirms()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    chooser->showFolder(other());
    auto* file1 = child<QListWidget>(chooser, "File1");
    const QRect r = file1->visualItemRect(file1->item(0));
    QTest::mouseClick(file1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(file1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    settle();
    QVERIFY(chooser.isNull());
    QCOMPARE(window->sourcePicture().size(), QSize(90, 90));
}

void SourcesWindowTest::chooserButtonPlacesItBesideMainWindow()
{
    window->move(40, 30);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
    FileChooserWindow* chooser = sources->fileChooser();
    QVERIFY(chooser != nullptr);
    QCOMPARE(chooser->pos(), window->pos() + QPoint(120, 93));
    // Asked again while open: the same window, not a new one, and it keeps its folder.
    chooser->showFolder(other());
    window->findChild<QAction*>(QStringLiteral("mnuImportFile"))->trigger();
    QCOMPARE(sources->fileChooser(), chooser);
    QCOMPARE(chooser->folderPath(), other());
}

void SourcesWindowTest::chooserTreeSelectionShowsFolder()
{
    FileChooserWindow* chooser = openChooser();
    auto* tree = child<QTreeView>(chooser, "Dir1");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    QVERIFY(model != nullptr);
    // showFolder selects the folder in the tree...
    chooser->showFolder(pictures());
    QCOMPARE(model->filePath(tree->currentIndex()), pictures());
    // ...and choosing a folder in the tree lists its files.
    tree->setCurrentIndex(model->index(other()));
    QCOMPARE(chooser->folderPath(), other());
    QCOMPARE(listed(child<QListWidget>(chooser, "File1")), QStringList{"other.bmp"});
}

void SourcesWindowTest::galleryCaptionsAndFirstCategory()
{
    GalleryWindow* gallery = openGallery();
    QVERIFY(gallery != nullptr);
    QVERIFY(gallery->isVisible());
    QVERIFY(!gallery->isModal());
    QCOMPARE(gallery->objectName(), QStringLiteral("Form6"));
    QCOMPARE(gallery->windowTitle(), QStringLiteral("十字绣图Kanvo ---奎乐软件quillex inc."));
    QCOMPARE(child<QLabel>(gallery, "Label1")->text(),
             QStringLiteral("温馨提示：对于颜色数较少的卡通类图片，可以在 绣图设置-减色方式，选择-'不做减色处理'，"
                            "且选择 局部，不要对图形做缩放处理。可得到最佳效果"));
    const QList<QPair<const char*, QString>> buttons{
        {"Command1", "动漫"}, {"Command2", "美女"}, {"Command3", "汽车"}, {"Command4", "星座"},
        {"Command6", "动物"}, {"Command7", "风景"}, {"Command8", "艺术"},
        {"Command5", "应用"}, {"Command9", "退出"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = child<QPushButton>(gallery, name);
        QVERIFY2(b != nullptr, name);
        QCOMPARE(b->text(), caption);
        QVERIFY2(b->isEnabled(), name);
    }
    QCOMPARE(gallery->folderPath(), galleryRoot() + "/动漫");
    QCOMPARE(listed(child<QListWidget>(gallery, "File1")),
             (QStringList{"坏.gif", "狗.JPG", "猫.bmp", "鱼.PNG", "鸟.Jpg"}));
}

void SourcesWindowTest::galleryCategoryButtonMarksCurrent()
{
    GalleryWindow* gallery = openGallery();
    QTest::mouseClick(child<QPushButton>(gallery, "Command2"), Qt::LeftButton);
    for (const char* name : {"Command1", "Command3", "Command4", "Command6", "Command7", "Command8"})
        QVERIFY2(child<QPushButton>(gallery, name)->isEnabled(), name);
    QVERIFY(!child<QPushButton>(gallery, "Command2")->isEnabled());
    QCOMPARE(listed(child<QListWidget>(gallery, "File1")), QStringList{"人像.jpg"});

    // A missing folder: its button is marked, the list stays on the previous folder.
    QTest::mouseClick(child<QPushButton>(gallery, "Command3"), Qt::LeftButton);
    QVERIFY(!child<QPushButton>(gallery, "Command3")->isEnabled());
    QVERIFY(child<QPushButton>(gallery, "Command2")->isEnabled());
    QCOMPARE(gallery->currentCategoryButton(), QStringLiteral("Command3"));
    QCOMPARE(gallery->folderPath(), galleryRoot() + "/美女");
    QCOMPARE(listed(child<QListWidget>(gallery, "File1")), QStringList{"人像.jpg"});
    QVERIFY(boxes.texts.isEmpty());

    QTest::mouseClick(child<QPushButton>(gallery, "Command1"), Qt::LeftButton);
    QCOMPARE(gallery->currentCategoryButton(), QStringLiteral("Command1"));
    QCOMPARE(gallery->folderPath(), galleryRoot() + "/动漫");
}

void SourcesWindowTest::galleryPreviewRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("preview");

    QTest::newRow("lower-case bmp") << "猫.bmp" << QSize(120, 90);
    QTest::newRow("upper-case JPG") << "狗.JPG" << QSize(80, 100);
    QTest::newRow("mixed-case Jpg") << "鸟.Jpg" << QSize();
    QTest::newRow("undecodable gif") << "坏.gif" << QSize();
    QTest::newRow("upper-case PNG") << "鱼.PNG" << QSize(40, 30);
}

void SourcesWindowTest::galleryPreviewRule()
{
    QFETCH(QString, name);
    QFETCH(QSize, preview);
    GalleryWindow* gallery = openGallery();
    clickFile(child<QListWidget>(gallery, "File1"), name);
    auto* image1 = child<QLabel>(gallery, "Image1");
    if (preview.isEmpty()) {
        QVERIFY(gallery->previewImage().isNull());
        QVERIFY(image1->pixmap().isNull());
    } else {
        // Natural size from the top-left corner.
        QCOMPARE(gallery->previewImage().size(), preview);
        QCOMPARE(image1->pixmap().size(), preview);
        QVERIFY(!image1->hasScaledContents());
        QCOMPARE(image1->alignment(), Qt::AlignLeft | Qt::AlignTop);
    }
}

void SourcesWindowTest::galleryAppliesAndStaysOpen()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    QPointer<GalleryWindow> gallery = openGallery();
    QTest::mouseClick(child<QPushButton>(gallery, "Command2"), Qt::LeftButton);
    auto* file1 = child<QListWidget>(gallery, "File1");
    clickFile(file1, QStringLiteral("人像.jpg"));
    QTest::mouseClick(child<QPushButton>(gallery, "Command5"), Qt::LeftButton);
    settle();

    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(QString::fromStdString(state->sourceFile), galleryRoot() + "/美女/人像.jpg");
    // 150 x 200: height 200; xyRate is the single-precision 1.3333334, so the width is
    // nearest(250 / 1.3333334 = 187.49999) = 187.
    QCOMPARE(window->sourcePicture().size(), QSize(150, 200));
    QCOMPARE(state->picH, 200);
    QCOMPARE(state->picW, 187.0);
    // The chooser closed; the gallery stays, on the same category and file.
    QVERIFY(chooser.isNull());
    QVERIFY(!gallery.isNull());
    QVERIFY(gallery->isVisible());
    QCOMPARE(gallery->currentCategoryButton(), QStringLiteral("Command2"));
    QCOMPARE(file1->currentItem()->text(), QStringLiteral("人像.jpg"));
    // The file chooser's folder memory belongs to the chooser alone.
    QVERIFY(state->lastFolder.empty());

    // Another try from the same list.
    QTest::mouseClick(child<QPushButton>(gallery, "Command1"), Qt::LeftButton);
    clickFile(file1, QStringLiteral("狗.JPG"));
    QVERIFY(gallery->apply());
    QCOMPARE(window->sourcePicture().size(), QSize(80, 100));
}

void SourcesWindowTest::galleryApplyWithoutFileShowsMessage()
{
    window->wholeMode();
    const QImage pictureBefore = window->sourcePicture();
    const double picWBefore = state->picW;
    const int picHBefore = state->picH;
    GalleryWindow* gallery = openGallery();
    QTest::mouseClick(child<QPushButton>(gallery, "Command5"), Qt::LeftButton);
    QCOMPARE(boxes.titles, QStringList{"quillex"});
    QCOMPARE(boxes.texts, QStringList{kGalleryError});
    QCOMPARE(window->sourcePicture(), pictureBefore);
    QCOMPARE(state->picW, picWBefore);
    QCOMPARE(state->picH, picHBefore);
    // Only part-of-picture mode is set by the attempt.
    QCOMPARE(state->ifScale, 1);
    QVERIFY(gallery->isVisible());
}

void SourcesWindowTest::galleryApplyUndecodableShowsMessage()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    GalleryWindow* gallery = openGallery();
    const QImage pictureBefore = window->sourcePicture();
    clickFile(child<QListWidget>(gallery, "File1"), QStringLiteral("坏.gif"));
    QVERIFY(!gallery->apply());
    QCOMPARE(boxes.texts, QStringList{kGalleryError});
    QCOMPARE(window->sourcePicture(), pictureBefore);
    // A failed apply leaves the chooser alone.
    settle();
    QVERIFY(!chooser.isNull());
}

void SourcesWindowTest::galleryReopensAtFirstCategory()
{
    QPointer<GalleryWindow> gallery = openGallery();
    QTest::mouseClick(child<QPushButton>(gallery, "Command2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(gallery, "Command9"), Qt::LeftButton);
    settle();
    QVERIFY(gallery.isNull());
    gallery = openGallery();
    QCOMPARE(gallery->currentCategoryButton(), QString());
    QCOMPARE(gallery->folderPath(), galleryRoot() + "/动漫");
}

void SourcesWindowTest::galleryCategoriesMissingEverywhere()
{
    sources->setGalleryFolders({folder->filePath(QStringLiteral("nowhere"))});
    GalleryWindow* gallery = openGallery();
    auto* file1 = child<QListWidget>(gallery, "File1");
    QCOMPARE(file1->count(), 0);
    QTest::mouseClick(child<QPushButton>(gallery, "Command4"), Qt::LeftButton);
    QCOMPARE(file1->count(), 0);
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(!gallery->apply());
    QCOMPARE(boxes.texts, QStringList{kGalleryError});
}

void SourcesWindowTest::exitClosesChooserAndGallery()
{
    QPointer<FileChooserWindow> chooser = openChooser();
    QPointer<GalleryWindow> gallery = openGallery();
    window->exitProgram();
    settle();
    QVERIFY(chooser.isNull());
    QVERIFY(gallery.isNull());
}

void SourcesWindowTest::shippedGalleryHasPicturesInEveryCategory()
{
    // The gallery as shipped, found the way the program finds it.
    GalleryWindow shipped(*window, {}, AppPaths::shippedFolders());
    qint64 bytes = 0;
    for (const GalleryWindow::Category& c : GalleryWindow::kCategories) {
        const QString name = QString::fromUtf8(c.name);
        const auto folderPath = shipped.categoryFolder(name);
        QVERIFY2(folderPath.has_value(), qPrintable(name));
        const QFileInfoList files = QDir(*folderPath).entryInfoList(QDir::Files);
        QVERIFY2(files.size() >= 3, qPrintable(name));
        for (const QFileInfo& f : files) {
            bytes += f.size();
            const auto picture = PictureDecoder::decode(f.absoluteFilePath());
            QVERIFY2(picture.has_value(), qPrintable(f.fileName()));
            // Large enough for the largest grid, small enough to show in the gallery's box.
            QVERIFY2(std::max(picture->width(), picture->height()) >= 250, qPrintable(f.fileName()));
            QVERIFY2(picture->width() <= 600 && picture->height() <= 600, qPrintable(f.fileName()));
            // Lower-case suffixes: the file chooser previews them as well.
            QVERIFY2(f.fileName().endsWith(QStringLiteral(".jpg")) || f.fileName().endsWith(QStringLiteral(".gif"))
                         || f.fileName().endsWith(QStringLiteral(".bmp")),
                     qPrintable(f.fileName()));
        }
    }
    QVERIFY(bytes < 10 * 1024 * 1024);
}

using NewPicture = std::function<void(SourcesWindowTest&)>;
Q_DECLARE_METATYPE(NewPicture)

void SourcesWindowTest::everyNewPictureClearsTheEffectPreview_data()
{
    QTest::addColumn<NewPicture>("bring");
    // The menu entries leave `previewReady` alone: only the new picture may clear it.
    QTest::newRow("file chooser") << NewPicture([](SourcesWindowTest& t) {
        QPointer<FileChooserWindow> chooser = t.openChooser();
        chooser->showFolder(t.other());
        clickFile(t.child<QListWidget>(chooser, "File1"), QStringLiteral("other.bmp"));
        chooser->confirm();
    });
    QTest::newRow("gallery") << NewPicture([](SourcesWindowTest& t) {
        GalleryWindow* gallery = t.openGallery();
        clickFile(t.child<QListWidget>(gallery, "File1"), QStringLiteral("猫.bmp"));
        QVERIFY(gallery->apply());
    });
    QTest::newRow("screen capture") << NewPicture([](SourcesWindowTest& t) {
        ScreenCapture& capture = t.sources->screenCapture();
        capture.setGrabber([](QScreen*) {
            QImage screen(400, 300, QImage::Format_RGB32);
            screen.fill(qRgb(30, 90, 160));
            return screen;
        });
        t.window->findChild<QAction*>(QStringLiteral("mnuScreenCapture"))->trigger();
        CaptureWindow* shown = capture.captureWindow();
        QVERIFY(shown != nullptr);
        const QPointF at(300, 250);
        const QPointF global = shown->mapToGlobal(at);
        QMouseEvent move(QEvent::MouseMove, at, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        for (QMouseEvent* event : {&move, &press, &release})
            QApplication::sendEvent(shown, event);
    });
}

// After an effect preview of one picture, a new picture from any source takes the preview off
// the grid display, shows the start-up status again and makes "生成" ask for a new preview.
void SourcesWindowTest::everyNewPictureClearsTheEffectPreview()
{
    QFETCH(NewPicture, bring);
    QVERIFY(hub->invokeColourReduction());
    QVERIFY(state->previewReady);
    QVERIFY(!window->gridCanvas().isNull());
    QCOMPARE(window->statusLine()->text(), QStringLiteral("减色处理完毕"));

    bring(*this);
    settle();
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(window->isVisible());
    QVERIFY(!state->previewReady);
    QVERIFY(window->gridCanvas().isNull());
    QCOMPARE(window->statusLine()->text(), QStringLiteral("欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！"));
    QTest::mouseClick(child<QWidget>(window, "Label2"), Qt::LeftButton);
    QCOMPARE(boxes.texts, QStringList{QStringLiteral("   生成绣图前请先点击效果预览键    ")});
}

QTEST_MAIN(SourcesWindowTest)
#include "SourcesWindowTest.moc"
