// The hostile corpus (tests/data/hostile/make_hostile.py) through the main window's picture
// loading, as the start-up step, the image file chooser and the gallery run it: every file
// loads or is refused with a reason, and a refusal leaves the workspace as it was.

#include <QtTest>

#include <iostream>

#include "HostileCorpus.h"
#include "RecordingMessageBoxes.h"
#include "app/platform/MessageBoxes.h"
#include "app/platform/PictureDecoder.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

using namespace kanvo;

class HostilePictureTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::limitAddressSpace(1ull << 30); }
    void loadSourcePictureRefusesEveryBrokenFileAndKeepsTheWorkspace();
};

void HostilePictureTest::loadSourcePictureRefusesEveryBrokenFileAndKeepsTheWorkspace()
{
    RecordingMessageBoxes boxes;
    MessageBoxes::setCurrent(&boxes);
    RunState state;
    WindowHub hub;
    MainWindow window(state, hub);
    window.load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    test::HostileCorpus corpus;
    const auto before = corpus.fingerprint();
    QStringList unexpected;
    for (const auto& e : corpus.entries()) {
        const std::string path = e.path(corpus.folder()).string();
        const QSize oldSize = window.sourcePicture().size();
        const qint64 oldKey = window.sourcePicture().cacheKey();
        const int oldScale = state.ifScale;
        const int oldW = state.picW;
        const int oldH = state.picH;
        state.sourceFile = path;
        const bool loaded = window.loadSourcePicture();
        PictureDecoder::Error error = PictureDecoder::Error::None;
        const auto decoded = PictureDecoder::decode(QString::fromStdString(path), &error);
        QVERIFY2(loaded == decoded.has_value(), e.name.c_str());
        if (!e.pictureEither && loaded != e.pictureDecodes)
            unexpected << QString::fromStdString(e.name);
        if (loaded) {
            QVERIFY2(!window.sourcePicture().isNull(), e.name.c_str());
            std::cout << "| loadSourcePicture | " << e.name << " | loaded "
                      << window.sourcePicture().width() << "x" << window.sourcePicture().height() << " |\n";
        } else {
            QVERIFY2(error != PictureDecoder::Error::None, e.name.c_str());
            QVERIFY2(window.sourcePicture().size() == oldSize, e.name.c_str());
            QVERIFY2(window.sourcePicture().cacheKey() == oldKey, e.name.c_str());
            QVERIFY2(state.ifScale == oldScale && state.picW == oldW && state.picH == oldH, e.name.c_str());
            std::cout << "| loadSourcePicture | " << e.name << " | refused: "
                      << PictureDecoder::errorText(error).toStdString() << " |\n";
        }
    }
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QStringLiteral(", "))));
    QVERIFY(corpus.fingerprint() == before);
    // Loading gives no message of its own (the callers decide), and none came up.
    QVERIFY(boxes.titles.isEmpty());
}

QTEST_MAIN(HostilePictureTest)
#include "HostilePictureTest.moc"
