// The English interface: with the English translation installed no window of the program shows
// Chinese, except the user's own data (picture and file names) and the language menu, which
// names each language in that language. The choice of language: environment, menu, setting.

#include <functional>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "app/chart/BackgroundRemovalDialog.h"
#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartEditController.h"
#include "app/chart/ChartPrinter.h"
#include "app/chart/ChartWindow.h"
#include "app/chart/PatternDialog.h"
#include "app/chart/UnsavedChangesPrompt.h"
#include "app/platform/QtTranslation.h"
#include "app/platform/UiLanguage.h"
#include "app/reduce/ChartSettingsWindow.h"
#include "app/sources/FileChooserWindow.h"
#include "app/sources/SourcesController.h"
#include "core/chart/ChartLayout.h"
#include "ProgramSession.h"

using namespace kanvo;

namespace {

// CJK ideographs, CJK punctuation and the full-width forms (“：”, “（”).
bool hasChinese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF)
            || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

void addMenuTexts(const QList<QAction*>& actions, QStringList& out)
{
    for (const QAction* a : actions) {
        // The language menu names each language in its own language.
        if (a->objectName() == QLatin1String("mnuChinese") || a->text() == QStringLiteral("语言 / Language"))
            continue;
        out << a->text() << a->toolTip();
        if (a->menu())
            addMenuTexts(a->menu()->actions(), out);
    }
}

// Every text a user can read in `window` and its visible widgets, each prefixed by its widget.
QStringList readableTexts(const QWidget* window)
{
    QStringList out;
    const auto add = [&out](const QWidget* w, const QStringList& texts) {
        for (const QString& t : texts)
            out << QStringLiteral("%1 %2: %3").arg(QString::fromUtf8(w->metaObject()->className()), w->objectName(), t);
    };
    QList<const QWidget*> widgets{window};
    for (const QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window))
            widgets << w;
    for (const QWidget* w : widgets) {
        QStringList texts{w->windowTitle(), w->toolTip(), w->statusTip(), w->whatsThis()};
        if (const auto* l = qobject_cast<const QLabel*>(w))
            texts << l->text();
        if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            texts << b->text();
        if (const auto* e = qobject_cast<const QLineEdit*>(w))
            texts << e->text() << e->placeholderText();
        if (const auto* g = qobject_cast<const QGroupBox*>(w))
            texts << g->title();
        if (const auto* c = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        if (const auto* s = qobject_cast<const QSpinBox*>(w))
            texts << s->prefix() << s->suffix() << s->specialValueText();
        if (const auto* m = qobject_cast<const QMenuBar*>(w)) {
            QStringList menus;
            addMenuTexts(m->actions(), menus);
            texts << menus;
        }
        add(w, texts);
    }
    return out;
}

QStringList chineseTexts()
{
    QStringList out;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            for (const QString& t : readableTexts(w))
                if (hasChinese(t))
                    out << t;
    return out;
}

// The Chinese texts of the message box that `ask` opens, read while it is open; the box is then
// closed as by Esc. "no box" when none opened.
QStringList chineseInBox(const std::function<void()>& ask)
{
    QStringList out{QStringLiteral("no box")};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        poll.stop();
        out.clear();
        for (const QString& t : readableTexts(box))
            if (hasChinese(t))
                out << t;
        box->reject();
    });
    poll.start(20);
    ask();
    return out;
}

} // namespace

class EnglishInterfaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsShowNoChinese_data();
    void windowsShowNoChinese();
    void messagesAndQuestionsShowNoChinese();
    void languageMenuKeepsTheChoice();
    void languageFollowsTheEnvironment_data();
    void languageFollowsTheEnvironment();
    void savedChoiceComesFirst();
    void printButtonAfterPrinting_data();
    void printButtonAfterPrinting();
    void placeholderTitleIsEnglish();
    void noReductionStatusIsEnglish();
    void undecodablePictureMessageIsEnglish();

private:
    // The chart window of session after "生成" on a w x h stitch matrix (black left, white right).
    static ChartWindow* generated(ProgramSession& session, int w, int h);
};

