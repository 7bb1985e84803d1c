#include "store/SystemSetKeys.h"
#include "store/Tool.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

class tst_Tool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_oldCwd;

    static int rowCount(const QString &table, const QString &connectionName = QString())
    {
        QSqlQuery q(connectionName.isEmpty() ? QSqlDatabase::database() : QSqlDatabase::database(connectionName));
        q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        return q.next() ? q.value(0).toInt() : -1;
    }

    static Tool::Struct_Parameters sampleProject(const QString &name)
    {
        Tool::Struct_Parameters p;
        p.Name = name;
        p.CreateTime = QStringLiteral("2024-05-01 08:00:00");
        p.StartTime = QStringLiteral("2024-05-01 08:01:00");
        p.Model = QStringList{QStringLiteral("P540W"), QStringLiteral("P750W")};
        p.Serial = QStringList{QStringLiteral("2301"), QStringLiteral("2302")};
        p.SignalMode = QStringList{QStringLiteral("串口"), QStringLiteral("网络")};
        p.Signal1 = QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("192.168.1.2")};
        p.Signal2 = QStringList{QStringLiteral("9600"), QStringLiteral("502")};
        p.Rate = QStringList{QStringLiteral("1"), QStringLiteral("2")};
        p.Interval = QStringLiteral("0.5");
        p.CHName = QStringList{QStringLiteral("1-1"), QStringLiteral("2-3")};
        p.CHType = QStringList{QStringLiteral("NTC"), QStringLiteral("RTD")};
        p.CHFunction = QStringList{QStringLiteral("R(T)"), QStringLiteral("CVD")};
        p.CHWire = QStringList{QStringLiteral("4"), QStringLiteral("Auto")};
        p.CHUnit = QStringList{QStringLiteral("℃"), QStringLiteral("Ω")};
        p.CHM = QStringList{QStringLiteral("1.00000"), QStringLiteral("2.50000")};
        p.CHB = QStringList{QStringLiteral("0.00000"), QStringLiteral("-1.00000")};
        p.CHDisplayUnit = QStringList{QStringLiteral("℃"), QStringLiteral("Ω")};
        return p;
    }

