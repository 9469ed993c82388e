#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QSpinBox>
#include <QtTest>

#include "app/platform/MessageBoxes.h"
#include "app/reduce/ChartSettingsWindow.h"
#include "app/reduce/SurfaceAdapter.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "ProgramSessionTest.h"
#include "RecordingMessageBoxes.h"
#include "app/workspace/WindowHub.h"

using namespace kanvo;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint32 le32(const QByteArray& b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

QStringList comboItems(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class ReduceWindowTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void previewThenGenerateOpensChart();
    void secondReductionKeepsTheMatrix();
    void noReductionPreviewEndsWithFinalStatus();
    void newPictureClearsTheEffectPreview();
    void saveEffectWritesNumberedFiles();
    void failedSaveShowsTheReason();
    void unwritableScratchShowsAMessage();
    void unwritableWorkingFolderUsesTheCacheFolder();
    void surfaceAdapterFormats_data();
    void surfaceAdapterFormats();

    void settingsCaptionsAndDefaults();
    void settingsOpenFromEveryControl_data();
    void settingsOpenFromEveryControl();
    void settingsSliderCouplesStrength_data();
    void settingsSliderCouplesStrength();
    void settingsTypedStrengthMovesSlider_data();
    void settingsTypedStrengthMovesSlider();
    void settingsOkWritesInForce();
    void settingsTypedMethods_data();
    void settingsTypedMethods();
    void settingsBadEntryKeepsWindowOpen_data();
    void settingsBadEntryKeepsWindowOpen();
    void settingsCancelChangesNothing();
    void settingsFirstClickClearsTitle();
    void settingsStrengthAboveSliderShownAsTyped();
    void settingsReopenShowsTheValuesInForce();
    void settingsThreadMethodBoxes();

private:
    template <class T> T* child(const char* name) { return window->findChild<T*>(QString::fromUtf8(name)); }
    ChartSettingsWindow* openSettings();
    template <class T> T* setting(const char* name) { return settings->findChild<T*>(QString::fromUtf8(name)); }

    ChartSettingsWindow* settings = nullptr;
    int chartOpened = 0;
};

void ReduceWindowTest::init()
{
    // The scratch and effect files go to the current folder.
    QVERIFY(openSession());
    chartOpened = 0;
    hub->showChartWindow = [this] { ++chartOpened; };
    QVERIFY(session->start());
    settings = nullptr;
}

void ReduceWindowTest::cleanup()
{
    closeSession();
}

void ReduceWindowTest::previewThenGenerateOpensChart()
{
    QVERIFY(!state->previewReady);
    QVERIFY(!window->zoomedSurface().isNull());
    const int w = state->gridWidth();
    const int h = state->picH;
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);

    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(state->previewReady);
    QCOMPARE(window->statusLine()->text(), QStringLiteral("减色处理完毕"));
    QVERIFY(QFile::exists(session->filePath(QStringLiteral("tmppicv.bmp"))));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(child<QPushButton>("Command2")->isEnabled());
    for (int x = 0; x < StitchMatrix::kSize; ++x)
        for (int y = 0; y < StitchMatrix::kSize; ++y) {
            const ColorValue c = state->stitchMatrix.at(x, y);
            if (x >= w || y >= h)
                QCOMPARE(c, ColorValue{0xFFFFFF});
            else
                QVERIFY(redOf(c) % 51 == 0 && greenOf(c) % 51 == 0 && blueOf(c) % 51 == 0);
        }
    // The reduced colours now stand in the picture and on the grid display (cell (0, 0) is the
    // square inside the first grid lines).
    const QImage& surface = window->zoomedSurface();
    const ColorValue first = state->stitchMatrix.at(0, 0);
    const QRgb shown = surface.pixel(state->moveX1, state->moveY1);
    QCOMPARE(makeColor(qRed(shown), qGreen(shown), qBlue(shown)), first);
    const QRgb cell = window->gridCanvas().pixel(2, 2);
    QCOMPARE(makeColor(qRed(cell), qGreen(cell), qBlue(cell)), first);

    // "生成" gets past the preview gate: the chart hook runs, no message, gate closed again.
    QTest::mouseClick(child<QWidget>("Label2"), Qt::LeftButton);
    QCOMPARE(chartOpened, 1);
    QVERIFY(boxes->texts.isEmpty());
    QVERIFY(!state->previewReady);
    QTest::mouseClick(child<QWidget>("Label2"), Qt::LeftButton);
    QCOMPARE(chartOpened, 1);
    QCOMPARE(boxes->texts.size(), 1);
}

