#include "store/SystemSetKeys.h"
#include "store/Tool.h"
#include "support/TestWorkDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

int rowCount(const QString &table)
{
    QSqlQuery q(QSqlDatabase::database());
    q.exec("SELECT COUNT(*) FROM " + table);
    return q.next() ? q.value(0).toInt() : -1;
}

QString setting(const QString &name)
{
    QString data = "stale";
    return Tool::getSystemSet(name, data) ? data : QStringLiteral("<failed>");
}

Tool::Struct_Parameters sampleProject(const QString &name)
{
    Tool::Struct_Parameters p;
    p.Name = name;
    p.CreateTime = "2024-05-01 08:00:00";
    p.StartTime = "2024-05-01 08:01:00";
    p.Model = QStringList{"P540W", "P750W"};
    p.Serial = QStringList{"2301", "2302"};
    p.SignalMode = QStringList{"串口", "网络"};
    p.Signal1 = QStringList{"/dev/ttyS0", "192.168.1.2"};
    p.Signal2 = QStringList{"9600", "502"};
    p.Rate = QStringList{"1", "2"};
    p.Interval = "0.5";
    p.CHName = QStringList{"1-1", "2-3"};
    p.CHType = QStringList{"NTC", "RTD"};
    p.CHFunction = QStringList{"R(T)", "CVD"};
    p.CHWire = QStringList{"4", "Auto"};
    p.CHUnit = p.CHDisplayUnit = QStringList{"℃", "Ω"};
    p.CHM = QStringList{"1.00000", "2.50000"};
    p.CHB = QStringList{"0.00000", "-1.00000"};
    return p;
}

// Every field of a project, so one comparison covers the whole record.
QVariantList fields(const Tool::Struct_Parameters &p)
{
    return {p.Name, p.CreateTime, p.StartTime, p.Model, p.Serial, p.SignalMode, p.Signal1, p.Signal2,
            p.Rate, p.Interval, p.CHName, p.CHType, p.CHFunction, p.CHWire, p.CHUnit, p.CHM, p.CHB,
            p.CHDisplayUnit};
}

Tool::Struct_ParametersData sample(const QString &name, const QString &value,
                                   const QDateTime &time = QDateTime::currentDateTime())
{
    return {name, time, {value}};
}

} // namespace

