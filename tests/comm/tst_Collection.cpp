// The base driver: the behaviour it gives to drivers that override nothing, the channel
// records, getOneData's trigger-then-read, Reconnect with the last connection texts, Close
// when nothing is open.
#include "comm/Collection.h"
#include "comm/CommTiming.h"

#include <QtTest>

namespace {
class ScriptedDriver : public Collection
{
    Q_OBJECT
public:
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override
    {
        RememberConnection(type, address, parameter);
        opened.append(QStringList{type, address, parameter});
        text = QStringLiteral("SN-%1").arg(opened.size());
        return true;
    }
    bool WriteOneScan() override
    {
        ++triggers;
        return triggerOk;
    }
    bool ReadOneScan(QList<double> &values) override
    {
        ++reads;
        values = {1.5, 2.5};
        return true;
    }
    void setChannels(const QList<Struct_Channel> &channels) { m_Channels = channels; }

    QList<QStringList> opened;
    int triggers = 0;
    int reads = 0;
    bool triggerOk = true;
};

class BareDriver : public Collection
{
    Q_OBJECT
public:
    bool Open(const QString &, const QString &, const QString &, QString &text) override
    {
        text = QStringLiteral("Open Error");
        return false;
    }
};

Struct_Channel channel(quint32 number, bool enabled)
{
    Struct_Channel c;
    c.Number = number;
    c.Enabled = enabled;
    c.Unit = QStringLiteral("℃");
    return c;
}
}

class tst_Collection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CommTiming timing;
        timing.connectPollMs = 10;
        CommTiming::set(timing);
    }

    void baseSupportsNothingButTheTrigger()
    {
        BareDriver driver;
        QVERIFY(driver.WriteOneScan());
        QVERIFY(!driver.GetChannelConfig({}, {}));
        QList<double> values{1.0};
        QVERIFY(!driver.ReadOneScan(values));
        QList<Struct_Channel> channels;
        QVERIFY(!driver.OpenCSVFile(QStringLiteral("x.csv"), channels));
        QDateTime time;
        QStringList texts{QStringLiteral("stale")};
        QVERIFY(!driver.GetCSVData(time, texts));
        QVERIFY(texts.isEmpty());
        QVERIFY(!driver.CloseCSVFile());
        Struct_Channel one;
        QString message;
        QVERIFY(!driver.SetChannelConfig({one}, message));
        QVERIFY(!message.isEmpty());
        QVERIFY(driver.GetEnabledChannels().isEmpty());
        QVERIFY(!driver.IsOpen());
        QVERIFY(driver.Close()); // nothing open: closed at once
    }

    void enabledChannelsKeepChannelOrder()
    {
        ScriptedDriver driver;
        driver.setChannels({channel(4, true), channel(1, false), channel(2, true), channel(9, true)});
        QList<quint32> numbers;
        for (const Struct_Channel &c : driver.GetEnabledChannels())
            numbers << c.Number;
        QCOMPARE(numbers, (QList<quint32>{4, 2, 9}));
    }

    void oneDataTriggersThenReads()
    {
        ScriptedDriver driver;
        QList<double> values{9.0};
        QVERIFY(driver.getOneData(values));
        QCOMPARE(values, (QList<double>{1.5, 2.5}));
        QCOMPARE(driver.triggers, 1);
        QCOMPARE(driver.reads, 1);

        driver.triggerOk = false;
        QVERIFY(!driver.getOneData(values));
        QVERIFY(values.isEmpty());
        QCOMPARE(driver.reads, 1); // no read after a failed trigger
    }

    void reconnectUsesTheLastConnectionTexts()
    {
        ScriptedDriver driver;
        QString text;
        QVERIFY(driver.Open(QStringLiteral("网络"), QStringLiteral("10.0.0.5"), QStringLiteral("5980"), text));
        QVERIFY(driver.Open(QStringLiteral("串口"), QStringLiteral("ttyUSB0"), QStringLiteral("9600"), text));
        QVERIFY(driver.Reconnect(text));
        QCOMPARE(text, QStringLiteral("SN-3"));
        QCOMPARE(driver.opened.last(), (QStringList{"串口", "ttyUSB0", "9600"}));
        QCOMPARE(driver.LastSignalMode(), QStringLiteral("串口"));
    }

    void cleanupTestCase() { CommTiming::reset(); }
};

QTEST_MAIN(tst_Collection)
#include "tst_Collection.moc"
