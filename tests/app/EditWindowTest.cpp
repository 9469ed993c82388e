#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QUndoStack>
#include <QtTest>

#include "app/edit/ColorReplacementWindow.h"
#include "app/edit/EditController.h"
#include "app/edit/OverlayDialogs.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/PictureBox.h"
#include "app/workspace/WindowHub.h"
#include "core/edit/PaletteLayout.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSessionTest.h"
#include "RecordingMessageBoxes.h"

using namespace kanvo;

namespace {

// Answers the overlay's choosers without showing them; an empty answer is a cancelled chooser.
class StandInDialogs : public OverlayDialogs {
public:
    std::optional<QFont> chooseFont(QWidget*, const QFont& current) override
    {
        offeredFont = current;
        ++fontCalls;
        return font;
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor& current) override
    {
        offeredColour = current;
        ++colourCalls;
        return colour;
    }
    std::optional<QFont> font;
    std::optional<QColor> colour;
    QFont offeredFont;
    QColor offeredColour;
    int fontCalls = 0;
    int colourCalls = 0;
};

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at)
{
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void press(QWidget* widget, QPoint at)
{
    sendMouse(widget, QEvent::MouseButtonPress, at);
    sendMouse(widget, QEvent::MouseButtonRelease, at);
}

QPoint swatchCentre(int position)
{
    const PaletteLayout::Rect r = PaletteLayout::swatch(position);
    return {r.x + r.width / 2, r.y + r.height / 2};
}

ColorValue colourOf(const QImage& image, QPoint at)
{
    const QRgb p = image.pixel(at);
    return makeColor(qRed(p), qGreen(p), qBlue(p));
}

// The bounding box of the pixels of `image` in colour `ink`.
QRect inkExtent(const QImage& image, QColor ink)
{
    QRect extent;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == ink.rgb())
                extent |= QRect(x, y, 1, 1);
    return extent;
}

} // namespace

class EditWindowTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editWithoutReductionAsksForPreview();
    void editOpensTheReplacementWindow();
    void replacingAThreadLeavesOneThreadFewer();
    void undoRestoresTheThreadAsLastSwatch();
    void viewportFollowsPointerAndZoomShowsStitches();
    void zoomClickPicksTheStitchThread();
    void scrollBarsMoveTheStrips();
    void tooManyColoursKeepTheEditorClosed();
    void editAgainStartsAfresh();
    void exitClosesTheEditor();

    void textBoxClearsOnFirstClickOnly();
    void clearKeepsTheTypedText();
    void choosersApplyToLabelAndPicture();
    void stampedTextBecomesStitches();
    void stampMatchesTheFloatingText_data();
    void stampMatchesTheFloatingText();

private:
    template <class T> T* child(const char* name) { return window->findChild<T*>(QString::fromUtf8(name)); }
    template <class T> T* editorChild(const char* name)
    {
        return editor()->findChild<T*>(QString::fromUtf8(name));
    }
    ColorReplacementWindow* editor() const
    {
        return window->findChild<ColorReplacementWindow*>(QString(), Qt::FindDirectChildrenOnly);
    }
    void reduce() { QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton); }
    void edit() { QTest::mouseClick(child<QWidget>("Label9"), Qt::LeftButton); }
    ChartModel generate()
    {
        ChartModel model;
        model.gw = state->gridWidth();
        model.gh = state->picH;
        ColorIndexSettings settings;
        settings.rareThreshold = 0;
        [&] { QCOMPARE(generateChartModel(state->stitchMatrix, model, settings, loadedThreadTable()), ColorIndexError::None); }();
        return model;
    }

    StandInDialogs dialogs;
    int chartOpened = 0;
};

void EditWindowTest::init()
{
    QVERIFY(openSession());
    dialogs = StandInDialogs();
    OverlayDialogs::setCurrent(&dialogs);
    chartOpened = 0;
    hub->showChartWindow = [this] { ++chartOpened; };
    QVERIFY(session->start());
}

void EditWindowTest::cleanup()
{
    closeSession();
    OverlayDialogs::setCurrent(nullptr);
}

void EditWindowTest::editWithoutReductionAsksForPreview()
{
    edit();
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("   编辑绣图颜色前请先点击效果预览键    ")});
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex 你身边的好软件")});
    QVERIFY(editor() == nullptr);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!QFile::exists(session->filePath(QStringLiteral("tmpcolorv.bmp"))));
}

