#include "store/SystemSetKeys.h"
#include "store/Tool.h"
#include "support/DatabaseLock.h"
#include "support/TestWorkDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <ctime>

#include <atomic>
#include <memory>
#include <tuple>

namespace {

int rowCount(const QString &table)
{
    QSqlQuery q(QSqlDatabase::database());
    q.exec("SELECT COUNT(*) FROM " + table);
    return q.next() ? q.value(0).toInt() : -1;
}

// The setting's text and how many rows it has.
QString setting(const QString &name)
{
    QString data = "stale";
    const QString text = Tool::getSystemSet(name, data) ? data : "<failed>";
    return text + "|" + QString::number(rowCount("SystemSet WHERE Name = '" + name + "'"));
}

Tool::Struct_Parameters sampleProject(const QString &name)
{
    return {name, "2024-05-01 08:00:00", "2024-05-01 08:01:00", {"P540W", "P750W"}, {"2301", "2302"}, {"串口", "网络"},
            {"/dev/ttyS0", "192.168.1.2"}, {"9600", "502"}, {"1", "2"}, "0.5", {"1-1", "2-3"}, {"NTC", "RTD"},
            {"R(T)", "CVD"}, {"4", "Auto"}, {"℃", "Ω"}, {"1.00000", "2.50000"}, {"0.00000", "-1.00000"}, {"℃", "Ω"}};
}

// Every field of a project, so one comparison covers the whole record.
QVariantList fields(const Tool::Struct_Parameters &p)
{
    return {p.Name, p.CreateTime, p.StartTime, p.Model, p.Serial, p.SignalMode, p.Signal1, p.Signal2, p.Rate,
            p.Interval, p.CHName, p.CHType, p.CHFunction, p.CHWire, p.CHUnit, p.CHM, p.CHB, p.CHDisplayUnit};
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

    // A missing row is inserted on read and on write; reopening keeps what the user changed.
    void systemSet()
    {
        QCOMPARE(setting(SystemSetKeys::DataAccuracy) + setting("CalibrationDelay"), QStringLiteral("2|1|1"));
        QVERIFY(Tool::setSystemSet("CalibrationTemp", "0,50,100") && Tool::setSystemSet("CalibrationTemp", "20"));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, "4"));
        Tool::closeDatabase();
        QVERIFY(Tool::openDatabase());
        QCOMPARE(setting(SystemSetKeys::DataAccuracy) + setting("CalibrationTemp"), QStringLiteral("4|120|1"));
        // A default row that went missing comes back with its default on the next opening.
        QVERIFY(QSqlQuery().exec("DELETE FROM SystemSet WHERE Name = '" + SystemSetKeys::DataAccuracy + "'"));
        Tool::closeDatabase();
        QVERIFY(Tool::openDatabase());
        QCOMPARE(setting(SystemSetKeys::DataAccuracy) + setting("CalibrationTemp"), QStringLiteral("2|120|1"));
    }

    // Instruments, coefficient sets, calibration runs and the audit log through a fresh file.
    void otherRecordsRoundTrip()
    {
        const Tool::Struct_Collection c{"P530W-NTC", "2301", "网络", "10.0.0.5", "502", "快速", 2.5, {"1", "2", "3"}, {"℃", "Ω", "℃"}};
        Tool::Struct_Collection empty;
        empty.Serial = "9";
        QVERIFY(Tool::addCollection(c) && Tool::addCollection(empty) && Tool::deleteCollection("9"));
        QList<Tool::Struct_Collection> devices;
        QVERIFY(Tool::getCollection(devices));
        QCOMPARE(devices.size(), 1);
        const auto &r = devices.first();
        QCOMPARE(QVariantList({r.Model, r.Serial, r.SignalMode, r.Signal1, r.Signal2, r.Rate, r.Interval, r.CHSerial, r.CHUnit}),
                 QVariantList({c.Model, c.Serial, c.SignalMode, c.Signal1, c.Signal2, c.Rate, c.Interval, c.CHSerial, c.CHUnit}));

        Tool::Struct_ChannelData d;
        d.Name = "set 'a'";
        d.Number = QStringList{"1", "2"};
        d.A = QStringList{"1.2E-03", "0"};
        d.Parameter2 = QStringList{"x", "y"};
        QList<Tool::Struct_ChannelData> sets;
        QVERIFY(Tool::addChannelData(d) && Tool::getChannelData(sets) && sets.size() == 1);
        QCOMPARE(QVariantList({sets[0].Name, sets[0].Number, sets[0].A, sets[0].Parameter2, sets[0].B}),
                 QVariantList({d.Name, d.Number, d.A, d.Parameter2, QStringList()})); // empty stays empty
        QVERIFY(Tool::deleteChannelData(d.Name) && rowCount("ChannelData") == 0);

        const Tool::Struct_Calibration run{"2024-05-01 08:00:00", "P540W", "77", {"1", "4"}};
        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::addCalibration(run) && Tool::addCalibration({"2024-05-02 08:00:00", "P750W", "78", {}}));
        QVERIFY(Tool::getCalibration(runs, QString()) && runs.size() == 2 && runs[0].CHNumber == run.CHNumber);
        Tool::Struct_CalibrationData cd, back, none;
        std::tie(cd.Name, cd.Number, cd.Range, cd.A) = std::make_tuple(run.TimeName, "4", "CVD", "3.9083000000E-03");
        cd.CList = QStringList{"0.000000", "100.000000"};
        cd.DList = QStringList{"100.00000000", "138.50550000"};
        QVERIFY(Tool::addCalibrationData(cd) && Tool::getCalibrationData(back, run.TimeName, "4"));
        QCOMPARE(QVariantList({back.Range, back.A, back.CList, back.DList}), QVariantList({cd.Range, cd.A, cd.CList, cd.DList}));
        none.Type = "kept"; // no such channel: the record is left as it was
        QVERIFY(Tool::getCalibrationData(none, run.TimeName, "9") && none.Type == "kept");
        QVERIFY(Tool::deleteCalibrationData(run.TimeName, "4") && Tool::deleteCalibration(run.TimeName));
        QCOMPARE(rowCount("Calibration") + 10 * rowCount("CalibrationData"), 1);

        QList<Tool::Struct_AuditLog> log;
        QVERIFY(Tool::addAuditLog("通讯异常", "text with 'quote'") && Tool::getAuditLog(log) && log.size() == 1);
        QCOMPARE(log[0].Type + "|" + log[0].Text, QStringLiteral("通讯异常|text with 'quote'"));
        QVERIFY(QDateTime::fromString(log[0].Time, "yyyy-MM-dd hh:mm:ss").isValid());
    }

    void parametersRoundTripWithAwkwardNames_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Oven A", "Bob's \"oven\"", "100% humid", "a -- b; DROP TABLE Parameters", "恒温槽一号"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }

    void parametersRoundTripWithAwkwardNames()
    {
        QFETCH(QString, name);
        const Tool::Struct_Parameters p = sampleProject(name);
        Tool::Struct_Parameters r;
        QList<Tool::Struct_Parameters> found;
        QVERIFY(Tool::addParameters(p) && Tool::getParameters(r, name) && Tool::queryParameters(found, name));
        QCOMPARE(fields(r), fields(p));
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
        const auto names = [](const QString &filter) {
            QList<Tool::Struct_Parameters> found;
            QStringList texts{Tool::queryParameters(found, filter) ? "ok" : "failed"};
            for (const auto &p : found)
                texts << p.Name;
            return texts.join('|');
        };
        QCOMPARE(names("0%") + " " + names("_") + " " + names(QString()),
                 QStringLiteral("ok|50% run ok|a_b ok|50% run|500 run|a_b|axb")); // insertion order
    }

    void parametersDataSortedAndFiltered()
    {
        const QDateTime t0 = QDateTime::fromString("2024-05-01 08:00:00.000", "yyyy-MM-dd hh:mm:ss.zzz");
        // Stored out of order, two projects.
        QVERIFY(Tool::addParametersData(sample("p'1", "3.0", t0.addMSecs(2500))));
        QVERIFY(Tool::addParametersData({"p'1", t0, {"1.0", "-2"}}));
        QVERIFY(Tool::addParametersData(sample("other", "9", t0.addMSecs(1000))));
        QVERIFY(Tool::addParametersData(sample("p'1", "2.0", t0.addMSecs(1))));

        QList<Tool::Struct_ParametersData> rows, all;
        QVERIFY(Tool::getParametersData(rows, "p'1") && Tool::getParametersData(all, QString()));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].Data, QStringList({"1.0", "-2"}));
        QCOMPARE(QList<QDateTime>({rows[0].Time, rows[1].Time, rows[2].Time}), QList<QDateTime>({t0, t0.addMSecs(1), t0.addMSecs(2500)}));
        QVERIFY(all.size() == 4 && all[2].Name == "other");

        // Rename moves only the rows of that project; an equal name changes nothing.
        QVERIFY(Tool::modifytParametersData("p'1", "p'1") && Tool::modifytParametersData("p'1", "renamed"));
        QCOMPARE(rowCount("ParametersData WHERE Name = 'renamed'"), 3);
        QVERIFY(Tool::deleteParametersData("renamed"));
        QCOMPARE(rowCount("ParametersData"), 1);
    }

    // The fast reader hands over each row's time (as fromString reads it) and its stored texts,
    // in time order, leaving out rows whose time is unreadable; rows of the same hour on different
    // days, one after the other, each keep their own day.
    void readParametersDataInTimeOrder()
    {
        const QString format = "yyyy-MM-dd hh:mm:ss.zzz";
        auto at = [&format](const char *text) { return QDateTime::fromString(text, format); };
        QVERIFY(Tool::addParametersData(sample("p'1", "5", at("2024-05-02 08:20:00.000"))));
        QVERIFY(Tool::addParametersData(sample("p'1", "4", at("2024-05-01 08:10:00.000"))));
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
        QCOMPARE(read, QStringList({"2024-02-29 23:59:59.001|1.5,-2", "2024-03-31 02:30:00.999|3,x",
                                    "2024-05-01 08:10:00.000|4", "2024-05-02 08:20:00.000|5"}));
        Tool::closeDatabase();
        QVERIFY(!Tool::readParametersData("p'1", [](qint64, const QString &) {}));
    }

    // Local times are read as a local date and time also in a time zone whose clocks change:
    // hours that do not exist, hours that come twice and the hours around them, row after row.
    void readParametersDataAcrossClockChanges()
    {
        const QByteArray zone = qgetenv("TZ");
        // Lord Howe Island's clocks change by half an hour, at 02:00.
        qputenv("TZ", "Australia/Lord_Howe");
        tzset();
        const QString format = "yyyy-MM-dd hh:mm:ss.zzz";
        QStringList texts;
        for (const char *day : {"2024-04-07 00:00:00.000", "2024-10-06 00:00:00.000"}) {
            const QDateTime start = QDateTime::fromString(day, format);
            for (int minutes = 0; minutes < 5 * 60; minutes += 7)
                texts << start.date().toString("yyyy-MM-dd ") + QTime(0, 0).addSecs(minutes * 60 + 13).addMSecs(minutes).toString("hh:mm:ss.zzz");
        }
        QSqlQuery q;
        for (const QString &text : texts)
            QVERIFY(q.exec(QStringLiteral("INSERT INTO ParametersData VALUES ('zone', '%1', '1')").arg(text)));
        QList<qint64> read, expected;
        const bool ok = Tool::readParametersData("zone", [&](qint64 ms, const QString &) { read << ms; });
        // Each as a local date and time (fromString refuses a time the clocks skip).
        for (const QString &text : texts)
            expected << QDateTime(QDate::fromString(text.left(10), "yyyy-MM-dd"), QTime::fromString(text.mid(11), "hh:mm:ss.zzz")).toMSecsSinceEpoch();
        qputenv("TZ", zone);
        tzset();
        QVERIFY(ok);
        QCOMPARE(read, expected); // the texts were stored in time order
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
        QCOMPARE(rowCount("Parameters") + rowCount("ParametersData"), 0);

        QVERIFY(Tool::addParameters(sampleProject("gone")));
        QVERIFY(Tool::addParametersData(sample("gone", "1")) && Tool::addParametersData(sample("stays", "1")));
        QVERIFY(Tool::deleteProject("gone"));
        QCOMPARE(rowCount("Parameters") + 10 * rowCount("ParametersData"), 10);
    }

    // Operations on a closed database fail; a transaction that could not begin leaves later
    // batches whole: one refused part-way keeps nothing, and a retry without the fault works.
    void closedDatabaseAndBatchAllOrNothing()
    {
        Tool::closeDatabase();
        QList<Tool::Struct_Collection> list;
        Tool::Struct_Parameters r;
        QVERIFY(!Tool::getCollection(list) && !Tool::getParameters(r, "x") && !Tool::addAuditLog("a", "b"));
        QVERIFY(!Tool::Transaction().isActive());
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
                if (!Tool::addParametersDataList({sample("a", QString::number(i)), sample("b", QString::number(i))}, "DAQ"))
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

    void shortLockWaitGivesUpAndSaysWhy()
    {
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        QElapsedTimer clock;
        clock.start();
        {
            const Tool::LockWait wait(300);
            QVERIFY(!Tool::deleteProject("x"));
            QVERIFY(Tool::lastFailureWasLock());
        }
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        lock.release();
        // The full wait is back, and a success clears the lock mark; another failure is not a lock.
        QVERIFY(Tool::deleteProject("x"));
        QVERIFY(!Tool::lastFailureWasLock());
        QSqlQuery q;
        QVERIFY(q.exec("PRAGMA busy_timeout"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), Tool::BusyTimeoutMs);
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData BEGIN SELECT RAISE(ABORT, 'no'); END"));
        QVERIFY(!Tool::addParametersData(sample("a", "1")));
        QVERIFY(!Tool::lastFailureWasLock());
    }

    // Connections sharing one cache meet another's write lock as "locked" (SQLite's code 6), not
    // "busy" (5), and at once, without the busy wait. For the user it is the same: another
    // connection holds the database and nothing was changed.
    void lockedCountsAsALock()
    {
        const QString shared = QStringLiteral("file:shared.db3?cache=shared");
        QVERIFY(Tool::openDatabase(shared, "holder") && Tool::openDatabase(shared, "writer"));
        {
            QSqlQuery holder(QSqlDatabase::database("holder"));
            QVERIFY(holder.exec("BEGIN IMMEDIATE"));
            QVERIFY(!Tool::addParametersData(sample("a", "1"), "writer"));
            QVERIFY2(Tool::lastFailureWasLock(), qPrintable(Tool::lastFailureText()));
            QCOMPARE(Tool::withLockNote("数据保存失败！"), QStringLiteral("数据保存失败！\n数据库正被其他程序使用，未做任何更改。"));
            QVERIFY(holder.exec("ROLLBACK"));
        }
        QVERIFY(Tool::addParametersData(sample("a", "1"), "writer") && !Tool::lastFailureWasLock());
        Tool::closeDatabase("writer");
        Tool::closeDatabase("holder");
    }

    void listHelpers()
    {
        QCOMPARE(Tool::toStringList(2, {1.0, -0.005, 12.345}), QStringList({"1.00", "-0.01", "12.35"}));
        QCOMPARE(Tool::toDoubleList({"1.5", "x", QString(), "-2e1"}), (QList<double>{1.5, 0.0, 0.0, -20.0}));
        // Stable order: first appearance, a temperature unit moved to the front of two.
        const QString C = "℃", F = "℉", O = "Ω", H = "%RH", V = "V";
        const QList<QPair<QStringList, QStringList>> cases = {
            {{}, {QString(), QString()}}, {{O, O}, {O, QString()}}, {{C, O, C}, {C, O}}, {{F, H}, {F, H}},
            {{O, C}, {C, O}}, {{H, V, H}, {V, H}}, {{O, C, V, C}, {O, C, V}}};
        for (const auto &c : cases)
            QCOMPARE(Tool::uniqueUnits(c.first), c.second);
    }
};

QTEST_GUILESS_MAIN(tst_Tool)
#include "tst_Tool.moc"
