// Translation of stored vocabulary words for display and back, and the serial port list.
#include "store/Tool.h"
#include "support/TestWorkDir.h"

#include <QCollator>
#include <QDir>
#include <QSerialPortInfo>
#include <QTranslator>
#include <QtTest>

namespace {
// Stands in for the English catalogue of the "Tool" context.
class EnglishTool : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const QHash<QString, QString> english = {
            {QStringLiteral("串口"), QStringLiteral("Serial port")},
            {QStringLiteral("网络"), QStringLiteral("Network")},
            {QStringLiteral("蓝牙"), QStringLiteral("Bluetooth")},
            {QStringLiteral("导入"), QStringLiteral("Import")},
            {QStringLiteral("铂电阻"), QStringLiteral("Platinum resistance")},
            {QStringLiteral("热敏电阻"), QStringLiteral("Thermistor")},
            {QStringLiteral("热电偶"), QStringLiteral("Thermocouple")},
            {QStringLiteral("3线制"), QStringLiteral("3-wire")},
            {QStringLiteral("快速"), QStringLiteral("Fast")},
            // A careless catalogue entry that shows one word as another stored word.
            {QStringLiteral("4线制"), QStringLiteral("RTD")},
        };
        if (qstrcmp(context, "Tool") != 0)
            return QString();
        return english.value(QString::fromUtf8(source));
    }
};

// Every word of the vocabulary.
const QStringList AllWords = {
    QStringLiteral("串口"), QStringLiteral("网络"), QStringLiteral("蓝牙"), QStringLiteral("导入"),
    QStringLiteral("铂电阻"), QStringLiteral("热敏电阻"), QStringLiteral("热电偶"), QStringLiteral("NTC"),
    QStringLiteral("RTD"), QStringLiteral("TC"), QStringLiteral("PTC"), QStringLiteral("ITS90"),
    QStringLiteral("CVD"), QStringLiteral("R(T)"), QStringLiteral("T(R)"), QStringLiteral("Other"),
    QStringLiteral("K"), QStringLiteral("J"), QStringLiteral("T"), QStringLiteral("E"), QStringLiteral("N"),
    QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2线制"),
    QStringLiteral("3线制"), QStringLiteral("4线制"), QStringLiteral("Auto"), QStringLiteral("℃"),
    QStringLiteral("Ω"), QStringLiteral("快速"), QStringLiteral("中速"), QStringLiteral("慢速"),
};
}

class tst_ToolVocabulary : public QObject
{
    Q_OBJECT

private slots:
    // A catalogue entry that shows one word as another stored word ("4线制" as "RTD") does not
    // turn that stored word into the other.
    void englishDisplayRoundTrips()
    {
        EnglishTool english;
        QVERIFY(QCoreApplication::installTranslator(&english));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("串口")), QStringLiteral("Serial port"));
        QCOMPARE(Tool::fromDisplayText(QStringLiteral("3-wire")), QStringLiteral("3线制"));
        for (const QString &word : AllWords) {
            if (word != QStringLiteral("4线制"))
                QCOMPARE(Tool::fromDisplayText(Tool::toDisplayText(word)), word);
        }
        QCOMPARE(Tool::fromDisplayText(QStringLiteral("RTD")), QStringLiteral("RTD"));
        QVERIFY(QCoreApplication::removeTranslator(&english));
    }

    void shippedEnglishCatalogueRoundTrips()
    {
        const QString path = QDir(TestWorkDir::buildDir()).filePath(QStringLiteral("DAQ_en.qm"));
        QTranslator english;
        QVERIFY2(english.load(path), qPrintable(path));
        QVERIFY(QCoreApplication::installTranslator(&english));
        QHash<QString, QString> shownAs;
        for (const QString &word : AllWords) {
            const QString shown = Tool::toDisplayText(word);
            QVERIFY2(!shownAs.contains(shown),
                     qPrintable(word + " and " + shownAs.value(shown) + " both show as " + shown));
            shownAs.insert(shown, word);
            QCOMPARE(Tool::fromDisplayText(shown), word);
        }
        // The Chinese words are shown in English; the rest as they are.
        QCOMPARE(Tool::toDisplayText(QStringLiteral("铂电阻")), QStringLiteral("Platinum resistance"));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("4线制")), QStringLiteral("4-wire"));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("慢速")), QStringLiteral("Slow"));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("RTD")), QStringLiteral("RTD"));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("℃")), QStringLiteral("℃"));
        QVERIFY(QCoreApplication::removeTranslator(&english));
    }

    void wordsOutsideTheVocabularyPassUnchanged()
    {
        EnglishTool english;
        QCoreApplication::installTranslator(&english);
        for (const QString &text : {QStringLiteral("P530W-NTC"), QStringLiteral(""), QStringLiteral("Serial"),
                                    QStringLiteral("串口 "), QStringLiteral("192.168.1.1")}) {
            QCOMPARE(Tool::toDisplayText(text), text);
            QCOMPARE(Tool::fromDisplayText(text), text);
        }
        QCoreApplication::removeTranslator(&english);
    }

    // Every port of the machine once, in numeric order (COM2 before COM10).
    void serialPortNamesAreTheMachinesPortsInOrder()
    {
        QStringList expected;
        for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
            if (!expected.contains(port.portName()))
                expected << port.portName();
        }
        QCollator numeric;
        numeric.setNumericMode(true);
        std::sort(expected.begin(), expected.end(),
                  [&numeric](const QString &a, const QString &b) { return numeric.compare(a, b) < 0; });
        qInfo() << "serial ports:" << expected;
        QCOMPARE(Tool::getSerialPortNames(), expected);
    }
};

QTEST_MAIN(tst_ToolVocabulary)
#include "tst_ToolVocabulary.moc"