// "不做减色处理" reduces nothing, but the status line ends as after any reduction, also when an
// edit preparation left "开始处理..." there.
void ReduceWindowTest::noReductionPreviewEndsWithFinalStatus()
{
    state->ColorBit = 0;
    window->statusLine()->setText(QStringLiteral("开始处理..."));
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QVERIFY(state->previewReady);
    QCOMPARE(window->statusLine()->text(), QStringLiteral("减色处理完毕"));
}

// A new picture takes the old picture's effect preview off the grid display and closes the gate
// to "生成" until a new preview is made.
void ReduceWindowTest::newPictureClearsTheEffectPreview()
{
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QVERIFY(state->previewReady);
    QVERIFY(!window->gridCanvas().isNull());
    QVERIFY(window->loadSourcePicture());
    QVERIFY(window->gridCanvas().isNull());
    QVERIFY(!state->previewReady);
    QTest::mouseClick(child<QWidget>("Label2"), Qt::LeftButton);
    QCOMPARE(chartOpened, 0);
    QCOMPARE(boxes->texts.size(), 1); // asks for an effect preview first
}

void ReduceWindowTest::secondReductionKeepsTheMatrix()
{
    QVERIFY(hub->invokeColourReduction());
    const StitchMatrix first = state->stitchMatrix;
    QVERIFY(hub->invokeColourReduction());
    QVERIFY(state->stitchMatrix == first);
}

