// Translation of stored vocabulary words for display and back, and the serial port list.
#include "store/Tool.h"
#include "support/TestWorkDir.h"

#include <QCollator>
#include <QDir>
#include <QSerialPortInfo>
#include <QTranslator>
#include <QtTest>

namespace {
// Stands in for an English catalogue of the "Tool" context, with a careless entry that shows
// one word ("铂电阻") as another stored word ("RTD").
class EnglishTool : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        static const QHash<QString, QString> english{
            {"串口", "Serial port"}, {"网络", "Network"}, {"铂电阻", "RTD"}, {"热电偶", "Thermocouple"}, {"3线制", "3-wire"}};
        return qstrcmp(context, "Tool") == 0 ? english.value(QString::fromUtf8(source)) : QString();
    }
};

// Every word of the vocabulary.
const QStringList AllWords = QStringLiteral("串口 网络 蓝牙 导入 铂电阻 热敏电阻 热电偶 NTC RTD TC PTC ITS90 CVD R(T) T(R) "
                                            "Other K J T E N R S B 2线制 3线制 4线制 Auto ℃ Ω 快速 中速 慢速")
                                 .split(' ');
}

class tst_ToolVocabulary : public QObject
{
    Q_OBJECT

private slots:
    // Words show translated and come back; a word that another word is shown as stays itself;
    // words outside the vocabulary pass unchanged both ways.
    void displayRoundTrips()
    {
        EnglishTool english;
        QVERIFY(QCoreApplication::installTranslator(&english));
        QCOMPARE(Tool::toDisplayText(QStringLiteral("串口")) + '|' + Tool::fromDisplayText(QStringLiteral("3-wire")),
                 QStringLiteral("Serial port|3线制"));
        for (const QString &word : AllWords) {
            if (word != QStringLiteral("铂电阻"))
                QCOMPARE(Tool::fromDisplayText(Tool::toDisplayText(word)), word);
        }
        for (const QString &text : {"P530W-NTC", "", "Serial", "串口 ", "192.168.1.1"})
            QCOMPARE(Tool::toDisplayText(text) + '|' + Tool::fromDisplayText(text), text + '|' + text);
        QVERIFY(QCoreApplication::removeTranslator(&english));
    }

    // With the shipped catalogue every word shows as a text of its own, in English, and comes back.
    void shippedEnglishCatalogueRoundTrips()
    {
        const QString path = QDir(TestWorkDir::buildDir()).filePath(QStringLiteral("DAQ_en.qm"));
        QTranslator english;
        QVERIFY2(english.load(path), qPrintable(path));
        QVERIFY(QCoreApplication::installTranslator(&english));
        QHash<QString, QString> shownAs;
        for (const QString &word : AllWords) {
            const QString shown = Tool::toDisplayText(word);
            QVERIFY2(!shownAs.contains(shown) && !shown.contains(QRegularExpression("\\p{Han}")),
                     qPrintable(word + " shows as " + shown + ", as does " + shownAs.value(shown)));
            shownAs.insert(shown, word);
            QCOMPARE(Tool::fromDisplayText(shown), word);
        }
        QCOMPARE(Tool::toDisplayText("铂电阻"), QStringLiteral("Platinum resistance"));
        QVERIFY(QCoreApplication::removeTranslator(&english));
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
        std::sort(expected.begin(), expected.end(), [&numeric](const QString &a, const QString &b) { return numeric.compare(a, b) < 0; });
        QCOMPARE(Tool::getSerialPortNames(), expected);
    }
};

QTEST_MAIN(tst_ToolVocabulary)
#include "tst_ToolVocabulary.moc"