void EditWindowTest::editOpensTheReplacementWindow()
{
    reduce();
    edit();
    QVERIFY(boxes->texts.isEmpty());
    ColorReplacementWindow* e = editor();
    QVERIFY(e != nullptr);
    QVERIFY(e->isVisible());
    QCOMPARE(e->windowTitle(), QStringLiteral("绣图颜色替换－用来减少绣图颜色"));
    QCOMPARE(window->statusLine()->text(), QStringLiteral("开始处理..."));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(QFile::exists(session->filePath(QStringLiteral("tmpcolorv.bmp"))));
    QVERIFY(!editorChild<QPushButton>("Command2")->isEnabled());
    QCOMPARE(editorChild<QPushButton>("Command1")->text(), QStringLiteral("<－替换"));
    QCOMPARE(editorChild<QPushButton>("Command2")->text(), QStringLiteral("撤销"));
    QCOMPARE(editorChild<QPushButton>("Command3")->text(), QStringLiteral("完成"));
    // Drawn on opening: both strips with every thread, the zoom view from the top-left stitch.
    QVERIFY(e->palettesShown());
    const ChartModel chart = generate();
    for (const char* strip : {"Picture5", "Picture6"}) {
        const QImage& swatches = editorChild<PictureBox>(strip)->image();
        QCOMPARE(swatches.height(), (chart.colorCount + 9) / 10 * 14 + 10);
        QCOMPARE(colourOf(swatches, swatchCentre(1)), loadedThreadTable().colorOf(e->model()->entry(1)));
    }
    const QImage& zoom = editorChild<PictureBox>("Picture2")->image();
    QCOMPARE(zoom.size(), e->zoomSize());
    QCOMPARE(colourOf(zoom, QPoint(4 * 3 + 2, 4 * 2 + 2)), state->stitchMatrix.at(3, 2));

    // The editor's list is the chart's threads; the overview one pixel per stitch.
    QCOMPARE(e->model()->colorTotal(), chart.colorCount);
    // The status line counts the threads shown from the start.
    QCOMPARE(editorChild<QLabel>("Label6")->text(), QStringLiteral("颜色总数：%1  替换0 处").arg(chart.colorCount));
    QCOMPARE(e->model()->width(), state->gridWidth());
    QCOMPARE(e->model()->height(), state->picH);
    const QImage& overview = editorChild<PictureBox>("Picture1")->image();
    QCOMPARE(overview.size(), QSize(state->gridWidth(), state->picH));
    QCOMPARE(colourOf(overview, QPoint(7, 9)), state->stitchMatrix.at(7, 9));
}

