// The English translation is complete: every text of the sources, as lupdate collects them, has
// a finished translation with the same %1..%9 markers, and the file holds no text the sources
// no longer have.

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readMessages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> out;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message m;
            m.context = context;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    m.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    const QString type = xml.attributes().value(QLatin1String("type")).toString();
                    m.finished = type.isEmpty();
                    m.translation = xml.readElementText();
                } else {
                    xml.skipCurrentElement();
                }
            }
            out << m;
        }
    }
    return out;
}

QStringList markers(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    QStringList out;
    for (const QRegularExpressionMatch& m : marker.globalMatch(text))
        out << m.captured();
    out.sort();
    out.removeDuplicates();
    return out;
}

// CJK ideographs, CJK punctuation and the full-width forms: a translation still Chinese.
bool hasChinese(const QString& text)
{
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{4DBF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return chinese.match(text).hasMatch();
}

// One line for every message that is not translated as it must be.
QStringList faults(const QList<Message>& messages)
{
    QStringList out;
    for (const Message& m : messages) {
        const QString where = m.context + QLatin1String(": ") + m.source;
        if (!m.finished || m.translation.isEmpty())
            out << QLatin1String("unfinished ") + where;
        else if (hasChinese(m.translation))
            out << QLatin1String("still Chinese ") + where;
        else if (markers(m.source) != markers(m.translation))
            out << QLatin1String("markers differ ") + where;
    }
    return out;
}

QSet<QString> keys(const QList<Message>& messages)
{
    QSet<QString> out;
    for (const Message& m : messages)
        out << m.context + QChar(4) + m.source;
    return out;
}

} // namespace

class TranslationFilesTest : public QObject {
    Q_OBJECT

private slots:
    void faultsOfOneMessage_data();
    void faultsOfOneMessage();
    void committedFileIsFinished();
    void sourcesHaveNoNewOrVanishedTexts();
};

void TranslationFilesTest::faultsOfOneMessage_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("fault"); // the start of the line, empty for none
    QTest::newRow("translated") << QStringLiteral("保存成功在%1") << QStringLiteral("Saved in %1") << true << QString();
    QTest::newRow("unfinished") << QStringLiteral("保存") << QStringLiteral("Save") << false << QStringLiteral("unfinished");
    QTest::newRow("empty") << QStringLiteral("保存") << QString() << true << QStringLiteral("unfinished");
    QTest::newRow("finished but Chinese") << QStringLiteral("保存") << QStringLiteral("保存") << true
                                          << QStringLiteral("still Chinese");
    QTest::newRow("one Chinese word") << QStringLiteral("线号 %1") << QStringLiteral("Thread 线号 %1") << true
                                      << QStringLiteral("still Chinese");
    QTest::newRow("full-width colon") << QStringLiteral("容差：") << QStringLiteral("Tolerance：") << true
                                      << QStringLiteral("still Chinese");
    QTest::newRow("ideographic space") << QStringLiteral("第 %1 页") << QStringLiteral("Page\u3000%1") << true
                                       << QStringLiteral("still Chinese");
    QTest::newRow("marker lost") << QStringLiteral("保存成功在%1") << QStringLiteral("Saved") << true
                                 << QStringLiteral("markers differ");
}

void TranslationFilesTest::faultsOfOneMessage()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(bool, finished);
    QFETCH(QString, fault);
    const QStringList found = faults({Message{QStringLiteral("Ctx"), source, translation, finished}});
    if (fault.isEmpty()) {
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    } else {
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.front().startsWith(fault + QLatin1Char(' ')), qPrintable(found.front()));
    }
}

void TranslationFilesTest::committedFileIsFinished()
{
    const QList<Message> messages = readMessages(QStringLiteral(KANVO_TS_FILE));
    QVERIFY2(messages.size() > 200, "the translation file holds the program's texts");
    const QStringList found = faults(messages);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void TranslationFilesTest::sourcesHaveNoNewOrVanishedTexts()
{
    // lupdate updates a copy as the build's update_translations target would update the file.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString copy = folder.filePath(QStringLiteral("kanvo_en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(KANVO_TS_FILE), copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(KANVO_SOURCE_DIR));
    QStringList arguments = QStringLiteral(KANVO_LUPDATE_OPTIONS).split(QLatin1Char(' '));
    arguments << QStringLiteral("src") << QStringLiteral("tools/cli") << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(KANVO_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);

    const QList<Message> updated = readMessages(copy);
    const QStringList found = faults(updated);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    // Texts the sources dropped are dropped from the copy too.
    QCOMPARE(keys(updated), keys(readMessages(QStringLiteral(KANVO_TS_FILE))));
}

QTEST_GUILESS_MAIN(TranslationFilesTest)
#include "TranslationFilesTest.moc"