class tst_Tool : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { m_dir.reset(); }

    // A fresh file has every table and the seeded settings; a missing row is inserted on read
    // and on write; reopening keeps what the user changed.
    void freshDatabaseAndSystemSet()
    {
        const QStringList tables = QSqlDatabase::database().tables();
        for (const char *t : {"Collection", "ChannelData", "Parameters", "ParametersData", "Calibration",
                              "CalibrationData", "AuditLog", "SystemSet"})
            QVERIFY2(tables.contains(QLatin1String(t)), t);
        QCOMPARE(setting(SystemSetKeys::DataAccuracy), QStringLiteral("2"));
        QCOMPARE(setting(SystemSetKeys::EmailInterval), QStringLiteral("10"));
        QCOMPARE(setting(SystemSetKeys::Switch_Notification), QStringLiteral("true"));

        QCOMPARE(setting("CalibrationDelay"), QString());
        QCOMPARE(rowCount("SystemSet WHERE Name = 'CalibrationDelay'"), 1);
        QVERIFY(Tool::setSystemSet("CalibrationTemp", "0,50,100"));
        QVERIFY(Tool::setSystemSet("CalibrationTemp", "20"));
        QCOMPARE(setting("CalibrationTemp"), QStringLiteral("20"));
        QCOMPARE(rowCount("SystemSet WHERE Name = 'CalibrationTemp'"), 1);

        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, "4"));
        Tool::closeDatabase();
        QVERIFY(Tool::openDatabase());
        QCOMPARE(setting(SystemSetKeys::DataAccuracy), QStringLiteral("4"));
    }

    // Instruments, coefficient sets, calibration runs and the audit log through a fresh file.
    void otherRecordsRoundTrip()
    {
        Tool::Struct_Collection c;
        c.Model = "P530W-NTC";
        c.Serial = "2301";
        c.SignalMode = "网络";
        c.Signal1 = "10.0.0.5";
        c.Signal2 = "502";
        c.Rate = "快速";
        c.Interval = 2.5;
        c.CHSerial = QStringList{"1", "2", "3"};
        c.CHUnit = QStringList{"℃", "Ω", "℃"};
        QVERIFY(Tool::addCollection(c));
        Tool::Struct_Collection empty;
        empty.Serial = "9";
        QVERIFY(Tool::addCollection(empty));
        QList<Tool::Struct_Collection> devices;
        QVERIFY(Tool::getCollection(devices));
        QCOMPARE(devices.size(), 2);
        const auto &r = devices.first();
        QCOMPARE(QVariantList({r.Model, r.SignalMode, r.Signal1, r.Signal2, r.Rate, r.Interval, r.CHSerial, r.CHUnit}),
                 QVariantList({c.Model, c.SignalMode, c.Signal1, c.Signal2, c.Rate, c.Interval, c.CHSerial, c.CHUnit}));
        QVERIFY(devices.at(1).CHSerial.isEmpty());
        QVERIFY(Tool::deleteCollection("2301"));
        devices.clear();
        QVERIFY(Tool::getCollection(devices));
        QCOMPARE(devices.size(), 1);

        Tool::Struct_ChannelData d;
        d.Name = "set 'a'";
        d.Number = QStringList{"1", "2"};
        d.A = QStringList{"1.2E-03", "0"};
        d.Parameter2 = QStringList{"x", "y"};
        QVERIFY(Tool::addChannelData(d));
        QList<Tool::Struct_ChannelData> sets;
        QVERIFY(Tool::getChannelData(sets));
        QCOMPARE(sets.size(), 1);
        QCOMPARE(QVariantList({sets[0].Name, sets[0].Number, sets[0].A, sets[0].Parameter2, sets[0].B}),
                 QVariantList({d.Name, d.Number, d.A, d.Parameter2, QStringList()}));
        QVERIFY(Tool::deleteChannelData(d.Name));
        QCOMPARE(rowCount("ChannelData"), 0);

        const Tool::Struct_Calibration run{"2024-05-01 08:00:00", "P540W", "77", {"1", "4"}};
        QVERIFY(Tool::addCalibration(run));
        QVERIFY(Tool::addCalibration({"2024-05-02 08:00:00", "P750W", "78", {}}));
        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::getCalibration(runs, QString()));
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].CHNumber, run.CHNumber);
        Tool::Struct_CalibrationData cd;
        cd.Name = run.TimeName;
        cd.Number = "4";
        cd.Range = "CVD";
        cd.A = "3.9083000000E-03";
        cd.CList = QStringList{"0.000000", "100.000000"};
        cd.DList = QStringList{"100.00000000", "138.50550000"};
        QVERIFY(Tool::addCalibrationData(cd));
        Tool::Struct_CalibrationData back;
        QVERIFY(Tool::getCalibrationData(back, run.TimeName, "4"));
        QCOMPARE(QVariantList({back.Range, back.A, back.CList, back.DList}),
                 QVariantList({cd.Range, cd.A, cd.CList, cd.DList}));
        Tool::Struct_CalibrationData none;
        none.Type = "kept";
        QVERIFY(Tool::getCalibrationData(none, run.TimeName, "9"));
        QCOMPARE(none.Type, QStringLiteral("kept"));
        QVERIFY(Tool::deleteCalibrationData(run.TimeName, "4"));
        QVERIFY(Tool::deleteCalibration(run.TimeName));
        QCOMPARE(rowCount("Calibration"), 1);
        QCOMPARE(rowCount("CalibrationData"), 0);

        QVERIFY(Tool::addAuditLog("通讯异常", "text with 'quote'"));
        QList<Tool::Struct_AuditLog> log;
        QVERIFY(Tool::getAuditLog(log));
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].Type + "|" + log[0].Text, QStringLiteral("通讯异常|text with 'quote'"));
        QVERIFY(QDateTime::fromString(log[0].Time, "yyyy-MM-dd hh:mm:ss").isValid());
    }

    void parametersRoundTripWithAwkwardNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("Oven A");
        QTest::newRow("quotes") << QStringLiteral("Bob's \"oven\"");
        QTest::newRow("percent") << QStringLiteral("100% humid");
        QTest::newRow("comment") << QStringLiteral("a -- b; DROP TABLE Parameters");
        QTest::newRow("chinese") << QStringLiteral("恒温槽一号");
    }

    void parametersRoundTripWithAwkwardNames()
    {
        QFETCH(QString, name);
        const Tool::Struct_Parameters p = sampleProject(name);
        QVERIFY(Tool::addParameters(p));
        Tool::Struct_Parameters r;
        QVERIFY(Tool::getParameters(r, name));
        QCOMPARE(fields(r), fields(p));
        QList<Tool::Struct_Parameters> found;
        QVERIFY(Tool::queryParameters(found, name));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, name);
        QCOMPARE(rowCount("Parameters"), 1);
    }

    // The search text is bound inside the LIKE pattern: "%" and "_" match only themselves.
    void queryParametersMatchesLiterally()
    {
        Tool::Struct_Parameters r;
        QVERIFY(Tool::getParameters(r, "nobody"));
        QCOMPARE(r.Name, QStringLiteral("NULL"));

        for (const char *name : {"50% run", "500 run", "a_b", "axb"})
            QVERIFY(Tool::addParameters(sampleProject(name)));
        QList<Tool::Struct_Parameters> found;
        QVERIFY(Tool::queryParameters(found, "0%"));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, QStringLiteral("50% run"));
        found.clear();
        QVERIFY(Tool::queryParameters(found, "_"));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, QStringLiteral("a_b"));
        found.clear();
        QVERIFY(Tool::queryParameters(found, QString()));
        QCOMPARE(found.size(), 4);
        QCOMPARE(found.first().Name + "|" + found.last().Name, QStringLiteral("50% run|axb")); // insertion order
    }

    void parametersDataSortedAndFiltered()
    {
        const QDateTime t0 = QDateTime::fromString("2024-05-01 08:00:00.000", "yyyy-MM-dd hh:mm:ss.zzz");
        // Stored out of order, two projects.
        QVERIFY(Tool::addParametersData(sample("p'1", "3.0", t0.addMSecs(2500))));
        QVERIFY(Tool::addParametersData({"p'1", t0, {"1.0", "-2"}}));
        QVERIFY(Tool::addParametersData(sample("other", "9", t0.addMSecs(1000))));
        QVERIFY(Tool::addParametersData(sample("p'1", "2.0", t0.addMSecs(1))));

        QList<Tool::Struct_ParametersData> rows;
        QVERIFY(Tool::getParametersData(rows, "p'1"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].Data, QStringList({"1.0", "-2"}));
        QCOMPARE(QList<QDateTime>({rows[0].Time, rows[1].Time, rows[2].Time}),
                 QList<QDateTime>({t0, t0.addMSecs(1), t0.addMSecs(2500)}));
        rows.clear();
        QVERIFY(Tool::getParametersData(rows, QString()));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[2].Name, QStringLiteral("other"));

        // Rename moves only the rows of that project; an equal name changes nothing.
        QVERIFY(Tool::modifytParametersData("p'1", "p'1"));
        QVERIFY(Tool::modifytParametersData("p'1", "renamed"));
        QCOMPARE(rowCount("ParametersData WHERE Name = 'renamed'"), 3);
        QVERIFY(Tool::deleteParametersData("renamed"));
        QCOMPARE(rowCount("ParametersData"), 1);
    }

    // The fast reader hands over each row's time (as fromString reads it) and its stored texts,
    // in time order, leaving out rows whose time is unreadable.
    void readParametersDataInTimeOrder()
    {
        const QString format = "yyyy-MM-dd hh:mm:ss.zzz";
        auto at = [&format](const char *text) { return QDateTime::fromString(text, format); };
        QVERIFY(Tool::addParametersData(sample("p'1", "3,x", at("2024-03-31 02:30:00.999"))));
        QVERIFY(Tool::addParametersData(sample("p'1", "1.5,-2", at("2024-02-29 23:59:59.001"))));
        QVERIFY(Tool::addParametersData(sample("other", "9", at("2024-01-01 00:00:00.000"))));
        QSqlQuery q;
        for (const char *time : {"2024-02-30 00:00:00.000", "2024-03-01 00:00:00", "", "2024-03-01T00:00:00.000"})
            QVERIFY(q.exec(QStringLiteral("INSERT INTO ParametersData VALUES ('p''1', '%1', '7')").arg(time)));
        QStringList read;
        QVERIFY(Tool::readParametersData("p'1", [&](qint64 ms, const QString &values) {
            read << QDateTime::fromMSecsSinceEpoch(ms).toString(format) + "|" + values;
        }));
        QCOMPARE(read, QStringList({"2024-02-29 23:59:59.001|1.5,-2", "2024-03-31 02:30:00.999|3,x"}));
        Tool::closeDatabase();
        QVERIFY(!Tool::readParametersData("p'1", [](qint64, const QString &) {}));
    }

    void transactionsNestAndRollBack()
    {
        {
            Tool::Transaction outer;
            QVERIFY(outer.isActive());
            QVERIFY(Tool::addParameters(sampleProject("keep?")));
            // The batch's own transaction nests inside the caller's.
            QVERIFY(Tool::addParametersDataList({sample("keep?", "1")}));
            // No commit: leaving the scope rolls everything back.
        }
        QCOMPARE(rowCount("Parameters"), 0);
        QCOMPARE(rowCount("ParametersData"), 0);

        QVERIFY(Tool::addParameters(sampleProject("gone")));
        QVERIFY(Tool::addParametersData(sample("gone", "1")));
        QVERIFY(Tool::addParametersData(sample("stays", "1")));
        QVERIFY(Tool::deleteProject("gone"));
        QCOMPARE(rowCount("Parameters"), 0);
        QCOMPARE(rowCount("ParametersData"), 1);
    }

    // Operations on a closed database fail; a transaction that could not begin leaves later
    // batches whole: one refused part-way keeps nothing, and a retry without the fault works.
    void closedDatabaseAndBatchAllOrNothing()
    {
        Tool::closeDatabase();
        QList<Tool::Struct_Collection> list;
        QVERIFY(!Tool::getCollection(list));
        Tool::Struct_Parameters r;
        QVERIFY(!Tool::getParameters(r, "x"));
        QVERIFY(!Tool::addAuditLog("a", "b"));
        {
            Tool::Transaction failed;
            QVERIFY(!failed.isActive());
        }
        QVERIFY(!Tool::addParametersDataList({sample("x", "1")}));
        QVERIFY(Tool::openDatabase());

        QList<Tool::Struct_ParametersData> batch;
        for (int i = 0; i < 5; ++i)
            batch.append(sample("batch", QString::number(i)));
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData "
                       "WHEN NEW.Data = '3' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!Tool::addParametersDataList(batch));
        QCOMPARE(rowCount("ParametersData"), 0);
        QVERIFY(q.exec("DROP TRIGGER refuse"));
        QVERIFY(Tool::addParametersDataList(batch));
        QCOMPARE(rowCount("ParametersData"), 5);
    }

    void twoConnectionsWriteAtOnce()
    {
        const int perSide = 400;
        std::atomic<int> failures{0};
        QThread *worker = QThread::create([&] {
            if (!Tool::openDatabase("DAQ.db3", "DAQ")) {
                failures += perSide;
                return;
            }
            for (int i = 0; i < perSide; ++i) {
                if (!Tool::addParametersDataList({sample("a", QString::number(i)), sample("b", QString::number(i))},
                                                 "DAQ"))
                    ++failures;
            }
            Tool::closeDatabase("DAQ");
        });
        worker->start();
        for (int i = 0; i < perSide; ++i) {
            if (!Tool::addAuditLog("t", QString::number(i)) || !Tool::addParametersData(sample("gui", QString::number(i))))
                ++failures;
        }
        QVERIFY(worker->wait(60000));
        delete worker;
        QCOMPARE(failures.load(), 0);
        QCOMPARE(rowCount("ParametersData"), perSide * 3);
        QCOMPARE(rowCount("AuditLog"), perSide);
    }

    void listHelpers()
    {
        QCOMPARE(Tool::toStringList(2, {1.0, -0.005, 12.345}), QStringList({"1.00", "-0.01", "12.35"}));
        QCOMPARE(Tool::toStringList(0, {2.4}), QStringList{"2"});
        QCOMPARE(Tool::toDoubleList({"1.5", "x", QString(), "-2e1"}), (QList<double>{1.5, 0.0, 0.0, -20.0}));
        QCOMPARE(Tool::sum({}), 0.0);
        QCOMPARE(Tool::sum({1.5, 2.25, -1.0}), 2.75);
    }

    // Stable order: first appearance, a temperature unit moved to the front of two.
    void uniqueUnits()
    {
        const QString C = "℃", F = "℉", O = "Ω", H = "%RH", V = "V";
        const QList<QPair<QStringList, QStringList>> cases = {
            {{}, {QString(), QString()}}, {{O, O}, {O, QString()}}, {{C, O, C}, {C, O}}, {{F, H}, {F, H}},
            {{O, C}, {C, O}}, {{H, V, H}, {V, H}}, {{O, C, V, C}, {O, C, V}}};
        for (const auto &c : cases)
            QCOMPARE(Tool::uniqueUnits(c.first), c.second);
    }

    void unitToQuantity()
    {
        const QList<QPair<QString, QString>> cases = {
            {"℃", "温度"}, {"℉", "温度"}, {"%RH", "湿度"}, {"KPa", "压力"}, {"psi", "压力"}, {"mV", "电压"},
            {"kΩ", "电阻"}, {"μA", "电流"}, {"kPa", "其他"}, {QString(), "其他"}};
        for (const auto &c : cases)
            QVERIFY2(Tool::unitToQuantity(c.first) == c.second, qPrintable(c.first));
    }
};

QTEST_GUILESS_MAIN(tst_Tool)
#include "tst_Tool.moc"