using Opener = std::function<void(ProgramSession&)>;
Q_DECLARE_METATYPE(Opener)

void EnglishInterfaceTest::initTestCase()
{
    QVERIFY(QtTranslation::install(*QCoreApplication::instance(), UiLanguage::Language::English));
}

void EnglishInterfaceTest::windowsShowNoChinese_data()
{
    QTest::addColumn<Opener>("open");
    QTest::addColumn<int>("windows"); // visible windows, the main window included
    const auto generated = [](ProgramSession& s) {
        s.state.previewReady = true;
        s.window->generateChart();
        ChartWindow* chart = s.window->findChild<ChartWindow*>();
        QVERIFY(chart != nullptr);
        chart->generate();
    };
    QTest::newRow("main window") << Opener([](ProgramSession&) {}) << 1;
    QTest::newRow("chart window after generating") << Opener(generated) << 2;
    QTest::newRow("final preview") << Opener([generated](ProgramSession& s) {
        generated(s);
        s.window->findChild<ChartWindow*>()->showFinalPreview();
    }) << 3;
    QTest::newRow("pattern dialog") << Opener([generated](ProgramSession& s) {
        generated(s);
        auto* dialog = new PatternDialog(s.window->findChild<ChartWindow*>());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    }) << 3;
    QTest::newRow("background removal") << Opener([generated](ProgramSession& s) {
        generated(s);
        ChartWindow* chart = s.window->findChild<ChartWindow*>();
        QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("cmdRemoveBackground")), Qt::LeftButton);
        QVERIFY(chart->editing()->backgroundDialog() != nullptr);
    }) << 3;
    QTest::newRow("chart settings") << Opener([](ProgramSession& s) { s.hub.invokeShowSettingsWindow(); }) << 2;
    QTest::newRow("colour replacement") << Opener([](ProgramSession& s) {
        QVERIFY(s.hub.invokeColourReduction());
        s.hub.invokePrepareEdit();
    }) << 2;
    QTest::newRow("file chooser")
        << Opener([](ProgramSession& s) { s.window->findChild<QAction*>(QStringLiteral("mnuImportFile"))->trigger(); }) << 2;
    QTest::newRow("gallery")
        << Opener([](ProgramSession& s) { s.window->findChild<QAction*>(QStringLiteral("mnuGallery"))->trigger(); }) << 2;
}

void EnglishInterfaceTest::windowsShowNoChinese()
{
    QFETCH(Opener, open);
    QFETCH(int, windows);
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    open(session);
    QApplication::processEvents();
    QVERIFY(session.boxes.texts.isEmpty());
    QStringList shown;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown << w->windowTitle();
    QVERIFY2(shown.size() == windows, qPrintable(shown.join(QLatin1String(", "))));
    const QStringList chinese = chineseTexts();
    QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));
}

void EnglishInterfaceTest::messagesAndQuestionsShowNoChinese()
{
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    // Messages of the main window and the chart window, as the program shows them.
    session.window->generateChart(); // before an effect preview: refused with a message
    session.state.previewReady = true;
    session.window->generateChart();
    ChartWindow* chart = session.window->findChild<ChartWindow*>();
    QVERIFY(chart != nullptr);
    chart->generate();
    QVERIFY(chart->saveProjectTo(session.filePath(QStringLiteral("chart.oxs"))));
    QVERIFY(!chart->openProjectFrom(session.filePath(QStringLiteral("missing.oxs"))));
    // The note on threads another program's file names that the card lacks comes from the core's texts.
    QVERIFY(chart->openProjectFrom(QStringLiteral(KANVO_TEST_DATA_DIR "/oxs/foreign-threads-nearest-colour.oxs")));
    QCOMPARE(session.boxes.texts.size(), 4);
    QStringList chinese;
    for (int i = 0; i < session.boxes.texts.size(); ++i)
        for (const QString& t : {session.boxes.titles[i], session.boxes.texts[i]})
            if (hasChinese(t))
                chinese << t;
    QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));

    // The questions before edits are lost and after a crash, real message boxes.
    QCOMPARE(chineseInBox([chart] { (void)UnsavedChangesPrompt::askToSave(chart); }), QStringList());
    QCOMPARE(chineseInBox([chart] { (void)UnsavedChangesPrompt::askToReopen(chart, QStringLiteral("12/9/26 11:30")); }),
        QStringList());
}

