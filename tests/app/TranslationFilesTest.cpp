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

// One line for every message that is not translated as it must be.
QStringList faults(const QList<Message>& messages)
{
    QStringList out;
    for (const Message& m : messages) {
        const QString where = m.context + QLatin1String(": ") + m.source;
        if (!m.finished || m.translation.isEmpty())
            out << QLatin1String("unfinished ") + where;
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
    void committedFileIsFinished();
    void sourcesHaveNoNewOrVanishedTexts();
};

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
