// The record-file driver: header parsing, line reading contract, encodings and line ends, and
// its connection operations. Files it refuses are tested through the import dialog, whose
// messages name the line.
#include "drivers/CollectionRecordFile.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_CollectionRecordFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // Opens the bytes as a file; its channels as "number unit" each.
    QStringList open(CollectionRecordFile &driver, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("record-%1.csv").arg(++m_files));
        QFile file(path);
        QList<Struct_Channel> channels{Struct_Channel()};
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return {"not written"};
        if (!driver.OpenCSVFile(path, channels))
            return {"refused"};
        QStringList read;
        for (const Struct_Channel &channel : qAsConst(channels))
            read << QString::number(channel.Number) + QLatin1Char(' ') + channel.Unit;
        return read;
    }

    // The next line as "<time> <values>", "end" or "refused".
    static QString next(CollectionRecordFile &driver)
    {
        QDateTime time;
        QStringList values{QStringLiteral("stale")};
        if (!driver.GetCSVData(time, values))
            return values.isEmpty() ? QStringLiteral("refused") : QStringLiteral("values left");
        if (values.isEmpty())
            return QStringLiteral("end");
        return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")) + values.join(QLatin1Char(' '));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readsLinesThenReportsTheEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray lf = "Time,1-1(℃),1-2(℃)\n2024-05-01 08:00:00.000,21.37,-3.10\n2024-05-01 08:00:01.005,21.40,2.5E+01\n";
        QTest::newRow("LF") << lf;
        QTest::newRow("CR LF") << QByteArray(lf).replace("\n", "\r\n");
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF") + lf;
        QTest::newRow("no final line end") << lf.left(lf.size() - 1);
        QTest::newRow("blank lines at the end") << lf + "\r\n\n  \n";
    }

    void readsLinesThenReportsTheEnd()
    {
        QFETCH(QByteArray, bytes);
        CollectionRecordFile driver;
        QCOMPARE(open(driver, bytes), QStringList({"1 ℃", "2 ℃"}));
        // The end, twice: the end stays the end.
        QCOMPARE(QStringList({next(driver), next(driver), next(driver), next(driver)}),
                 QStringList({"2024-05-01 08:00:00.000 21.37 -3.10", "2024-05-01 08:00:01.005 21.40 2.5E+01", "end", "end"}));
        QVERIFY(driver.CloseCSVFile());
        QCOMPARE(next(driver), QStringLiteral("refused"));
    }

    // A missing file is refused; the header gives numbers and units; a header-only file ends at
    // once; each open starts afresh; a line of more values than columns is refused.
    void headerAndEachOpenStartsFresh()
    {
        CollectionRecordFile driver;
        QList<Struct_Channel> channels;
        QVERIFY(!driver.OpenCSVFile(m_dir.filePath("missing.csv"), channels));
        QCOMPARE(open(driver, "Time,1-3(℃),2-12(Ω),7(%RH),4()\r\n"), QStringList({"3 ℃", "12 Ω", "7 %RH", "4 "}));
        QCOMPARE(next(driver), QStringLiteral("end"));
        QCOMPARE(open(driver, "Time,5(Ω)\n2024-05-01 09:00:00.000,100.5\n2024-05-01 09:00:01.000,1,2\n"), QStringList{"5 Ω"});
        QCOMPARE(QStringList({next(driver), next(driver)}), QStringList({"2024-05-01 09:00:00.000 100.5", "refused"}));
    }

    // A cell holding a sign or a point alone, or nothing, holds no number: the line is refused,
    // not read as 0. A point at either end of digits is a number.
    void cellsWithoutDigitsRefused()
    {
        CollectionRecordFile driver;
        for (const char *cell : {"-", ".", "-.", "+", ""}) {
            QCOMPARE(open(driver, QByteArray("Time,1(℃)\n2024-05-01 08:00:00.000,") + cell + "\n"), QStringList{"1 ℃"});
            QVERIFY2(next(driver) == QLatin1String("refused"), cell);
        }
        QCOMPARE(open(driver, "Time,1(℃),2(℃)\n2024-05-01 08:00:00.000,-.5,5.\n"), QStringList({"1 ℃", "2 ℃"}));
        QCOMPARE(next(driver), QStringLiteral("2024-05-01 08:00:00.000 -.5 5."));
    }

    // Both say why a connection can never come: the model is read from record files only.
    void connectionOperationsFail()
    {
        CollectionRecordFile driver;
        QString opened, reconnected;
        QVERIFY(!driver.Open(QStringLiteral("网络"), QStringLiteral("127.0.0.1"), QStringLiteral("5980"), opened));
        QVERIFY(!driver.Reconnect(reconnected) && !driver.IsOpen());
        QCOMPARE(opened, QStringLiteral("Open Error: 该型号的数据只能从记录文件导入，无法连接仪器。"));
        QCOMPARE(reconnected, opened);
    }
};

QTEST_MAIN(tst_CollectionRecordFile)
#include "tst_CollectionRecordFile.moc"