void EnglishInterfaceTest::languageMenuKeepsTheChoice()
{
    ProgramSession session;
    QVERIFY(session.valid());
    QList<UiLanguage::Language> saved;
    session.window->saveLanguage = [&saved](UiLanguage::Language l) { saved << l; };
    session.window->showLanguage(UiLanguage::Language::English);
    auto* chinese = session.window->findChild<QAction*>(QStringLiteral("mnuChinese"));
    auto* english = session.window->findChild<QAction*>(QStringLiteral("mnuEnglish"));
    QVERIFY(english->isChecked() && !chinese->isChecked());
    QCOMPARE(chinese->text(), QStringLiteral("中文"));
    QCOMPARE(english->text(), QStringLiteral("English"));

    chinese->trigger();
    english->trigger();
    QCOMPARE(saved, (QList<UiLanguage::Language>{UiLanguage::Language::Chinese, UiLanguage::Language::English}));
    QCOMPARE(session.boxes.texts, (QStringList{QStringLiteral("The language changes the next time you start the program."),
                                      QStringLiteral("The program already uses this language.")}));
}

void EnglishInterfaceTest::languageFollowsTheEnvironment_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("english");
    QTest::newRow("LANG=en_US.UTF-8") << QString() << "en_US.UTF-8" << true;
    QTest::newRow("LANG=en") << QString() << "en" << true;
    QTest::newRow("LANG=zh_CN.UTF-8") << QString() << "zh_CN.UTF-8" << false;
    QTest::newRow("LANG=C") << QString() << "C" << false;
    QTest::newRow("LANG=POSIX") << QString() << "POSIX" << false;
    QTest::newRow("LANG=C.UTF-8") << QString() << "C.UTF-8" << false;
    QTest::newRow("nothing set") << QString() << QString() << false;
    QTest::newRow("LANGUAGE=en_GB:en, LANG=C") << "en_GB:en" << "C" << true;
    QTest::newRow("LANGUAGE=zh_CN, LANG=en_US") << "zh_CN" << "en_US.UTF-8" << false;
}

void EnglishInterfaceTest::languageFollowsTheEnvironment()
{
    QFETCH(QString, language);
    QFETCH(QString, lang);
    QFETCH(bool, english);
    QCOMPARE(UiLanguage::fromVariables(language, lang) == UiLanguage::Language::English, english);
}

void EnglishInterfaceTest::savedChoiceComesFirst()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QSettings settings(folder.filePath(QStringLiteral("kanvo.conf")), QSettings::IniFormat);
    qputenv("LANGUAGE", "");
    qputenv("LANG", "en_US.UTF-8");
    QCOMPARE(UiLanguage::saved(settings), std::nullopt);
    QCOMPARE(UiLanguage::atStart(settings), UiLanguage::Language::English);

    UiLanguage::save(settings, UiLanguage::Language::Chinese);
    QSettings reread(folder.filePath(QStringLiteral("kanvo.conf")), QSettings::IniFormat);
    QCOMPARE(reread.allKeys(), QStringList{QStringLiteral("language")});
    QCOMPARE(UiLanguage::atStart(reread), UiLanguage::Language::Chinese);

    // A value the program never writes counts as no choice.
    reread.setValue(QStringLiteral("language"), QStringLiteral("fr"));
    QCOMPARE(UiLanguage::atStart(reread), UiLanguage::Language::English);
}

ChartWindow* EnglishInterfaceTest::generated(ProgramSession& session, int w, int h)
{
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            session.state.stitchMatrix.set(x, y, x < w / 2 ? 0x000000 : 0xFFFFFF);
    session.state.picW = w;
    session.state.picH = h;
    session.state.previewReady = true;
    session.window->generateChart();
    auto* chart = session.window->findChild<ChartWindow*>();
    if (chart != nullptr)
        chart->generate();
    return chart;
}

