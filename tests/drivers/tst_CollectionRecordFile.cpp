// The record-file driver: header parsing, line reading contract, encodings and line ends,
// refusal of other layouts, and its connection operations.
#include "drivers/CollectionRecordFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Line {
    bool ok;
    QDateTime time;
    QStringList values;
};
}

class tst_CollectionRecordFile : public QObject
{
    Q_OBJECT

    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("record-%1.csv").arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static Line next(CollectionRecordFile &driver)
    {
        Line line;
        line.values << QStringLiteral("stale");
        line.ok = driver.GetCSVData(line.time, line.values);
        return line;
    }

    static QDateTime at(const QString &text)
    {
        return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readsLinesThenReportsTheEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray lf = "Time,1-1(℃),1-2(℃)\n"
                              "2024-05-01 08:00:00.000,21.37,-3.10\n"
                              "2024-05-01 08:00:01.005,21.40,nan\n";
        QTest::newRow("LF") << lf;
        QByteArray crlf = lf;
        crlf.replace("\n", "\r\n");
        QTest::newRow("CR LF") << crlf;
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF") + lf;
        QTest::newRow("no final line end") << lf.left(lf.size() - 1);
        QTest::newRow("blank lines at the end") << lf + "\r\n\n  \n";
    }

    void readsLinesThenReportsTheEnd()
    {
        QFETCH(QByteArray, bytes);
        CollectionRecordFile driver;
        QList<Struct_Channel> channels;
        QVERIFY(driver.OpenCSVFile(write(bytes), channels));
        QCOMPARE(channels.size(), 2);
        QCOMPARE(channels.first().Unit, QStringLiteral("℃"));

        Line line = next(driver);
        QVERIFY(line.ok);
        QCOMPARE(line.time, at("2024-05-01 08:00:00.000"));
        QCOMPARE(line.values, (QStringList{"21.37", "-3.10"}));
        line = next(driver);
        QCOMPARE(line.time, at("2024-05-01 08:00:01.005"));
        QCOMPARE(line.values, (QStringList{"21.40", "nan"}));
        // The end, twice: the end stays the end.
        for (int i = 0; i < 2; ++i) {
            line = next(driver);
            QVERIFY(line.ok && line.values.isEmpty());
        }
        QVERIFY(driver.CloseCSVFile());
    }

    void lineThatDoesNotFitFails_data()
    {
        QTest::addColumn<QByteArray>("badLine");
        QTest::newRow("time without milliseconds") << QByteArray("2024-05-01 08:00:02,1,2");
        QTest::newRow("time in another order") << QByteArray("01-05-2024 08:00:02.000,1,2");
        QTest::newRow("impossible date") << QByteArray("2024-02-30 08:00:02.000,1,2");
        QTest::newRow("too few fields") << QByteArray("2024-05-01 08:00:02.000,1");
        QTest::newRow("too many fields") << QByteArray("2024-05-01 08:00:02.000,1,2,3");
        QTest::newRow("value is no number") << QByteArray("2024-05-01 08:00:02.000,1,OL");
        QTest::newRow("empty value") << QByteArray("2024-05-01 08:00:02.000,1,");
        QTest::newRow("blank line in the middle") << QByteArray("\n2024-05-01 08:00:03.000,1,2");
    }

    void lineThatDoesNotFitFails()
    {
        QFETCH(QByteArray, badLine);
        CollectionRecordFile driver;
        QList<Struct_Channel> channels;
        QVERIFY(driver.OpenCSVFile(write("Time,1(℃),2(℃)\n2024-05-01 08:00:01.000,1,2\n" + badLine + "\n"), channels));
        QVERIFY(next(driver).ok);
        const Line line = next(driver);
        QVERIFY(!line.ok && line.values.isEmpty());
    }

    void otherLayoutsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("no channel column") << QByteArray("Time\n2024-05-01 08:00:01.000\n");
        QTest::newRow("other first column") << QByteArray("Date,1(℃)\n");
        QTest::newRow("column without unit") << QByteArray("Time,1-1\n");
        QTest::newRow("column without number") << QByteArray("Time,CH1(℃)\n");
        QTest::newRow("instrument number 0") << QByteArray("Time,0-1(℃)\n");
        QTest::newRow("channel number too large") << QByteArray("Time,99999999999(℃)\n");
        QTest::newRow("semicolon separated") << QByteArray("Time;1(℃);2(℃)\n");
    }

    void otherLayoutsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        CollectionRecordFile driver;
        QList<Struct_Channel> channels;
        QVERIFY(!driver.OpenCSVFile(write(bytes), channels));
        QVERIFY(channels.isEmpty() && !next(driver).ok);
        QVERIFY(driver.CloseCSVFile());
    }

    // A missing file is refused; the header gives numbers and units; a header-only file ends at
    // once; each open starts afresh.
    void headerAndEachOpenStartsFresh()
    {
        CollectionRecordFile driver;
        QList<Struct_Channel> channels;
        QVERIFY(!driver.OpenCSVFile(m_dir.filePath("missing.csv"), channels));
        QVERIFY(driver.OpenCSVFile(write("Time,1-3(℃),2-12(Ω),7(%RH),4()\r\n"), channels));
        QStringList read;
        for (const Struct_Channel &channel : channels)
            read << QString::number(channel.Number) + QLatin1Char(' ') + channel.Unit;
        QCOMPARE(read, QStringList({"3 ℃", "12 Ω", "7 %RH", "4 "}));
        Line line = next(driver);
        QVERIFY(line.ok && line.values.isEmpty());
        QVERIFY(driver.CloseCSVFile());
        QVERIFY(driver.OpenCSVFile(write("Time,5(Ω)\n2024-05-01 09:00:00.000,100.5\n"), channels));
        QCOMPARE(channels.size(), 1);
        line = next(driver);
        QVERIFY(line.ok);
        QCOMPARE(line.values, QStringList{"100.5"});
    }

    void connectionOperationsFail()
    {
        CollectionRecordFile driver;
        QString text;
        QVERIFY(!driver.Open(QStringLiteral("网络"), QStringLiteral("127.0.0.1"), QStringLiteral("5980"), text));
        QCOMPARE(text, QStringLiteral("Open Error"));
        text.clear();
        QVERIFY(!driver.Reconnect(text) && !driver.IsOpen());
        QCOMPARE(text, QStringLiteral("Open Error"));
    }

private:
    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_MAIN(tst_CollectionRecordFile)
#include "tst_CollectionRecordFile.moc"
