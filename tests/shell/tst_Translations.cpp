// The translation catalogues in i18n/: every text of the sources is in them, both hold the same
// texts, English is complete and keeps the placeholders, Chinese shows the source.
#include "support/TestWorkDir.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString key;   // context / source
    QString source;
    QString translation;
    QString type;  // empty when finished; "unfinished", "vanished", "obsolete"
};

// The messages of a catalogue; a file that cannot be read or parsed fails the test.
QList<Message> readCatalogue(const QString &path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QTest::qFail(qPrintable(path + ": " + file.errorString()), __FILE__, __LINE__);
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
            message.key = context + " / " + message.source;
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    if (xml.hasError())
        QTest::qFail(qPrintable(path + ": " + xml.errorString()), __FILE__, __LINE__);
    return messages;
}

QString catalogue(const QString &fileName)
{
    return QDir(TestWorkDir::sourceDir()).filePath("i18n/" + fileName);
}

QStringList placeholders(const QString &text)
{
    QStringList found;
    for (auto it = QRegularExpression("%\\d+").globalMatch(text); it.hasNext();)
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
        const QList<Message> english = readCatalogue(catalogue("DAQ_en.ts"));
        const QList<Message> chinese = readCatalogue(catalogue("DAQ_zh.ts"));
        QStringList englishKeys, chineseKeys;
        for (const Message &m : english) {
            englishKeys << m.key;
            QVERIFY2(m.type.isEmpty() && !m.translation.isEmpty(), qPrintable("untranslated: " + m.key));
            QVERIFY2(placeholders(m.translation) == placeholders(m.source), qPrintable("placeholders differ: " + m.key));
            QVERIFY2(!m.source.startsWith(' ') || m.translation.startsWith(' '), qPrintable(m.key));
        }
        for (const Message &m : chinese) {
            chineseKeys << m.key;
            QVERIFY2(!m.type.isEmpty() || m.translation == m.source, qPrintable("differs: " + m.key));
        }
        englishKeys.sort();
        chineseKeys.sort();
        QVERIFY(!english.isEmpty());
        QCOMPARE(englishKeys, chineseKeys);
    }

    // lupdate run over the sources into a copy of the English catalogue finds no text that
    // lacks a finished translation (a text missing from both catalogues included).
    void everySourceTextIsTranslated()
    {
        const QString lupdate = QDir(QLibraryInfo::location(QLibraryInfo::BinariesPath)).filePath("lupdate");
        QTemporaryDir dir;
        const QString copy = dir.filePath("DAQ_en.ts");
        QVERIFY2(QFile::copy(catalogue("DAQ_en.ts"), copy), qPrintable(copy));
        // The product's source folders: all but the tests, the benchmarks and build folders.
        QStringList arguments{"-extensions", "cpp,h", "-locations", "none", "-silent"};
        const QDir root(TestWorkDir::sourceDir());
        for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (name != "tests" && name != "bench" && !QDir(root.filePath(name)).exists("CMakeCache.txt"))
                arguments << root.filePath(name);
        }
        QProcess run;
        run.start(lupdate, arguments << "-ts" << copy);
        QVERIFY2(run.waitForFinished(120000) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                 qPrintable(lupdate + ": " + run.errorString() + run.readAllStandardError()));
        QStringList missing;
        for (const Message &m : readCatalogue(copy)) {
            if (m.type == "unfinished" || (m.type.isEmpty() && m.translation.isEmpty()))
                missing << m.key;
        }
        QVERIFY2(missing.isEmpty(), qPrintable("no finished English entry: " + missing.join("; ")));
    }
};

QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