void ReduceWindowTest::saveEffectWritesNumberedFiles()
{
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    const QString file1 = session->filePath(QStringLiteral("xiaoguo001.bmp"));
    QVERIFY(QFile::exists(file1));
    QVERIFY(QFile::exists(session->filePath(QStringLiteral("xiaoguo002.bmp"))));
    QCOMPARE(boxes->titles, (QStringList{QStringLiteral("quillex"), QStringLiteral("quillex")}));
    const QString expected = QStringLiteral("绣图效果图保存到") + QDir::toNativeSeparators(QFileInfo(file1).absoluteFilePath());
    QCOMPARE(boxes->texts.first(), expected);
    QVERIFY(!boxes->errorIcon.first());
    QVERIFY(window->statusLine()->text().startsWith(QStringLiteral("绣图效果图保存到")));
    const QByteArray b = fileBytes(file1);
    QVERIFY(b.size() > 1078);
    QCOMPARE(le32(b, 10), 1078u);
    QCOMPARE(int(quint8(b[28])), 8);
    QCOMPARE(le32(b, 18), quint32(state->gridWidth()));
    QCOMPARE(le32(b, 22), quint32(state->picH));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ReduceWindowTest::failedSaveShowsTheReason()
{
    QVERIFY(QDir(session->folder()).mkdir(QStringLiteral("xiaoguo001.bmp")));
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->errorIcon.first());
    QVERIFY(!boxes->texts.first().startsWith(QStringLiteral("绣图效果图保存到")));
    QVERIFY(boxes->texts.first().contains(QStringLiteral("xiaoguo001.bmp")));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ReduceWindowTest::unwritableScratchShowsAMessage()
{
    QVERIFY(QDir(session->folder()).mkdir(QStringLiteral("tmppicv.bmp")));
    const QImage before = window->zoomedSurface().copy();
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("错误！")});
    QVERIFY(boxes->errorIcon.first());
    QVERIFY(boxes->texts.first().contains(QStringLiteral("tmppicv.bmp")));
    QVERIFY(!state->previewReady);
    QCOMPARE(window->zoomedSurface(), before);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void ReduceWindowTest::unwritableWorkingFolderUsesTheCacheFolder()
{
    QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    // A working folder that is gone: nothing can be made in it, not even by root (as in CI).
    QTemporaryDir gone;
    QVERIFY(QDir::setCurrent(gone.path()));
    QVERIFY(QDir().rmdir(gone.path()));
    {
        RunState runState;
        WindowHub windowHub;
        MainWindow program(runState, windowHub);
        connectWindows(program, windowHub);
        program.load();
        QTest::mouseClick(program.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
        QVERIFY2(boxes->texts.isEmpty(), qPrintable(boxes->texts.join(QLatin1Char('\n'))));
        QVERIFY(runState.previewReady);
        const QDir cache(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
        QVERIFY(cache.path().startsWith(cacheHome.path()));
        QVERIFY(QFileInfo(cache.filePath(QStringLiteral("tmppicv.bmp"))).size() > 0);
        // "编辑" reads the same scratch bitmap and writes its own beside it.
        QVERIFY(windowHub.prepareEdit);
        windowHub.prepareEdit();
        QVERIFY2(boxes->texts.isEmpty(), qPrintable(boxes->texts.join(QLatin1Char('\n'))));
        QVERIFY(QFileInfo(cache.filePath(QStringLiteral("tmpcolorv.bmp"))).size() > 0);
    }
    QDir::setCurrent(session->folder());
    qunsetenv("XDG_CACHE_HOME");
}

void ReduceWindowTest::surfaceAdapterFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("RGB32") << int(QImage::Format_RGB32);
    QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
    QTest::newRow("RGB888") << int(QImage::Format_RGB888);
    QTest::newRow("BGR888") << int(QImage::Format_BGR888);
    QTest::newRow("Indexed8") << int(QImage::Format_Indexed8);
    QTest::newRow("RGB16") << int(QImage::Format_RGB16);
}

void ReduceWindowTest::surfaceAdapterFormats()
{
    QFETCH(int, format);
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(1, 2, qRgb(255, 0, 0));
    image.setPixel(4, 0, qRgb(0, 255, 0));
    image = image.convertToFormat(QImage::Format(format));
    PixelSurface view = SurfaceAdapter::view(image);
    QCOMPARE(view.width, 5);
    QCOMPARE(view.height, 3);
    QCOMPARE(view.at(1, 2), makeColor(255, 0, 0));
    QCOMPARE(view.at(4, 0), makeColor(0, 255, 0));
    view.set(2, 1, makeColor(0, 0, 255));
    QCOMPARE(image.pixel(2, 1) & 0xFFFFFFu, qRgb(0, 0, 255) & 0xFFFFFFu);
}

ChartSettingsWindow* ReduceWindowTest::openSettings()
{
    QTest::mouseClick(child<QPushButton>("Command7"), Qt::LeftButton);
    settings = window->findChild<ChartSettingsWindow*>(QStringLiteral("Form3"));
    return settings;
}

void ReduceWindowTest::settingsCaptionsAndDefaults()
{
    QVERIFY(openSettings());
    QVERIFY(settings->isVisible());
    QCOMPARE(settings->windowTitle(), QStringLiteral("十字绣图Kanvo       -quillex inc."));
    QStringList captions;
    for (QLabel* l : settings->findChildren<QLabel*>())
        captions << l->text();
    for (const char* c : {"设置生成绣图的属性：", "绣线类别：", "减色方法：", "绣格宽度：", "绣格高度：", "减色强度：",
             "更少的绣线", "更好的效果", "自动减色功能：", "缩放时不改变颜色数：", "绣图名称："})
        QVERIFY2(captions.contains(QString::fromUtf8(c)), c);
    QCOMPARE(comboItems(setting<QComboBox>("Combo1")), (QStringList{"DMC", "CC"}));
    QCOMPARE(setting<QComboBox>("Combo1")->currentText(), QStringLiteral("DMC"));
    QCOMPARE(comboItems(setting<QComboBox>("Combo3")),
        (QStringList{"灰度图片", "低分辨彩色图", "高清黑白图片", "高分辨彩色图", "不做减色处理", "精选绣线"}));
    QCOMPARE(setting<QComboBox>("Combo3")->currentText(), QStringLiteral("高分辨彩色图"));
    for (const char* name : {"Combo4", "Combo5"}) {
        QCOMPARE(comboItems(setting<QComboBox>(name)), (QStringList{"16", "12", "10", "8", "7", "6"}));
        QCOMPARE(setting<QComboBox>(name)->currentText(), QStringLiteral("10"));
    }
    QCOMPARE(comboItems(setting<QComboBox>("Combo2")), (QStringList{"是", "否"}));
    QCOMPARE(setting<QComboBox>("Combo2")->currentText(), QStringLiteral("是"));
    QCOMPARE(setting<QComboBox>("Combo6")->currentText(), QStringLiteral("否"));
    QCOMPARE(setting<QLineEdit>("Text1")->text(), QStringLiteral("给你的绣图起个名字"));
    QCOMPARE(setting<QLineEdit>("Text2")->text(), QStringLiteral("0"));
    auto* slider = setting<QScrollBar>("HScroll1");
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 300);
    QCOMPARE(slider->pageStep(), 10);
    QCOMPARE(slider->value(), 300);
    QCOMPARE(setting<QPushButton>("Command1")->text(), QStringLiteral("确定"));
    QCOMPARE(setting<QPushButton>("Command2")->text(), QStringLiteral("取消"));
}

