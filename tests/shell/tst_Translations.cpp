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
    bool finished() const { return type.isEmpty(); }
};

QList<Message> readCatalogue(const QString &path, QString &error)
{
    QList<Message> messages;
    QFile file(path);
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
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    if (xml.hasError())
        error = file.fileName() + QStringLiteral(": ") + xml.errorString();
    return messages;
}

QString catalogue(const QString &fileName)
{
    return QDir(TestWorkDir::sourceDir()).filePath(QStringLiteral("i18n/") + fileName);
}

// The product's source folders: all but the tests, the benchmarks and build folders.
QStringList productFolders()
{
    QStringList folders;
    const QDir root(TestWorkDir::sourceDir());
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("tests") && name != QLatin1String("bench")
            && !QDir(root.filePath(name)).exists(QStringLiteral("CMakeCache.txt")))
            folders << root.filePath(name);
    }
    return folders;
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
        const QList<Message> english = readCatalogue(catalogue(QStringLiteral("DAQ_en.ts")), error);
        const QList<Message> chinese = readCatalogue(catalogue(QStringLiteral("DAQ_zh.ts")), error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!english.isEmpty());
        QSet<QString> englishKeys, chineseKeys;
        for (const Message &m : english) {
            englishKeys.insert(m.key);
            QVERIFY2(m.finished() && !m.translation.isEmpty(), qPrintable(QStringLiteral("untranslated: ") + m.key));
            QVERIFY2(placeholders(m.translation) == placeholders(m.source),
                     qPrintable(QStringLiteral("placeholders differ: ") + m.key));
            QVERIFY2(!m.source.startsWith(QLatin1Char(' ')) || m.translation.startsWith(QLatin1Char(' ')),
                     qPrintable(m.key));
        }
        for (const Message &m : chinese) {
            chineseKeys.insert(m.key);
            QVERIFY2(!m.finished() || m.translation == m.source, qPrintable(QStringLiteral("differs: ") + m.key));
        }
        QCOMPARE(QStringList((englishKeys - chineseKeys).values()), QStringList());
        QCOMPARE(QStringList((chineseKeys - englishKeys).values()), QStringList());
        QCOMPARE(english.size(), chinese.size());
    }

    // lupdate run over the sources into a copy of the English catalogue finds no text that
    // lacks a finished translation (a text missing from both catalogues included).
    void everySourceTextIsTranslated()
    {
        const QString lupdate = QDir(QLibraryInfo::location(QLibraryInfo::BinariesPath)).filePath(QStringLiteral("lupdate"));
        QVERIFY2(QFileInfo::exists(lupdate), qPrintable(lupdate));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath(QStringLiteral("DAQ_en.ts"));
        QVERIFY(QFile::copy(catalogue(QStringLiteral("DAQ_en.ts")), copy));
        QProcess run;
        run.start(lupdate, QStringList{"-extensions", "cpp,h", "-locations", "none", "-silent"} + productFolders()
                               + QStringList{"-ts", copy});
        QVERIFY(run.waitForFinished(120000));
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, run.readAllStandardError().constData());

        QString error;
        QStringList missing;
        for (const Message &m : readCatalogue(copy, error)) {
            if (m.type == QLatin1String("unfinished") || (m.finished() && m.translation.isEmpty()))
                missing << m.key;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no finished English entry: ") + missing.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
