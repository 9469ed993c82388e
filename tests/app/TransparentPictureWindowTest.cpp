// A start-up picture with a transparent background in the main window: the grid window and the
// effect preview show its cloth white, and the stitch matrix marks it as cloth.

#include <QImage>
#include <QPushButton>
#include <QtTest>

#include "ProgramSessionTest.h"
#include "core/reduce/ReductionMethod.h"

using namespace kanvo;

namespace {

constexpr int kWidth = 60;
constexpr int kHeight = 40;

// Columns 0-19 transparent (holding black), 20-24 at alpha 100 (cloth), 25-29 at alpha 200
// (stitched), the rest opaque red.
int alphaAt(int x) { return x < 20 ? 0 : x < 25 ? 100 : x < 30 ? 200 : 255; }

QImage picture()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, x < 20 ? qRgba(0, 0, 0, 0) : qRgba(230, 20, 30, alphaAt(x)));
    return image;
}

} // namespace

class TransparentPictureWindowTest : public ProgramSessionTest {
    Q_OBJECT

private slots:
    void cleanup() { closeSession(); }
    void clothShowsWhiteAndIsNotStitched_data();
    void clothShowsWhiteAndIsNotStitched();
};

void TransparentPictureWindowTest::clothShowsWhiteAndIsNotStitched_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("216 colours") << ReductionMethod::kDefault;
    QTest::newRow("精选绣线") << ReductionMethod::kThreadPalette;
    QTest::newRow("no reduction") << ReductionMethod::kNoReduction;
}

void TransparentPictureWindowTest::clothShowsWhiteAndIsNotStitched()
{
    QFETCH(int, method);
    QVERIFY(openSession());
    // The start-up picture is looked for in the current folder first, whatever its contents.
    QVERIFY(picture().save(session->filePath(QStringLiteral("logo.dll")), "PNG"));
    QVERIFY(session->start());
    QVERIFY(state->gridWidth() >= kWidth && state->picH == kHeight);

    // The grid window: cloth is white, the picture red.
    const QImage shown = window->surfaceWidget()->grab().toImage();
    QCOMPARE(shown.pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(shown.pixel(22, 5), qRgb(255, 255, 255));
    QCOMPARE(shown.pixel(40, 5), qRgb(230, 20, 30));

    state->ColorBit = method;
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    QVERIFY(state->previewReady);
    int cloth = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            QCOMPARE(state->stitchMatrix.isCloth(x, y), alphaAt(x) < 128);
            if (state->stitchMatrix.isCloth(x, y)) {
                ++cloth;
                QCOMPARE(state->stitchMatrix.at(x, y), ColorValue{0xFFFFFF});
            } else {
                QVERIFY(state->stitchMatrix.at(x, y) != ColorValue{0xFFFFFF});
            }
        }
    QCOMPARE(cloth, 25 * kHeight);
    // The effect preview's first cell is cloth: white.
    QCOMPARE(window->gridCanvas().pixel(2, 2), qRgb(255, 255, 255));
    // After the reduction the grid window still shows the cloth white.
    QCOMPARE(window->surfaceWidget()->grab().toImage().pixel(5, 5), qRgb(255, 255, 255));
}

QTEST_MAIN(TransparentPictureWindowTest)
#include "TransparentPictureWindowTest.moc"
