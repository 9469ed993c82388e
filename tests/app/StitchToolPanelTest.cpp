// The stitch tools beside the chart on their own: the thread number box and the undo and redo
// buttons.
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QtTest>

#include "app/chart/StitchToolPanel.h"
#include "app/platform/ElidedActionButton.h"
#include "core/palette/ThreadTable.h"

using namespace kanvo;

namespace {

// Card numbers of the table's threads by index (entry 34 is 310, entry 452 is 5200).
int cardNumber(int thread) { return loadedThreadTable().dmc(thread).cindex; }

class NamedStep : public QUndoCommand {
public:
    explicit NamedStep(const QString& text) { setText(text); }
    void undo() override {}
    void redo() override {}
};

} // namespace

class StitchToolPanelTest : public QObject {
    Q_OBJECT

private slots:
    void numberBoxReadsProjectSpellings_data();
    void numberBoxReadsProjectSpellings();
    void undoAndRedoShowLongTextsCut();
};

void StitchToolPanelTest::numberBoxReadsProjectSpellings_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("number"); // the card number chosen; 0: the thread stays 310
    QTest::addColumn<QString>("note");
    QTest::newRow("plain") << "3865" << 3865 << QString();
    QTest::newRow("brand and blank") << "DMC 310" << 310 << QString();
    QTest::newRow("lower case, hyphen") << "dmc-666" << 666 << QString();
    QTest::newRow("bright white") << "B5200" << 5200 << QString();
    QTest::newRow("blanks around") << "  150 " << 150 << QString();
    // Named threads: white is 5200 itself; ecru F0EADA is nearest to 543 EDE3D9.
    QTest::newRow("ecru") << "ECRU" << 543 << "ECRU 不在色卡上，改用颜色最接近的 DMC 543";
    QTest::newRow("blanc") << "BLANC" << 5200 << "BLANC 不在色卡上，改用颜色最接近的 DMC 5200";
    QTest::newRow("no such number") << "99999" << 0 << "色卡上没有线号 99999";
    QTest::newRow("four digits, not on the card") << "1000" << 0 << "色卡上没有线号 1000";
    QTest::newRow("letters") << "abc" << 0 << "色卡上没有线号 abc";
    QTest::newRow("another brand") << "Anchor 403" << 0 << "色卡上没有线号 Anchor 403";
}

// Enter in the number box chooses what a chart project's number would name, and says beside the
// box what became of a number that is not a thread of the card.
void StitchToolPanelTest::numberBoxReadsProjectSpellings()
{
    QFETCH(QString, typed);
    QFETCH(int, number);
    QFETCH(QString, note);
    StitchToolPanel panel(loadedThreadTable());
    panel.show();
    QVERIFY(panel.setCurrentThread(34));
    QSignalSpy chosen(&panel, &StitchToolPanel::currentThreadChanged);
    auto* box = panel.findChild<QLineEdit*>(QStringLiteral("textThreadNumber"));
    auto* shown = panel.findChild<QLabel*>(QStringLiteral("labelThreadNumberNote"));
    QVERIFY(box != nullptr && shown != nullptr);

    box->setFocus();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(cardNumber(panel.currentThread()), number == 0 ? 310 : number);
    QCOMPARE(chosen.count(), number == 0 || number == 310 ? 0 : 1);
    QCOMPARE(shown->isVisible(), !note.isEmpty());
    if (!note.isEmpty())
        QCOMPARE(shown->text(), note);
    // A thread taken empties the box; a refused number stays for mending.
    QCOMPARE(box->text(), number == 0 ? typed : QString());

    // The next good number takes the note away.
    box->clear();
    QTest::keyClicks(box, QStringLiteral("310"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!shown->isVisible());
}

// A long step name is cut with "…" inside its button; the tooltip holds the whole text.
void StitchToolPanelTest::undoAndRedoShowLongTextsCut()
{
    StitchToolPanel panel(loadedThreadTable());
    QUndoStack stack;
    panel.setUndoStack(stack);
    panel.resize(150, 600);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    stack.push(new NamedStep(QStringLiteral("去除背景（容差 23）")));
    stack.push(new NamedStep(QStringLiteral("画笔")));
    stack.undo();

    auto* redo = panel.findChild<ElidedActionButton*>(QStringLiteral("cmdRedo"));
    auto* undo = panel.findChild<ElidedActionButton*>(QStringLiteral("cmdUndo"));
    QVERIFY(redo != nullptr && undo != nullptr);
    QCOMPARE(redo->toolTip(), QStringLiteral("重做 画笔"));
    QCOMPARE(redo->shownText(), QStringLiteral("重做 画笔"));
    QCOMPARE(undo->toolTip(), QStringLiteral("撤销 去除背景（容差 23）"));
    const QString cut = undo->shownText();
    QVERIFY2(cut.endsWith(QChar(0x2026)), qPrintable(cut));
    QVERIFY(QStringLiteral("撤销 去除背景（容差 23）").startsWith(cut.chopped(1)));
    QVERIFY(undo->fontMetrics().horizontalAdvance(cut) < undo->width());
    // The buttons stay inside the panel.
    QVERIFY(undo->geometry().right() < panel.width());
    QVERIFY(redo->geometry().right() < panel.width());
}

QTEST_MAIN(StitchToolPanelTest)
#include "StitchToolPanelTest.moc"