void EditWindowTest::replacingAThreadLeavesOneThreadFewer()
{
    reduce();
    const ChartModel before = generate();
    const int threads = static_cast<int>(before.threadList.size());
    QVERIFY(threads >= 2);
    edit();
    ColorReplacementWindow* e = editor();
    QVERIFY(e != nullptr);
    const int source = e->model()->entry(1);
    const int target = e->model()->entry(2);

    // A stitch of the source thread in the zoom view, which shows the top-left stitches.
    QPoint sourceStitch(-1, -1);
    for (int y = 0; y < e->viewport().height() && sourceStitch.x() < 0; ++y)
        for (int x = 0; x < e->viewport().width() && sourceStitch.x() < 0; ++x)
            if (e->model()->threadAt(x, y) == source)
                sourceStitch = QPoint(x, y);
    QVERIFY2(sourceStitch.x() >= 0, "the first thread has a stitch in the zoom view");
    const QPoint sourcePixel = 4 * sourceStitch + QPoint(2, 2);
    QCOMPARE(colourOf(editorChild<PictureBox>("Picture2")->image(), sourcePixel),
        state->stitchMatrix.at(sourceStitch.x(), sourceStitch.y()));

    press(editorChild<PictureBox>("Picture5"), swatchCentre(1));
    press(editorChild<PictureBox>("Picture6"), swatchCentre(2));
    QCOMPARE(e->model()->sourceThread(), source);
    QCOMPARE(e->model()->targetThread(), target);
    const ThreadTable& table = loadedThreadTable();
    const QColor sample = editorChild<QLabel>("Label1")->palette().color(QPalette::Window);
    QCOMPARE(makeColor(sample.red(), sample.green(), sample.blue()), table.colorOf(source));

    QTest::mouseClick(editorChild<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(editorChild<QLabel>("Label6")->text(),
        QStringLiteral("颜色总数：%1  替换1 处").arg(before.colorCount - 1));
    QVERIFY(editorChild<QPushButton>("Command2")->isEnabled());
    // The first swatch now shows what was the second thread, the zoom view the replacement.
    QCOMPARE(colourOf(editorChild<PictureBox>("Picture5")->image(), swatchCentre(1)), table.colorOf(target));
    QCOMPARE(colourOf(editorChild<PictureBox>("Picture2")->image(), sourcePixel), table.colorOf(target));
    QCOMPARE(chartOpened, 0);

    QTest::mouseClick(editorChild<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(chartOpened, 1);
    const ChartModel after = generate();
    QCOMPARE(static_cast<int>(after.threadList.size()), threads - 1);
    int sourceCount = 0;
    int targetCount = 0;
    for (const ThreadEntry& t : before.threadList) {
        if (t.index == source)
            sourceCount = t.count;
        if (t.index == target)
            targetCount = t.count;
    }
    bool sourceListed = false;
    for (const ThreadEntry& t : after.threadList) {
        sourceListed = sourceListed || t.index == source;
        if (t.index == target)
            QCOMPARE(t.count, sourceCount + targetCount);
    }
    QVERIFY(!sourceListed);
    // Done: the window closes and leaves the chart window in front.
    QVERIFY(!e->isVisible());
}

void EditWindowTest::undoRestoresTheThreadAsLastSwatch()
{
    reduce();
    edit();
    ColorReplacementWindow* e = editor();
    const int total = e->model()->colorTotal();
    const int source = e->model()->entry(1);
    e->drawPalettes();
    e->sourceStripPressed(swatchCentre(1));
    e->targetStripPressed(swatchCentre(3));
    const QImage opened = editorChild<PictureBox>("Picture1")->image();
    const QImage zoomOpened = editorChild<PictureBox>("Picture2")->image();
    e->replaceClicked();
    const QImage edited = editorChild<PictureBox>("Picture1")->image();
    QVERIFY(editorChild<PictureBox>("Picture2")->image() != zoomOpened); // the zoom view follows too
    QTest::mouseClick(editorChild<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(!editorChild<QPushButton>("Command2")->isEnabled());
    QCOMPARE(editorChild<QLabel>("Label6")->text(), QStringLiteral("颜色总数：%1  替换0 处").arg(total));
    QCOMPARE(e->model()->entry(total), source);
    QCOMPARE(colourOf(editorChild<PictureBox>("Picture5")->image(), swatchCentre(total)),
        loadedThreadTable().colorOf(source));
    QVERIFY(editorChild<PictureBox>("Picture1")->image() != edited); // the overview follows
    // Stitches of the target thread from before the replacement keep it: the chart is as opened.
    QCOMPARE(editorChild<PictureBox>("Picture1")->image(), opened);
    QCOMPARE(editorChild<PictureBox>("Picture2")->image(), zoomOpened);
    // A second undo has nothing to undo.
    e->undoClicked();
    QCOMPARE(e->model()->colorTotal(), total);

    // The keys of the undo history: Ctrl+Y makes the replacement again, Ctrl+Z takes it back.
    e->activateWindow();
    QTest::keyClick(e, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editorChild<PictureBox>("Picture1")->image(), edited);
    QCOMPARE(editorChild<QLabel>("Label6")->text(), QStringLiteral("颜色总数：%1  替换1 处").arg(total - 1));
    QVERIFY(editorChild<QPushButton>("Command2")->isEnabled());
    QVERIFY(editorChild<QPushButton>("Command2")->toolTip().startsWith(QStringLiteral("撤销 替换 DMC ")));
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editorChild<PictureBox>("Picture1")->image(), opened);
    QCOMPARE(e->replacements().count(), 1);
    QCOMPARE(e->replacements().index(), 0);
}

void EditWindowTest::viewportFollowsPointerAndZoomShowsStitches()
{
    reduce();
    edit();
    ColorReplacementWindow* e = editor();
    auto* overview = editorChild<PictureBox>("Picture1");
    const QRect view0 = e->viewport();
    const QSize zoom = e->zoomSize();
    // The zoom view is twice the picture, 4 pixels per stitch: the rectangle covers half.
    QCOMPARE(zoom, QSize(std::min(2 * state->gridWidth(), 360), 2 * state->picH > 326 ? 327 : 2 * state->picH));
    QCOMPARE(view0.size(), QSize(zoom.width() / 4, zoom.height() / 4));
    QCOMPARE(view0.topLeft(), QPoint(0, 0));

    const QPoint at(state->gridWidth() - 2, state->picH - 3);
    sendMouse(overview, QEvent::MouseMove, at);
    const QRect moved = e->viewport();
    QCOMPARE(moved.topLeft(), QPoint(at.x() - view0.width(), at.y() - view0.height()));
    QCOMPARE(editorChild<QFrame>("Shape1")->pos(), moved.topLeft());
    // Near the top-left corner neither edge would fit: the rectangle stays.
    sendMouse(overview, QEvent::MouseMove, QPoint(3, 4));
    QCOMPARE(e->viewport().topLeft(), moved.topLeft());

    press(overview, at);
    const QImage& z = editorChild<PictureBox>("Picture2")->image();
    QCOMPARE(z.size(), zoom);
    const QRgb grey = qRgb(200, 200, 200);
    QCOMPARE(z.pixel(0, 5), grey);
    QCOMPARE(z.pixel(8, 5), grey);
    QCOMPARE(z.pixel(5, 12), grey);
    for (const QPoint block : {QPoint(0, 0), QPoint(3, 1), QPoint(5, 7)}) {
        const ColorValue stitch = state->stitchMatrix.at(moved.left() + block.x(), moved.top() + block.y());
        QCOMPARE(colourOf(z, QPoint(4 * block.x() + 2, 4 * block.y() + 2)), stitch);
        QCOMPARE(colourOf(z, QPoint(4 * block.x() + 1, 4 * block.y() + 3)), stitch);
    }
    QVERIFY(e->palettesShown());
}

void EditWindowTest::zoomClickPicksTheStitchThread()
{
    reduce();
    edit();
    ColorReplacementWindow* e = editor();
    auto* zoom = editorChild<PictureBox>("Picture2");
    press(zoom, QPoint(9, 6)); // stitch (2, 1), drawn since the window opened
    QCOMPARE(e->model()->sourceThread(), e->model()->threadAt(2, 1));
    const QColor sample = editorChild<QLabel>("Label1")->palette().color(QPalette::Window);
    QCOMPARE(makeColor(sample.red(), sample.green(), sample.blue()),
        loadedThreadTable().colorOf(e->model()->threadAt(2, 1)));
    // The target comes only from the right strip.
    QCOMPARE(e->model()->targetThread(), -1);
}

void EditWindowTest::scrollBarsMoveTheStrips()
{
    reduce();
    edit();
    ColorReplacementWindow* e = editor();
    const int total = e->model()->colorTotal();
    QVERIFY2(total > 20, "the reduced start-up picture has enough threads for three rows");
    auto* bar = editorChild<QScrollBar>("VScroll3");
    bar->setValue(14);
    const int rows = (total + 9) / 10;
    QCOMPARE(bar->maximum(), rows * 14);
    QCOMPARE(editorChild<QScrollBar>("VScroll4")->maximum(), rows * 14);
    QCOMPARE(editorChild<PictureBox>("Picture5")->height(), rows * 14 + 10);
    QCOMPARE(editorChild<PictureBox>("Picture5")->y(), -14);
    QCOMPARE(editorChild<PictureBox>("Picture6")->y(), 0);
    // Picks are in strip pixels: the second row is entry 11 however far the strip is moved.
    press(editorChild<PictureBox>("Picture5"), swatchCentre(11));
    QCOMPARE(e->model()->sourceThread(), e->model()->entry(11));
    press(editorChild<PictureBox>("Picture6"), QPoint(185, 5)); // right of the last column
    QCOMPARE(e->model()->targetThread(), -1);
}

void EditWindowTest::tooManyColoursKeepTheEditorClosed()
{
    reduce();
    // 501 distinct colours in the fitted grid.
    for (int i = 0; i < 501; ++i)
        state->stitchMatrix.set(i % state->gridWidth(), i / state->gridWidth(), makeColor(i % 256, i / 256, 9));
    edit();
    QCOMPARE(boxes->texts, QStringList{QStringLiteral("    绣图颜色太多，请减色后再生成。。。 ")});
    QCOMPARE(boxes->titles, QStringList{QStringLiteral("Quillex inc.")});
    QVERIFY(editor() == nullptr);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void EditWindowTest::editAgainStartsAfresh()
{
    reduce();
    edit();
    ColorReplacementWindow* e = editor();
    const int total = e->model()->colorTotal();
    QVERIFY(e->model()->replaceColor(e->model()->entry(1), e->model()->entry(2)));
    e->close();
    QVERIFY(!e->isVisible());
    edit();
    QCOMPARE(editor(), e);
    QVERIFY(e->isVisible());
    QCOMPARE(e->model()->replaceCount(), 0);
    QCOMPARE(e->model()->colorTotal(), total); // nothing was written back
    QCOMPARE(editorChild<PictureBox>("Picture5")->image().height(), (total + 9) / 10 * 14 + 10);
    QVERIFY(!editorChild<QPushButton>("Command2")->isEnabled());
}

void EditWindowTest::exitClosesTheEditor()
{
    reduce();
    edit();
    QVERIFY(editor()->isVisible());
    window->exitProgram();
    QVERIFY(!editor()->isVisible());
}

void EditWindowTest::textBoxClearsOnFirstClickOnly()
{
    QTest::mouseClick(child<QWidget>("Label7"), Qt::LeftButton);
    auto* text = child<QLineEdit>("Text1");
    QVERIFY(text->isVisible());
    QVERIFY(child<QPushButton>("Command8")->isVisible());
    QVERIFY(child<QPushButton>("Command9")->isVisible());
    QCOMPARE(text->text(), QStringLiteral("在这里输入你的文字"));
    QTest::mouseClick(text, Qt::LeftButton);
    QCOMPARE(text->text(), QString());
    QTest::keyClicks(text, QStringLiteral("Kanvo"));
    QTest::mouseClick(text, Qt::LeftButton);
    QCOMPARE(text->text(), QStringLiteral("Kanvo"));
}

void EditWindowTest::clearKeepsTheTypedText()
{
    QTest::mouseClick(child<QWidget>("Label7"), Qt::LeftButton);
    auto* text = child<QLineEdit>("Text1");
    QTest::mouseClick(text, Qt::LeftButton);
    QTest::keyClicks(text, QStringLiteral("abc"));
    QTest::mouseClick(child<QPushButton>("Command9"), Qt::LeftButton);
    QVERIFY(!text->isVisible());
    QVERIFY(!child<QLabel>("Label8")->isVisible());
    QTest::mouseClick(child<QWidget>("Label7"), Qt::LeftButton);
    QCOMPARE(text->text(), QStringLiteral("abc"));
    QTest::mouseClick(child<QPushButton>("Command8"), Qt::LeftButton);
    QVERIFY(!text->isVisible());
    QVERIFY(child<QLabel>("Label8")->isVisible());
    QCOMPARE(child<QLabel>("Label8")->text(), QStringLiteral("abc"));
}

void EditWindowTest::choosersApplyToLabelAndPicture()
{
    auto* label = child<QLabel>("Label8");
    QWidget* picture = window->surfaceWidget();
    const QFont original = label->font();

    // Cancelled choosers change nothing.
    QTest::mouseClick(child<QWidget>("Label11"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label13"), Qt::LeftButton);
    QCOMPARE(dialogs.fontCalls, 1);
    QCOMPARE(dialogs.colourCalls, 1);
    QCOMPARE(label->font(), original);

    QFont chosen(QStringLiteral("DejaVu Serif"), 26);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    dialogs.font = chosen;
    dialogs.colour = QColor(10, 200, 30);
    QTest::mouseClick(child<QWidget>("Label11"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label13"), Qt::LeftButton);
    for (QWidget* w : {static_cast<QWidget*>(label), picture}) {
        QCOMPARE(w->font().family(), chosen.family());
        QCOMPARE(w->font().pointSize(), 26);
        QVERIFY(w->font().bold());
        QVERIFY(w->font().italic());
        QVERIFY(w->font().underline());
        QVERIFY(w->font().strikeOut());
        QCOMPARE(w->palette().color(QPalette::WindowText), QColor(10, 200, 30));
    }
    // The next chooser starts from the label's values.
    QTest::mouseClick(child<QWidget>("Label13"), Qt::LeftButton);
    QCOMPARE(dialogs.offeredColour, QColor(10, 200, 30));
    QTest::mouseClick(child<QWidget>("Label11"), Qt::LeftButton);
    QCOMPARE(dialogs.offeredFont.pointSize(), 26);
}

void EditWindowTest::stampedTextBecomesStitches()
{
    reduce();
    const ColorValue ink = makeColor(1, 254, 3); // not a reduced colour: channels are not multiples of 51
    for (int x = 0; x < state->gridWidth(); ++x)
        for (int y = 0; y < state->picH; ++y)
            QVERIFY(state->stitchMatrix.at(x, y) != ink);

    dialogs.font = QFont(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    dialogs.colour = QColor(1, 254, 3);
    QTest::mouseClick(child<QWidget>("Label11"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label13"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label7"), Qt::LeftButton);
    auto* text = child<QLineEdit>("Text1");
    QTest::mouseClick(text, Qt::LeftButton);
    QTest::keyClicks(text, QStringLiteral("Hi"));
    QTest::mouseClick(child<QPushButton>("Command8"), Qt::LeftButton);
    auto* label = child<QLabel>("Label8");
    QVERIFY(label->isVisible());

    // The label's bottom-right corner follows the pointer over the picture.
    QWidget* picture = window->surfaceWidget();
    const QPoint at(state->moveX1 + 90, state->moveY1 + 70);
    sendMouse(picture, QEvent::MouseMove, at);
    QCOMPARE(label->geometry().bottomRight() + QPoint(1, 1), at);
    QVERIFY(state->previewReady);
    state->previewReady = false;

    press(picture, at);
    QVERIFY(!label->isVisible());
    QVERIFY(state->previewReady); // the effect preview ran
    int inked = 0;
    for (int x = 0; x < state->gridWidth(); ++x)
        for (int y = 0; y < state->picH; ++y) {
            const ColorValue c = state->stitchMatrix.at(x, y);
            if (c == ink) {
                ++inked;
                continue;
            }
            // Glyphs only, no antialiased fringe and no filled box: every other stitch keeps a
            // reduced colour.
            QVERIFY2(redOf(c) % 51 == 0 && greenOf(c) % 51 == 0 && blueOf(c) % 51 == 0,
                qPrintable(QStringLiteral("stitch %1,%2").arg(x).arg(y)));
        }
    QVERIFY(inked > 20);
    // Inside the label's box but between the glyphs the picture stays as it was.
    const QRect box = label->geometry();
    QVERIFY(inked < box.width() * box.height() / 2);
}

void EditWindowTest::stampMatchesTheFloatingText_data()
{
    // Pictures carry their own resolution; the stamp must not depend on it.
    QTest::addColumn<int>("dpi");
    QTest::newRow("72 dpi picture") << 72;
    QTest::newRow("96 dpi picture") << 96;
    QTest::newRow("300 dpi picture") << 300;
}

void EditWindowTest::stampMatchesTheFloatingText()
{
    QFETCH(int, dpi);
    reduce();
    const QColor ink(1, 254, 3);
    dialogs.font = QFont(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    dialogs.colour = ink;
    QTest::mouseClick(child<QWidget>("Label11"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label13"), Qt::LeftButton);
    QTest::mouseClick(child<QWidget>("Label7"), Qt::LeftButton);
    auto* text = child<QLineEdit>("Text1");
    QTest::mouseClick(text, Qt::LeftButton);
    QTest::keyClicks(text, QStringLiteral("Hg"));
    QTest::mouseClick(child<QPushButton>("Command8"), Qt::LeftButton);
    auto* label = child<QLabel>("Label8");
    auto* picture = child<PictureBox>("Picture4");
    sendMouse(picture, QEvent::MouseMove, QPoint(label->width() + 10, label->height() + 8));
    QVERIFY(QRect(QPoint(0, 0), picture->image().size()).contains(label->geometry()));
    QImage& surface = picture->image();
    const int dotsPerMeter = qRound(dpi / 0.0254);
    surface.setDotsPerMeterX(dotsPerMeter);
    surface.setDotsPerMeterY(dotsPerMeter);
    QVERIFY(inkExtent(surface, ink).isNull());

    // What the floating text shows, in the picture's coordinates.
    const QRect shown = inkExtent(label->grab().toImage(), ink).translated(label->pos());
    QVERIFY(shown.height() > 15);
    window->stampOverlayText();
    QCOMPARE(inkExtent(surface, ink), shown);
    QCOMPARE(surface.dotsPerMeterY(), dotsPerMeter); // the picture keeps its own resolution
}

QTEST_MAIN(EditWindowTest)
#include "EditWindowTest.moc"
