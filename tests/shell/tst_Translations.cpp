// The translation catalogues in i18n/: both hold the same texts, English is complete and keeps the
// placeholders, Chinese shows the source.
#include "support/TestWorkDir.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString key;   // context / source
    QString source;
    QString translation;
    bool finished = true;
};

QList<Message> readCatalogue(const QString &fileName, QString &error)
{
    QList<Message> messages;
    QFile file(QDir(TestWorkDir::sourceDir()).filePath(QStringLiteral("i18n/") + fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
            message.key = context + QStringLiteral(" / ") + message.source;
        } else if (xml.name() == QLatin1String("translation")) {
            message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    if (xml.hasError())
        error = file.fileName() + QStringLiteral(": ") + xml.errorString();
    return messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found.append(it.next().captured());
    found.sort();
    return found;
}

}

class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    // Both catalogues hold the same texts; English is complete, keeps placeholders and leading
    // spaces (a text glued after another); Chinese shows the source.
    void catalogues()
    {
        QString error;
        const QList<Message> english = readCatalogue(QStringLiteral("DAQ_en.ts"), error);
        const QList<Message> chinese = readCatalogue(QStringLiteral("DAQ_zh.ts"), error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!english.isEmpty());
        QSet<QString> englishKeys, chineseKeys;
        for (const Message &m : english) {
            englishKeys.insert(m.key);
            QVERIFY2(m.finished && !m.translation.isEmpty(), qPrintable(QStringLiteral("untranslated: ") + m.key));
            QVERIFY2(placeholders(m.translation) == placeholders(m.source),
                     qPrintable(QStringLiteral("placeholders differ: ") + m.key));
            QVERIFY2(!m.source.startsWith(QLatin1Char(' ')) || m.translation.startsWith(QLatin1Char(' ')),
                     qPrintable(m.key));
        }
        for (const Message &m : chinese) {
            chineseKeys.insert(m.key);
            QVERIFY2(!m.finished || m.translation == m.source, qPrintable(QStringLiteral("differs: ") + m.key));
        }
        QCOMPARE(QStringList((englishKeys - chineseKeys).values()), QStringList());
        QCOMPARE(QStringList((chineseKeys - englishKeys).values()), QStringList());
        QCOMPARE(english.size(), chinese.size());
    }
};

QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
