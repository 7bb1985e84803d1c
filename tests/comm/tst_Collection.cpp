// The base driver: the behaviour it gives to drivers that override nothing and the operations
// every driver shares.
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
    bool WriteOneScan() override { ++triggers; return triggerOk; }
    bool ReadOneScan(QList<double> &values) override { ++reads; values = {1.5, 2.5}; return true; }
    void setChannels(const QList<Struct_Channel> &channels) { m_Channels = channels; }

    QList<QStringList> opened;
    int triggers = 0, reads = 0;
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
        QList<double> values{1.0};
        QList<Struct_Channel> channels;
        QVERIFY(driver.WriteOneScan());
        QVERIFY(!driver.GetChannelConfig({}, {}) && !driver.ReadOneScan(values));
        QVERIFY(!driver.OpenCSVFile(QStringLiteral("x.csv"), channels) && !driver.CloseCSVFile());
        QDateTime time;
        QStringList texts{QStringLiteral("stale")};
        QVERIFY(!driver.GetCSVData(time, texts));
        QVERIFY(texts.isEmpty());
        QString message;
        QVERIFY(!driver.SetChannelConfig({Struct_Channel()}, message));
        QVERIFY(!message.isEmpty());
        QVERIFY(driver.GetEnabledChannels().isEmpty() && !driver.IsOpen());
        QVERIFY(driver.Close()); // nothing open: closed at once
    }

    // Enabled channels in channel order; getOneData triggers, then reads, and reads nothing
    // after a failed trigger; Reconnect uses the last connection texts.
    void sharedOperations()
    {
        ScriptedDriver driver;
        driver.setChannels({channel(4, true), channel(1, false), channel(2, true), channel(9, true)});
        QList<quint32> numbers;
        for (const Struct_Channel &c : driver.GetEnabledChannels())
            numbers << c.Number;
        QCOMPARE(numbers, (QList<quint32>{4, 2, 9}));

        QList<double> values{9.0};
        QVERIFY(driver.getOneData(values));
        QCOMPARE(values, (QList<double>{1.5, 2.5}));
        QCOMPARE(driver.triggers + driver.reads, 2);
        driver.triggerOk = false;
        QVERIFY(!driver.getOneData(values));
        QVERIFY(values.isEmpty());
        QCOMPARE(driver.reads, 1);

        QString text;
        QVERIFY(driver.Open(QStringLiteral("网络"), QStringLiteral("10.0.0.5"), QStringLiteral("5980"), text));
        QVERIFY(driver.Open(QStringLiteral("串口"), QStringLiteral("ttyUSB0"), QStringLiteral("9600"), text));
        QVERIFY(driver.Reconnect(text));
        QCOMPARE(text, QStringLiteral("SN-3"));
        QCOMPARE(driver.opened.last(), (QStringList{"串口", "ttyUSB0", "9600"}));
    }

    void cleanupTestCase() { CommTiming::reset(); }
};

QTEST_MAIN(tst_Collection)
#include "tst_Collection.moc"
