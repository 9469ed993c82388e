// Qt's own Chinese texts for the standard dialogs: before QtTranslation::install() they are
// English, after it Chinese, as a user of the program sees them.

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

#include "app/platform/QtTranslation.h"

using namespace kanvo;

namespace {

QStringList texts(const QWidget& dialog)
{
    QStringList out;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        out << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        out << button->text();
    return out;
}

} // namespace

class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void standardDialogsSpeakChinese();
};

void QtTranslationTest::standardDialogsSpeakChinese()
{
    const auto okText = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        return QStringList{box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text()};
    };
    QCOMPARE(okText(), (QStringList{"OK", "Cancel"}));

    QVERIFY(QtTranslation::install(*QCoreApplication::instance(), UiLanguage::Language::Chinese));
    QCOMPARE(okText(), (QStringList{"确定", "取消"}));

    // Qt's own dialogs, as the program opens them on a desktop without a platform dialog.
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QVERIFY(texts(files).contains(QStringLiteral("查找范围：")));
    QVERIFY(texts(files).contains(QStringLiteral("打开(&O)")));
    QFontDialog fonts;
    fonts.setOption(QFontDialog::DontUseNativeDialog);
    QVERIFY(texts(fonts).contains(QStringLiteral("字体(&F)")));
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QVERIFY(texts(colours).contains(QStringLiteral("基本颜色(&B)")));
    QPrinter printer;
    QPrintDialog print(&printer);
    QVERIFY(texts(print).contains(QStringLiteral("打印(&P)")));
}

QTEST_MAIN(QtTranslationTest)
#include "QtTranslationTest.moc"
