// The shipped fontconfig alias file on its own: loaded into fontconfig, it must make Qt's font
// matching resolve the names the windows and charts ask for, without the in-program
// substitutions (installFontSubstitutions() is never called here).
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

#include "app/platform/FontSubstitutions.h"

using namespace kanvo;

class FontAliasTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void namesResolveThroughTheFile_data();
    void namesResolveThroughTheFile();

private:
    std::optional<QString> loaded;
};

void FontAliasTest::initTestCase()
{
    loaded = loadFontAliasFile();
    QVERIFY(loaded.has_value());
    QCOMPARE(QFileInfo(*loaded).fileName(), QStringLiteral("kanvo-fonts.conf"));
}

void FontAliasTest::namesResolveThroughTheFile_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif") << QStringLiteral("Liberation Sans");
    QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
    QTest::newRow("宋体") << QStringLiteral("宋体") << QStringLiteral("WenQuanYi Micro Hei");
    // not among the in-program substitutions: only the file maps it
    QTest::newRow("SimSun") << QStringLiteral("SimSun") << QStringLiteral("WenQuanYi Micro Hei");
}

void FontAliasTest::namesResolveThroughTheFile()
{
    QFETCH(QString, asked);
    QFETCH(QString, expected);
    if (!QFontDatabase::families().contains(expected))
        QSKIP(qPrintable(expected + QStringLiteral(" is not installed")));
    QCOMPARE(QFont::substitutes(asked), QStringList());
    QCOMPARE(QFontInfo(QFont(asked)).family(), expected);
}

QTEST_MAIN(FontAliasTest)
#include "FontAliasTest.moc"
