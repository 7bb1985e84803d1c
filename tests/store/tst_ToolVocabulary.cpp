// Translation of stored vocabulary words for display and back, and the serial port list.
#include "store/Tool.h"

#include <QCollator>
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

const QStringList StoredWords = {
    QStringLiteral("串口"), QStringLiteral("网络"), QStringLiteral("蓝牙"), QStringLiteral("导入"),
    QStringLiteral("铂电阻"), QStringLiteral("热敏电阻"), QStringLiteral("热电偶"), QStringLiteral("NTC"),
    QStringLiteral("TC"), QStringLiteral("PTC"), QStringLiteral("ITS90"), QStringLiteral("CVD"),
    QStringLiteral("R(T)"), QStringLiteral("T(R)"), QStringLiteral("Other"), QStringLiteral("K"),
    QStringLiteral("2线制"), QStringLiteral("3线制"), QStringLiteral("Auto"), QStringLiteral("℃"),
    QStringLiteral("Ω"), QStringLiteral("快速"), QStringLiteral("中速"), QStringLiteral("慢速"),
};
}

class tst_ToolVocabulary : public QObject
{
    Q_OBJECT

private slots:
    void chineseDisplayShowsTheStoredWords()
    {
        for (const QString &word : StoredWords) {
            QCOMPARE(Tool::toDisplayText(word), word);
            QCOMPARE(Tool::fromDisplayText(word), word);
        }
    }

    void englishDisplayRoundTrips()
    {
        EnglishTool english;
        QVERIFY(QCoreApplication::installTranslator(&english));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("串口")), QStringLiteral("Serial port"));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("热敏电阻")), QStringLiteral("Thermistor"));
        QCOMPARE(Tool::fromDisplayText(QStringLiteral("Network")), QStringLiteral("网络"));
        QCOMPARE(Tool::fromDisplayText(QStringLiteral("3-wire")), QStringLiteral("3线制"));
        for (const QString &word : StoredWords)
            QCOMPARE(Tool::fromDisplayText(Tool::toDisplayText(word)), word);
        // A display text that is itself a stored word showing as itself stays that word.
        QCOMPARE(Tool::fromDisplayText(QStringLiteral("RTD")), QStringLiteral("RTD"));
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

    void serialPortNamesAreSortedWithoutRepeats()
    {
        const QStringList names = Tool::getSerialPortNames();
        qInfo() << "serial ports:" << names;
        QCollator numeric;
        numeric.setNumericMode(true);
        for (int i = 1; i < names.size(); ++i)
            QVERIFY2(numeric.compare(names.at(i - 1), names.at(i)) < 0,
                     qPrintable(names.at(i - 1) + " / " + names.at(i)));
    }
};

QTEST_MAIN(tst_ToolVocabulary)
#include "tst_ToolVocabulary.moc"