void ReduceWindowTest::settingsOpenFromEveryControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("绣图设置") << QStringLiteral("Command7");
    QTest::newRow("超级减色") << QStringLiteral("Label12");
}

void ReduceWindowTest::settingsOpenFromEveryControl()
{
    QFETCH(QString, control);
    QTest::mouseClick(window->findChild<QWidget*>(control), Qt::LeftButton);
    auto* form = window->findChild<ChartSettingsWindow*>(QStringLiteral("Form3"));
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QVERIFY(!form->isModal());
    // Closing the main window closes it too.
    window->close();
    QVERIFY(!form->isVisible());
}

void ReduceWindowTest::settingsSliderCouplesStrength_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("strength");
    QTest::addColumn<int>("mergeTol");
    QTest::newRow("right end") << 300 << "0" << 0;
    QTest::newRow("left end") << 1 << "299" << 5980;
    QTest::newRow("middle") << 150 << "150" << 3000;
}

void ReduceWindowTest::settingsSliderCouplesStrength()
{
    QFETCH(int, position);
    QFETCH(QString, strength);
    QFETCH(int, mergeTol);
    QVERIFY(openSettings());
    auto* slider = setting<QScrollBar>("HScroll1");
    slider->setValue(position == 300 ? 299 : 300); // make the next value a change
    slider->setValue(position);
    QCOMPARE(setting<QLineEdit>("Text2")->text(), strength);
    QVERIFY(settings->accept());
    QCOMPARE(state->mergeTol, mergeTol);
    QVERIFY(!settings->isVisible());
}

void ReduceWindowTest::settingsTypedStrengthMovesSlider_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position"); // 300 - the strength rounded half to even, within 1..300
    QTest::newRow("12") << "12" << 288;
    QTest::newRow("12.5 rounds to 12") << "12.5" << 288;
    QTest::newRow("13.5 rounds to 14") << "13.5" << 286;
    QTest::newRow("0") << "0" << 300;
    QTest::newRow("299") << "299" << 1;
    QTest::newRow("above the slider") << "500" << 1;
    QTest::newRow("blanks around") << " 40 " << 260;
    QTest::newRow("no number") << "ab" << 150; // keyClicks types ASCII only
    QTest::newRow("nothing") << "" << 150;
}

// Typing into 减色强度's box moves its slider, and the box keeps what was typed.
void ReduceWindowTest::settingsTypedStrengthMovesSlider()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    QVERIFY(openSettings());
    auto* slider = setting<QScrollBar>("HScroll1");
    slider->setValue(150);
    auto* box = setting<QLineEdit>("Text2");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, typed);
    QCOMPARE(slider->value(), position);
    QCOMPARE(box->text(), typed);
}

void ReduceWindowTest::settingsOkWritesInForce()
{
    state->ColorBit = 3;
    state->blockW = 6;
    QVERIFY(openSettings());
    setting<QComboBox>("Combo1")->setCurrentIndex(1);
    setting<QComboBox>("Combo2")->setCurrentIndex(1);
    setting<QComboBox>("Combo4")->setEditText(QStringLiteral("16"));
    setting<QComboBox>("Combo5")->setEditText(QStringLiteral("7"));
    QTest::mouseClick(setting<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(!settings->isVisible());
    QCOMPARE(QString::fromStdString(state->chart.xiutuTitle), QStringLiteral("给你的绣图起个名字"));
    QCOMPARE(QString::fromStdString(state->chart.whichType), QStringLiteral("CC"));
    QCOMPARE(state->ColorBit, 3); // the method in force, shown at opening and left alone
    QCOMPARE(state->autoColor, 1);
    QCOMPARE(state->blockW, 16);
    QCOMPARE(state->blockH, 7);
    QCOMPARE(state->mergeTol, 0);
    QVERIFY(boxes->texts.isEmpty());
}

void ReduceWindowTest::settingsTypedMethods_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<int>("colorBit");
    QTest::newRow("8bit") << "8bit" << 8;
    QTest::newRow("1bit") << "1bit" << 1;
    QTest::newRow("不做减色处理") << "不做减色处理" << 0;
    QTest::newRow("灰度图片") << "灰度图片" << 2;
    QTest::newRow("other text keeps it") << "4bit" << 3;
}

void ReduceWindowTest::settingsTypedMethods()
{
    QFETCH(QString, method);
    QFETCH(int, colorBit);
    state->ColorBit = 3;
    QVERIFY(openSettings());
    setting<QComboBox>("Combo3")->setEditText(method);
    QVERIFY(settings->accept());
    QCOMPARE(state->ColorBit, colorBit);
}