private slots:
    void init()
    {
        m_oldCwd = QDir::currentPath();
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        QDir::setCurrent(m_dir->path());
        QVERIFY(Tool::openDatabase());
    }

    void cleanup()
    {
        Tool::closeDatabase(QStringLiteral("DAQ"));
        Tool::closeDatabase();
        QDir::setCurrent(m_oldCwd);
        delete m_dir;
        m_dir = nullptr;
    }

    void freshDatabaseHasEveryTableAndDefaults()
    {
        QVERIFY(QFile::exists(QStringLiteral("DAQ.db3")));
        const QStringList tables = QSqlDatabase::database().tables();
        for (const char *t : {"Collection", "ChannelData", "Parameters", "ParametersData", "Calibration",
                              "CalibrationData", "AuditLog", "SystemSet"})
            QVERIFY2(tables.contains(QLatin1String(t)), t);
        QString data;
        QVERIFY(Tool::getSystemSet(SystemSetKeys::DataAccuracy, data));
        QCOMPARE(data, QStringLiteral("2"));
        QVERIFY(Tool::getSystemSet(SystemSetKeys::EmailInterval, data));
        QCOMPARE(data, QStringLiteral("10"));
        QVERIFY(Tool::getSystemSet(SystemSetKeys::Switch_Notification, data));
        QCOMPARE(data, QStringLiteral("true"));

        // Reopening keeps what the user changed.
        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, QStringLiteral("4")));
        Tool::closeDatabase();
        QVERIFY(Tool::openDatabase());
        QVERIFY(Tool::getSystemSet(SystemSetKeys::DataAccuracy, data));
        QCOMPARE(data, QStringLiteral("4"));
    }

    void systemSetMissingRows()
    {
        QString data = QStringLiteral("stale");
        QVERIFY(Tool::getSystemSet(QStringLiteral("CalibrationDelay"), data));
        QVERIFY(data.isEmpty());
        QCOMPARE(rowCount(QStringLiteral("SystemSet WHERE Name = 'CalibrationDelay'")), 1);

        // Writing a row that does not exist stores it.
        QVERIFY(Tool::setSystemSet(QStringLiteral("CalibrationTemp"), QStringLiteral("0,50,100")));
        QVERIFY(Tool::getSystemSet(QStringLiteral("CalibrationTemp"), data));
        QCOMPARE(data, QStringLiteral("0,50,100"));
        QVERIFY(Tool::setSystemSet(QStringLiteral("CalibrationTemp"), QStringLiteral("20")));
        QVERIFY(Tool::getSystemSet(QStringLiteral("CalibrationTemp"), data));
        QCOMPARE(data, QStringLiteral("20"));
        QCOMPARE(rowCount(QStringLiteral("SystemSet WHERE Name = 'CalibrationTemp'")), 1);
    }

    void collectionRoundTrip()
    {
        Tool::Struct_Collection c;
        c.Model = QStringLiteral("P530W-NTC");
        c.Serial = QStringLiteral("2301");
        c.SignalMode = QStringLiteral("网络");
        c.Signal1 = QStringLiteral("10.0.0.5");
        c.Signal2 = QStringLiteral("502");
        c.Rate = QStringLiteral("快速");
        c.Interval = 2.5;
        c.CHSerial = QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
        c.CHUnit = QStringList{QStringLiteral("℃"), QStringLiteral("Ω"), QStringLiteral("℃")};
        QVERIFY(Tool::addCollection(c));
        Tool::Struct_Collection empty;
        empty.Serial = QStringLiteral("9");
        QVERIFY(Tool::addCollection(empty));

        QList<Tool::Struct_Collection> list;
        QVERIFY(Tool::getCollection(list));
        QCOMPARE(list.size(), 2);
        const auto &r = list.first();
        QCOMPARE(r.Model, c.Model);
        QCOMPARE(r.SignalMode, c.SignalMode);
        QCOMPARE(r.Signal1, c.Signal1);
        QCOMPARE(r.Signal2, c.Signal2);
        QCOMPARE(r.Rate, c.Rate);
        QCOMPARE(r.Interval, 2.5);
        QCOMPARE(r.CHSerial, c.CHSerial);
        QCOMPARE(r.CHUnit, c.CHUnit);
        QVERIFY(list.at(1).CHSerial.isEmpty());

        QVERIFY(Tool::deleteCollection(QStringLiteral("2301")));
        list.clear();
        QVERIFY(Tool::getCollection(list));
        QCOMPARE(list.size(), 1);
    }

    void channelDataRoundTrip()
    {
        Tool::Struct_ChannelData d;
        d.Name = QStringLiteral("set 'a'");
        d.Model = QStringLiteral("P540W");
        d.Number = QStringList{QStringLiteral("1"), QStringLiteral("2")};
        d.Type = QStringList{QStringLiteral("NTC"), QStringLiteral("RTD")};
        d.A = QStringList{QStringLiteral("1.2E-03"), QStringLiteral("0")};
        d.Offset_M = QStringList{QStringLiteral("1"), QStringLiteral("1")};
        d.Parameter2 = QStringList{QStringLiteral("x"), QStringLiteral("y")};
        QVERIFY(Tool::addChannelData(d));
        QList<Tool::Struct_ChannelData> list;
        QVERIFY(Tool::getChannelData(list));
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].Name, d.Name);
        QCOMPARE(list[0].Number, d.Number);
        QCOMPARE(list[0].Type, d.Type);
        QCOMPARE(list[0].A, d.A);
        QCOMPARE(list[0].Offset_M, d.Offset_M);
        QCOMPARE(list[0].Parameter2, d.Parameter2);
        QVERIFY(list[0].B.isEmpty());
        QVERIFY(Tool::deleteChannelData(d.Name));
        list.clear();
        QVERIFY(Tool::getChannelData(list));
        QVERIFY(list.isEmpty());
    }

    void parametersRoundTripWithAwkwardNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("Oven A");
        QTest::newRow("quote") << QStringLiteral("Bob's oven");
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
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
        QCOMPARE(r.Name, name);
        QCOMPARE(r.CreateTime, p.CreateTime);
        QCOMPARE(r.StartTime, p.StartTime);
        QCOMPARE(r.Model, p.Model);
        QCOMPARE(r.Serial, p.Serial);
        QCOMPARE(r.SignalMode, p.SignalMode);
        QCOMPARE(r.Signal1, p.Signal1);
        QCOMPARE(r.Signal2, p.Signal2);
        QCOMPARE(r.Rate, p.Rate);
        QCOMPARE(r.Interval, p.Interval);
        QCOMPARE(r.CHName, p.CHName);
        QCOMPARE(r.CHType, p.CHType);
        QCOMPARE(r.CHFunction, p.CHFunction);
        QCOMPARE(r.CHWire, p.CHWire);
        QCOMPARE(r.CHUnit, p.CHUnit);
        QCOMPARE(r.CHM, p.CHM);
        QCOMPARE(r.CHB, p.CHB);
        QCOMPARE(r.CHDisplayUnit, p.CHDisplayUnit);

        QList<Tool::Struct_Parameters> found;
        QVERIFY(Tool::queryParameters(found, name));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, name);
        QCOMPARE(rowCount(QStringLiteral("Parameters")), 1);
    }

    void unknownProjectIsNull()
    {
        Tool::Struct_Parameters r;
        QVERIFY(Tool::getParameters(r, QStringLiteral("nobody")));
        QCOMPARE(r.Name, QStringLiteral("NULL"));
    }

    void queryParametersMatchesLiterally()
    {
        QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("50% run"))));
        QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("500 run"))));
        QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("a_b"))));
        QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("axb"))));

        QList<Tool::Struct_Parameters> found;
        QVERIFY(Tool::queryParameters(found, QStringLiteral("0%")));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, QStringLiteral("50% run"));
        found.clear();
        QVERIFY(Tool::queryParameters(found, QStringLiteral("_")));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().Name, QStringLiteral("a_b"));
        found.clear();
        QVERIFY(Tool::queryParameters(found, QString()));
        QCOMPARE(found.size(), 4);
        QCOMPARE(found.first().Name, QStringLiteral("50% run")); // insertion order
        QCOMPARE(found.last().Name, QStringLiteral("axb"));
    }

    void parametersDataSortedAndFiltered()
    {
        const QDateTime t0 = QDateTime::fromString(QStringLiteral("2024-05-01 08:00:00.000"),
                                                   QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        // Stored out of order, two projects.
        QVERIFY(Tool::addParametersData({QStringLiteral("p'1"), t0.addMSecs(2500), {QStringLiteral("3.0")}}));
        QVERIFY(Tool::addParametersData({QStringLiteral("p'1"), t0, {QStringLiteral("1.0"), QStringLiteral("-2")}}));
        QVERIFY(Tool::addParametersData({QStringLiteral("other"), t0.addMSecs(1000), {QStringLiteral("9")}}));
        QVERIFY(Tool::addParametersData({QStringLiteral("p'1"), t0.addMSecs(1), {QStringLiteral("2.0")}}));

        QList<Tool::Struct_ParametersData> rows;
        QVERIFY(Tool::getParametersData(rows, QStringLiteral("p'1")));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].Time, t0);
        QCOMPARE(rows[0].Data, (QStringList{QStringLiteral("1.0"), QStringLiteral("-2")}));
        QCOMPARE(rows[1].Time, t0.addMSecs(1));
        QCOMPARE(rows[2].Time, t0.addMSecs(2500));

        rows.clear();
        QVERIFY(Tool::getParametersData(rows, QString()));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[2].Name, QStringLiteral("other"));

        // Rename moves only the rows of that project; an equal name changes nothing.
        QVERIFY(Tool::modifytParametersData(QStringLiteral("p'1"), QStringLiteral("p'1")));
        QVERIFY(Tool::modifytParametersData(QStringLiteral("p'1"), QStringLiteral("renamed")));
        rows.clear();
        QVERIFY(Tool::getParametersData(rows, QStringLiteral("renamed")));
        QCOMPARE(rows.size(), 3);
        rows.clear();
        QVERIFY(Tool::getParametersData(rows, QStringLiteral("p'1")));
        QVERIFY(rows.isEmpty());

        QVERIFY(Tool::deleteParametersData(QStringLiteral("renamed")));
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 1);
    }

    void batchInsertIsAllOrNothing()
    {
        QList<Tool::Struct_ParametersData> batch;
        const QDateTime t0 = QDateTime::currentDateTime();
        for (int i = 0; i < 5; ++i)
            batch.append({QStringLiteral("batch"), t0.addSecs(i), {QString::number(i)}});
        QVERIFY(Tool::addParametersDataList(batch));
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 5);

        // A trigger refuses the fourth row of the next batch: nothing of it may stay.
        QSqlQuery q;
        QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData "
                                      "WHEN NEW.Data = '3' AND NEW.Name = 'second' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        for (auto &r : batch)
            r.Name = QStringLiteral("second");
        QVERIFY(!Tool::addParametersDataList(batch));
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 5);

        // After the failure the connection is usable and a retry without the fault works.
        QVERIFY(q.exec(QStringLiteral("DROP TRIGGER refuse")));
        QVERIFY(Tool::addParametersDataList(batch));
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 10);
    }

    void transactionsNestAndRollBack()
    {
        {
            Tool::Transaction outer;
            QVERIFY(outer.isActive());
            QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("keep?"))));
            // The batch's own transaction nests inside the caller's.
            QVERIFY(Tool::addParametersDataList({{QStringLiteral("keep?"), QDateTime::currentDateTime(),
                                                  {QStringLiteral("1")}}}));
            // No commit: leaving the scope rolls everything back.
        }
        QCOMPARE(rowCount(QStringLiteral("Parameters")), 0);
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 0);

        QVERIFY(Tool::addParameters(sampleProject(QStringLiteral("gone"))));
        QVERIFY(Tool::addParametersData({QStringLiteral("gone"), QDateTime::currentDateTime(), {QStringLiteral("1")}}));
        QVERIFY(Tool::addParametersData({QStringLiteral("stays"), QDateTime::currentDateTime(), {QStringLiteral("1")}}));
        QVERIFY(Tool::deleteProject(QStringLiteral("gone")));
        QCOMPARE(rowCount(QStringLiteral("Parameters")), 0);
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 1);
    }

    void calibrationRoundTrip()
    {
        Tool::Struct_Calibration c{QStringLiteral("2024-05-01 08:00:00"), QStringLiteral("P540W"),
                                   QStringLiteral("77"), {QStringLiteral("1"), QStringLiteral("4")}};
        QVERIFY(Tool::addCalibration(c));
        QVERIFY(Tool::addCalibration({QStringLiteral("2024-05-02 08:00:00"), QStringLiteral("P750W"),
                                      QStringLiteral("78"), {}}));
        QList<Tool::Struct_Calibration> list;
        QVERIFY(Tool::getCalibration(list, QString()));
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].TimeName, c.TimeName);
        QCOMPARE(list[0].CHNumber, c.CHNumber);

        Tool::Struct_CalibrationData d;
        d.Name = c.TimeName;
        d.Number = QStringLiteral("4");
        d.Type = QStringLiteral("RTD");
        d.Range = QStringLiteral("CVD");
        d.Wire = QStringLiteral("4");
        d.A = QStringLiteral("3.9083000000E-03");
        d.B4 = QStringLiteral("0");
        d.Offset_M = QStringLiteral("1");
        d.Offset_B = QStringLiteral("0");
        d.CList = QStringList{QStringLiteral("0.000000"), QStringLiteral("100.000000")};
        d.DList = QStringList{QStringLiteral("100.00000000"), QStringLiteral("138.50550000")};
        QVERIFY(Tool::addCalibrationData(d));

        Tool::Struct_CalibrationData r;
        QVERIFY(Tool::getCalibrationData(r, c.TimeName, QStringLiteral("4")));
        QCOMPARE(r.Range, d.Range);
        QCOMPARE(r.A, d.A);
        QCOMPARE(r.CList, d.CList);
        QCOMPARE(r.DList, d.DList);

        Tool::Struct_CalibrationData none;
        none.Type = QStringLiteral("kept");
        QVERIFY(Tool::getCalibrationData(none, c.TimeName, QStringLiteral("9")));
        QCOMPARE(none.Type, QStringLiteral("kept"));

        QVERIFY(Tool::deleteCalibrationData(c.TimeName, QStringLiteral("4")));
        QVERIFY(Tool::deleteCalibration(c.TimeName));
        list.clear();
        QVERIFY(Tool::getCalibration(list, QString()));
        QCOMPARE(list.size(), 1);
        QCOMPARE(rowCount(QStringLiteral("CalibrationData")), 0);
    }

    void auditLog()
    {
        QVERIFY(Tool::addAuditLog(QStringLiteral("通讯异常"), QStringLiteral("text with 'quote'")));
        QList<Tool::Struct_AuditLog> list;
        QVERIFY(Tool::getAuditLog(list));
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].Type, QStringLiteral("通讯异常"));
        QCOMPARE(list[0].Text, QStringLiteral("text with 'quote'"));
        QVERIFY(QDateTime::fromString(list[0].Time, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
    }

    void closedDatabaseFails()
    {
        Tool::closeDatabase();
        QList<Tool::Struct_Collection> list;
        QVERIFY(!Tool::getCollection(list));
        Tool::Struct_Parameters r;
        QVERIFY(!Tool::getParameters(r, QStringLiteral("x")));
        QVERIFY(!Tool::addAuditLog(QStringLiteral("a"), QStringLiteral("b")));
        {
            Tool::Transaction failed;
            QVERIFY(!failed.isActive());
        }
        QVERIFY(!Tool::addParametersDataList({{QStringLiteral("x"), QDateTime::currentDateTime(), {}}}));
        QVERIFY(Tool::openDatabase());

        // A transaction that could not begin leaves later ones whole: a batch failing on its
        // second row keeps nothing.
        QSqlQuery q;
        QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData "
                                      "WHEN NEW.Data = '2' BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(!Tool::addParametersDataList({{QStringLiteral("x"), now, {QStringLiteral("1")}},
                                              {QStringLiteral("x"), now, {QStringLiteral("2")}}}));
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), 0);
    }

    void twoConnectionsWriteAtOnce()
    {
        const int perSide = 400;
        std::atomic<int> failures{0};
        QThread *worker = QThread::create([&] {
            const QString name = QStringLiteral("DAQ");
            if (!Tool::openDatabase(QStringLiteral("DAQ.db3"), name)) {
                failures += perSide;
                return;
            }
            for (int i = 0; i < perSide; ++i) {
                const QList<Tool::Struct_ParametersData> sample = {
                    {QStringLiteral("a"), QDateTime::currentDateTime(), {QString::number(i)}},
                    {QStringLiteral("b"), QDateTime::currentDateTime(), {QString::number(i)}}};
                if (!Tool::addParametersDataList(sample, name))
                    ++failures;
            }
            Tool::closeDatabase(name);
        });
        worker->start();
        for (int i = 0; i < perSide; ++i) {
            if (!Tool::addAuditLog(QStringLiteral("t"), QString::number(i)))
                ++failures;
            if (!Tool::addParametersData({QStringLiteral("gui"), QDateTime::currentDateTime(), {QString::number(i)}}))
                ++failures;
        }
        QVERIFY(worker->wait(60000));
        delete worker;
        QCOMPARE(failures.load(), 0);
        QCOMPARE(rowCount(QStringLiteral("ParametersData")), perSide * 3);
        QCOMPARE(rowCount(QStringLiteral("AuditLog")), perSide);
    }

    void listHelpers()
    {
        QCOMPARE(Tool::toStringList(2, {1.0, -0.005, 12.345}),
                 (QStringList{QStringLiteral("1.00"), QStringLiteral("-0.01"), QStringLiteral("12.35")}));
        QCOMPARE(Tool::toStringList(0, {2.4}), QStringList{QStringLiteral("2")});
        QVERIFY(Tool::toStringList(3, {}).isEmpty());
        QCOMPARE(Tool::toDoubleList({QStringLiteral("1.5"), QStringLiteral("x"), QString(), QStringLiteral("-2e1")}),
                 (QList<double>{1.5, 0.0, 0.0, -20.0}));
        QCOMPARE(Tool::sum({}), 0.0);
        QCOMPARE(Tool::sum({1.5, 2.25, -1.0}), 2.75);
    }

    void uniqueUnits_data()
    {
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QStringList>("expected");
        const QString C = QStringLiteral("℃"), F = QStringLiteral("℉"), O = QStringLiteral("Ω"),
                      H = QStringLiteral("%RH"), V = QStringLiteral("V");
        QTest::newRow("none") << QStringList() << QStringList{QString(), QString()};
        QTest::newRow("one") << QStringList{O, O} << QStringList{O, QString()};
        QTest::newRow("two, celsius first") << QStringList{C, O, C} << QStringList{C, O};
        QTest::newRow("two, fahrenheit first") << QStringList{F, H} << QStringList{F, H};
        QTest::newRow("two, celsius second") << QStringList{O, C} << QStringList{C, O};
        QTest::newRow("two, no temperature") << QStringList{H, V, H} << QStringList{V, H};
        QTest::newRow("three keep first appearance") << QStringList{O, C, V, C} << QStringList{O, C, V};
    }

    void uniqueUnits()
    {
        QFETCH(QStringList, units);
        QFETCH(QStringList, expected);
        QCOMPARE(Tool::uniqueUnits(units), expected);
        QCOMPARE(Tool::uniqueUnits(units), expected); // same answer every time
    }

    void unitToQuantity_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("quantity");
        QTest::newRow("C") << QStringLiteral("℃") << QStringLiteral("温度");
        QTest::newRow("F") << QStringLiteral("℉") << QStringLiteral("温度");
        QTest::newRow("RH") << QStringLiteral("%RH") << QStringLiteral("湿度");
        QTest::newRow("KPa") << QStringLiteral("KPa") << QStringLiteral("压力");
        QTest::newRow("psi") << QStringLiteral("psi") << QStringLiteral("压力");
        QTest::newRow("mV") << QStringLiteral("mV") << QStringLiteral("电压");
        QTest::newRow("kOhm") << QStringLiteral("kΩ") << QStringLiteral("电阻");
        QTest::newRow("uA") << QStringLiteral("μA") << QStringLiteral("电流");
        QTest::newRow("A") << QStringLiteral("A") << QStringLiteral("电流");
        QTest::newRow("kPa lower case") << QStringLiteral("kPa") << QStringLiteral("其他");
        QTest::newRow("empty") << QString() << QStringLiteral("其他");
    }

    void unitToQuantity()
    {
        QFETCH(QString, unit);
        QFETCH(QString, quantity);
        QCOMPARE(Tool::unitToQuantity(unit), quantity);
    }
};

QTEST_GUILESS_MAIN(tst_Tool)
#include "tst_Tool.moc"