void EnglishInterfaceTest::printButtonAfterPrinting_data()
{
    QTest::addColumn<int>("width");       // a 10-stitch chart fits no page: the print fails
    QTest::addColumn<bool>("closeWhilePrinting");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("printed") << 40 << false << "Print.." << QStringList();
    QTest::newRow("failed") << 10 << false << "Print"
                            << QStringList{QStringLiteral("    Printing failed. Make sure your printer is ready.     ")};
    QTest::newRow("stopped") << 40 << true << "Print" << QStringList();
}

// The print button takes the chart window's captions back in English on every way a print ends.
void EnglishInterfaceTest::printButtonAfterPrinting()
{
    QFETCH(int, width);
    QFETCH(bool, closeWhilePrinting);
    QFETCH(QString, caption);
    QFETCH(QStringList, messages);
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    ChartWindow* chart = generated(session, width, 16);
    QVERIFY(chart != nullptr);
    QVERIFY(session.state.chart.chartReady);
    ChartPrinter& printer = chart->printer();
    printer.choosePrintKind = [](float) { return ChartPrinter::PrintChoice{}; };
    const QString pdf = session.filePath(QStringLiteral("print.pdf"));
    printer.choosePrinter = [pdf](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    printer.statusShown = [&](const QString& status) {
        QVERIFY2(!hasChinese(status), qPrintable(status));
        if (closeWhilePrinting && status == QStringLiteral("Drawing the thread symbols, please wait...."))
            chart->close();
    };
    chart->stopOrPrint();
    QCOMPARE(session.boxes.texts, messages);
    QCOMPARE(chart->findChild<QPushButton*>(QStringLiteral("Command3"))->text(), caption);
}

// OK in the settings without a title of one's own charts under the placeholder, in English.
void EnglishInterfaceTest::placeholderTitleIsEnglish()
{
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    session.hub.invokeShowSettingsWindow();
    auto* settings = session.window->findChild<ChartSettingsWindow*>();
    QVERIFY(settings != nullptr);
    QVERIFY(settings->accept());
    ChartWindow* chart = generated(session, 20, 20);
    QVERIFY(chart != nullptr);
    QVERIFY(chart->canvasView()->layout() != nullptr);
    const DrawList& list = chart->canvasView()->layout()->drawList();
    QStringList titles;
    for (const DrawSection& section : list.sections())
        if (section.stage == DrawStage::Title)
            for (std::size_t i = section.begin; i < section.end; ++i)
                if (const auto* text = std::get_if<TextOp>(&list.ops()[i]))
                    titles << QString::fromStdString(text->text);
    QCOMPARE(titles.value(0), QStringLiteral("Give your chart a name"));
    QVERIFY2(!hasChinese(titles.join(QLatin1Char(' '))), qPrintable(titles.join(QLatin1Char(' '))));
}

// "不做减色处理" ends with the same status as a reduction, in English.
void EnglishInterfaceTest::noReductionStatusIsEnglish()
{
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    session.state.ColorBit = 0;
    QTest::mouseClick(session.window->findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(session.window->statusLine()->text(), QStringLiteral("Colour reduction finished"));
}

// The file chooser names a picture it cannot open in English, as the gallery does.
void EnglishInterfaceTest::undecodablePictureMessageIsEnglish()
{
    ProgramSession session;
    QVERIFY(session.valid());
    QVERIFY(session.start());
    QFile broken(session.filePath(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    session.window->findChild<QAction*>(QStringLiteral("mnuImportFile"))->trigger();
    FileChooserWindow* chooser = session.window->findChild<SourcesController*>()->fileChooser();
    QVERIFY(chooser != nullptr);
    chooser->showFolder(session.folder());
    auto* files = chooser->findChild<QListWidget*>(QStringLiteral("File1"));
    const QList<QListWidgetItem*> found = files->findItems(QStringLiteral("broken.jpg"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    files->setCurrentItem(found.first());
    chooser->confirm();
    QCOMPARE(session.boxes.texts.size(), 1);
    QVERIFY2(!hasChinese(session.boxes.texts.first()), qPrintable(session.boxes.texts.first()));
}

QTEST_MAIN(EnglishInterfaceTest)
#include "EnglishInterfaceTest.moc"