void ReduceWindowTest::settingsBadEntryKeepsWindowOpen_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("width abc") << "Combo4" << "abc" << "绣格宽度";
    QTest::newRow("height 0") << "Combo5" << "0" << "绣格高度";
    QTest::newRow("width huge") << "Combo4" << "70000" << "绣格宽度";
    QTest::newRow("strength text") << "Text2" << "多" << "减色强度";
    QTest::newRow("strength huge") << "Text2" << "99999999999" << "减色强度";
}

void ReduceWindowTest::settingsBadEntryKeepsWindowOpen()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    state->ColorBit = 3;
    state->blockW = 6;
    state->mergeTol = 40;
    QVERIFY(openSettings());
    if (auto* combo = settings->findChild<QComboBox*>(box))
        combo->setEditText(text);
    else
        settings->findChild<QLineEdit*>(box)->setText(text);
    QTest::mouseClick(setting<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(settings->isVisible());
    QCOMPARE(boxes->texts.size(), 1);
    QVERIFY(boxes->texts.first().contains(caption));
    // Nothing changed: no switch to 256 colours, no block width reset.
    QCOMPARE(state->ColorBit, 3);
    QCOMPARE(state->blockW, 6);
    QCOMPARE(state->mergeTol, 40);
    QVERIFY(state->chart.xiutuTitle.empty());
}

