#include "acquisition/ParametersDataWriter.h"
#include "store/Tool.h"
#include "support/DatabaseLock.h"
#include "support/LogCapture.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString kCreated = QStringLiteral("2024-05-01 08:00:00");

ParametersDataWriter::Settings settings()
{
    ParametersDataWriter::Settings s;
    s.DatabasePath = QStringLiteral("DAQ.db3");
    s.ConnectionName = QStringLiteral("DAQ");
    s.LockWaitMs = 10;
    s.RetryMs = 100;
    s.FinalLockWaitMs = 10;
    s.MaxHeldSamples = 10;
    s.MaxSamplesPerTransaction = 4;
    return s;
}

Struct_Sample sample(int i)
{
    const QDateTime base = QDateTime::fromString(QStringLiteral("2024-05-01 08:00:00.000"), "yyyy-MM-dd hh:mm:ss.zzz");
    return Struct_Sample{base.addMSecs(10 * i), {{double(i)}, {100.0 + i, 0.5}}};
}

// "time values" of the project's rows in the order they were stored.
QStringList storedRows(const QString &project)
{
    QStringList rows;
    QSqlQuery q(QSqlDatabase::database());
    q.prepare("SELECT Time, Data FROM ParametersData WHERE Name = ? ORDER BY rowid");
    q.addBindValue(project);
    q.exec();
    while (q.next())
        rows << q.value(0).toString() + " " + q.value(1).toString();
    return rows;
}

} // namespace

class tst_ParametersDataWriter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        for (const char *name : {"P1", "P2"}) {
            Tool::Struct_Parameters project;
            project.Name = name;
            project.CreateTime = kCreated;
            QVERIFY(Tool::addParameters(project));
        }
    }

    void cleanup() { m_dir.reset(); }

    // Another program holds the lock while 30 samples come in: beyond the limit of 10 held
    // samples the oldest are given up, logged in one line with their count and time range, and
    // reported once; the newest 10 are stored for both projects, in time order, once the lock
    // is gone (in transactions of at most 4 samples, every one of whole samples).
    void heldSamplesBeyondTheLimit()
    {
        ParametersDataWriter writer(settings(), {{"P1", kCreated}, {"P2", kCreated}});
        QList<int> reported;
        writer.onRefused = [&](int count, bool last) { reported << count << int(last); };
        LogCapture log;
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        // All are queued before the writer's first try, so one try meets all of them.
        for (int i = 0; i < 30; ++i)
            writer.add(sample(i));
        QVERIFY(writer.start());
        QTRY_VERIFY(log.contains("samples not stored in the database"));
        lock.release();
        QCOMPARE(writer.finish(), 0);

        QCOMPARE(log.messages().filter("samples not stored in the database"),
                 QStringList{"samples not stored in the database: 20 from 2024-05-01 08:00:00.000 to "
                             "2024-05-01 08:00:00.190 - more samples held than the limit while the database is locked"});
        QCOMPARE(reported, (QList<int>{20, 0}));
        QCOMPARE(writer.refusedSamples(), 20);
        QStringList p1, p2;
        for (int i = 20; i < 30; ++i) {
            const QString time = sample(i).Time.toString("yyyy-MM-dd hh:mm:ss.zzz");
            p1 << time + " " + Tool::toStringList(10, {double(i)}).join(',');
            p2 << time + " " + Tool::toStringList(10, {100.0 + i, 0.5}).join(',');
        }
        QCOMPARE(storedRows("P1"), p1);
        QCOMPARE(storedRows("P2"), p2);
    }

    // The disk under the database is full: the samples that come during the pause after a refused
    // try are refused together in the next one (one log line each, not one per sample), every one
    // is counted, and once there is room the next samples are stored.
    void fullDiskRefusesBatches()
    {
        SmallTmpfs disk(1024 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        QVERIFY(QDir::setCurrent(disk.path()) && Tool::openDatabase("DAQ.db3"));
        for (const char *name : {"P1", "P2"}) {
            Tool::Struct_Parameters project;
            project.Name = name;
            project.CreateTime = kCreated;
            QVERIFY(Tool::addParameters(project));
        }
        ParametersDataWriter::Settings s = settings();
        s.RetryMs = 200;
        ParametersDataWriter writer(s, {{"P1", kCreated}, {"P2", kCreated}});
        QVERIFY(writer.start());
        QVERIFY(disk.fill());
        LogCapture log;
        for (int i = 0; i < 40; ++i) {
            writer.add(sample(i));
            QTest::qWait(10);
        }
        QTRY_COMPARE(writer.refusedSamples(), 40);
        const int lines = log.messages().filter("samples not stored in the database").size();
        QVERIFY2(lines >= 1 && lines <= 6, qPrintable(log.text()));
        QVERIFY(writer.lastFailure().contains("full"));
        disk.makeRoom();
        writer.add(sample(40));
        QCOMPARE(writer.finish(), 0);
        QCOMPARE(storedRows("P1").size() + storedRows("P2").size(), 2);
    }

    // The thread stops by an exception: what it held is given up as by the last try, and so is
    // every sample added afterwards (counted and reported, never queued).
    void storeThatThrows()
    {
        ParametersDataWriter::Settings s = settings();
        s.BeforeStore = [] { throw std::runtime_error("planted"); };
        ParametersDataWriter writer(s, {{"P1", kCreated}, {"P2", kCreated}});
        QList<int> reported;
        writer.onRefused = [&](int count, bool last) { reported << count << int(last); };
        writer.add(sample(0));
        writer.add(sample(1));
        QVERIFY(writer.start());
        QTRY_VERIFY(writer.stopped());
        writer.add(sample(2));
        QCOMPARE(writer.finish(), 3);
        QCOMPARE(reported, (QList<int>{2, 1, 1, 1}));
        QCOMPARE(writer.refusedSamples(), 3);
        QCOMPARE(storedRows("P1").size() + storedRows("P2").size(), 0);
    }

    // A project replaced by a later one of the same name is not the run's project: its samples
    // are not stored into it, the project is named once, the other project goes on.
    void projectReplacedByOneOfTheSameName()
    {
        ParametersDataWriter writer(settings(), {{"P1", kCreated}, {"P2", kCreated}});
        QStringList gone;
        writer.onProjectGone = [&](const QString &project) { gone << project; };
        QVERIFY(writer.start());
        writer.add(sample(0));
        QTRY_COMPARE(storedRows("P1").size(), 1);
        QVERIFY(Tool::deleteProject("P1"));
        Tool::Struct_Parameters later;
        later.Name = "P1";
        later.CreateTime = "2024-05-02 09:00:00";
        QVERIFY(Tool::addParameters(later));
        writer.add(sample(1));
        writer.add(sample(2));
        QCOMPARE(writer.finish(), 0);
        QCOMPARE(gone, QStringList{"P1"});
        QCOMPARE(storedRows("P1").size() * 10 + storedRows("P2").size(), 3);
        QCOMPARE(writer.refusedSamples(), 0);
    }
};

QTEST_MAIN(tst_ParametersDataWriter)
#include "tst_ParametersDataWriter.moc"
