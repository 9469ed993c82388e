// Qt's own Chinese texts for the standard dialogs: before QtTranslation::install() they are
// English, after it Chinese, as a user of the program sees them; dates, sizes and file types in
// the file dialog follow the Chinese locale.

#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
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
    void fileDialogWritesFileTypesAndDatesInChinese();
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

// The default locale is Chinese: the file dialog's file types (the MIME comments) and every
// date and size the program writes with QLocale() follow it.
void QtTranslationTest::fileDialogWritesFileTypesAndDatesInChinese()
{
    QVERIFY(QtTranslation::install(*QCoreApplication::instance()));
    QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
    QCOMPARE(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat), QStringLiteral("2026/12/9"));
    QCOMPARE(QLocale().toString(QDate(2026, 12, 9), QStringLiteral("MMM")), QStringLiteral("12月"));

    // The type column of Qt's file dialog, as its model fills it for a picture.
    QTemporaryDir dir;
    QFile picture(dir.filePath(QStringLiteral("picture.bmp")));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    picture.write(QByteArray(3000, 'x'));
    picture.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFileSystemModel model;
    const QModelIndex root = model.setRootPath(dir.path());
    QTRY_COMPARE(model.rowCount(root), 2);
    const QModelIndex file = model.index(dir.filePath(QStringLiteral("picture.bmp")));
    const QString type = model.data(file.siblingAtColumn(2)).toString();
    QVERIFY2(type.contains(QStringLiteral("图像")), qPrintable(type));
    // Qt's Chinese catalogue lacks the folder's type; the program's supplement gives it.
    const QModelIndex folder = model.index(dir.filePath(QStringLiteral("sub")));
    QCOMPARE(model.data(folder.siblingAtColumn(2)).toString(), QStringLiteral("文件夹"));
}

QTEST_MAIN(QtTranslationTest)
#include "QtTranslationTest.moc"