void ReduceWindowTest::settingsCancelChangesNothing()
{
    state->ColorBit = 4;
    state->mergeTol = 100;
    QVERIFY(openSettings());
    setting<QComboBox>("Combo3")->setEditText(QStringLiteral("1bit"));
    setting<QScrollBar>("HScroll1")->setValue(10);
    QTest::mouseClick(setting<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(!settings->isVisible());
    QCOMPARE(state->ColorBit, 4);
    QCOMPARE(state->mergeTol, 100);
    QVERIFY(state->chart.whichType.empty());
}

void ReduceWindowTest::settingsFirstClickClearsTitle()
{
    QVERIFY(openSettings());
    auto* title = setting<QLineEdit>("Text1");
    QTest::mouseClick(title, Qt::LeftButton);
    QCOMPARE(title->text(), QString());
    title->insert(QStringLiteral("猫"));
    QTest::mouseClick(title, Qt::LeftButton);
    QCOMPARE(title->text(), QStringLiteral("猫"));
    QVERIFY(settings->accept());
    QCOMPARE(QString::fromStdString(state->chart.xiutuTitle), QStringLiteral("猫"));
}

void ReduceWindowTest::settingsStrengthAboveSliderShownAsTyped()
{
    QVERIFY(openSettings());
    setting<QLineEdit>("Text2")->setText(QStringLiteral("500"));
    QVERIFY(settings->accept());
    QCOMPARE(state->mergeTol, 10000);
    QVERIFY(openSettings());
    QCOMPARE(setting<QLineEdit>("Text2")->text(), QStringLiteral("500"));
    QCOMPARE(setting<QScrollBar>("HScroll1")->value(), 1);
    QVERIFY(settings->accept()); // accepted again as shown
    QCOMPARE(state->mergeTol, 10000);
    state->mergeTol = 140;
    QVERIFY(openSettings());
    QCOMPARE(setting<QLineEdit>("Text2")->text(), QStringLiteral("7"));
    QCOMPARE(setting<QScrollBar>("HScroll1")->value(), 293);
}

void ReduceWindowTest::settingsReopenShowsTheValuesInForce()
{
    QVERIFY(openSettings());
    setting<QComboBox>("Combo1")->setCurrentText(QStringLiteral("CC"));
    setting<QComboBox>("Combo3")->setEditText(QStringLiteral("灰度图片"));
    setting<QComboBox>("Combo4")->setEditText(QStringLiteral("12"));
    setting<QComboBox>("Combo5")->setEditText(QStringLiteral("8"));
    setting<QComboBox>("Combo2")->setCurrentText(QStringLiteral("否"));
    setting<QComboBox>("Combo6")->setCurrentText(QStringLiteral("是"));
    QTest::mouseClick(setting<QLineEdit>("Text1"), Qt::LeftButton);
    setting<QLineEdit>("Text1")->insert(QStringLiteral("猫"));
    QVERIFY(settings->accept());

    // Reopened: every box shows what OK wrote; a click into the title keeps the user's title.
    const auto showsInForce = [this] {
        QCOMPARE(setting<QComboBox>("Combo1")->currentText(), QStringLiteral("CC"));
        QCOMPARE(setting<QComboBox>("Combo3")->currentText(), QStringLiteral("灰度图片"));
        QCOMPARE(setting<QComboBox>("Combo4")->currentText(), QStringLiteral("12"));
        QCOMPARE(setting<QComboBox>("Combo5")->currentText(), QStringLiteral("8"));
        QCOMPARE(setting<QComboBox>("Combo2")->currentText(), QStringLiteral("否"));
        QCOMPARE(setting<QComboBox>("Combo6")->currentText(), QStringLiteral("是"));
        QCOMPARE(setting<QLineEdit>("Text1")->text(), QStringLiteral("猫"));
    };
    QVERIFY(openSettings());
    showsInForce();
    QTest::mouseClick(setting<QLineEdit>("Text1"), Qt::LeftButton);
    QCOMPARE(setting<QLineEdit>("Text1")->text(), QStringLiteral("猫"));

    // Changing only the strength keeps every earlier choice.
    setting<QScrollBar>("HScroll1")->setValue(290);
    QVERIFY(settings->accept());
    QCOMPARE(state->mergeTol, 200);
    QCOMPARE(state->ColorBit, 2);
    QCOMPARE(state->blockW, 12);
    QCOMPARE(state->blockH, 8);
    QCOMPARE(state->autoColor, 1);
    QCOMPARE(QString::fromStdString(state->chart.whichType), QStringLiteral("CC"));
    QCOMPARE(QString::fromStdString(state->chart.xiutuTitle), QStringLiteral("猫"));

    // Edits that were cancelled do not come back.
    QVERIFY(openSettings());
    setting<QComboBox>("Combo4")->setEditText(QStringLiteral("16"));
    setting<QComboBox>("Combo6")->setCurrentText(QStringLiteral("否"));
    settings->cancel();
    QVERIFY(openSettings());
    showsInForce();

    // A method typed as "8bit" is shown as typed.
    setting<QComboBox>("Combo3")->setEditText(QStringLiteral("8bit"));
    QVERIFY(settings->accept());
    QVERIFY(openSettings());
    QCOMPARE(setting<QComboBox>("Combo3")->currentText(), QStringLiteral("8bit"));
}

void ReduceWindowTest::settingsThreadMethodBoxes()
{
    QVERIFY(openSettings());
    auto* threads = setting<QSpinBox>("ThreadCount");
    auto* dither = setting<QSpinBox>("DitherStrength");
    auto* cleanup = setting<QSpinBox>("CleanupSize");
    QVERIFY(threads && dither && cleanup);
    // The boxes and their captions show only while "精选绣线" is chosen, picked or typed.
    const auto shown = [&](bool expected) {
        int captions = 0;
        for (QLabel* l : settings->findChildren<QLabel*>())
            if (QStringList{"绣线数量：", "抖动强度：", "杂点清除："}.contains(l->text())) {
                ++captions;
                if (l->isVisible() != expected)
                    return false;
            }
        return captions == 3 && threads->isVisible() == expected && dither->isVisible() == expected
            && cleanup->isVisible() == expected;
    };
    auto* method = setting<QComboBox>("Combo3");
    QVERIFY(shown(false));
    method->setCurrentIndex(method->count() - 1);
    QVERIFY(shown(true));
    method->setCurrentIndex(0);
    QVERIFY(shown(false));
    method->setEditText(QStringLiteral("精选绣线"));
    QVERIFY(shown(true));

    // OK keeps the values for the run; the window shows them when it opens again.
    threads->setValue(7);
    dither->setValue(0);
    cleanup->setValue(13);
    QVERIFY(settings->accept());
    QCOMPARE(state->ColorBit, 32);
    QCOMPARE(state->threadReduction, (ThreadReductionSettings{7, 0, 13}));
    QVERIFY(openSettings());
    QVERIFY(shown(true)); // the method in force brings its boxes
    QCOMPARE(threads->value(), 7);
    QCOMPARE(dither->value(), 0);
    QCOMPARE(cleanup->value(), 13);
    // Cancel forgets what was changed.
    threads->setValue(90);
    QTest::mouseClick(setting<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(state->threadReduction, (ThreadReductionSettings{7, 0, 13}));
    QVERIFY(openSettings());
    QCOMPARE(threads->value(), 7);
}

QTEST_MAIN(ReduceWindowTest)
#include "ReduceWindowTest.moc"
