#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ParametersCsvWriter.h"
#include "common/Struct_System.h"
#include "drivers/CollectionRecordFile.h"
#include "support/SmallTmpfs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <tuple>

#include <sys/stat.h>

namespace {

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The sample times of a file as the program's own import reads them; a line that does not fit
// ends the list early.
QList<QDateTime> importedTimes(const QString &path)
{
    CollectionRecordFile reader;
    QList<Struct_Channel> channels;
    QList<QDateTime> times;
    QDateTime time;
    QStringList values;
    if (reader.OpenCSVFile(path, channels)) {
        while (reader.GetCSVData(time, values) && !values.isEmpty())
            times.append(time);
    }
    return times;
}

// One tick of the display timer: hands the samples over and waits for any write it started.
void tick(ParametersCsvWriter &writer, const QList<Struct_Sample> &samples, const QDateTime &now)
{
    writer.addSamples(samples, now);
    writer.waitForDone();
}

} // namespace

class tst_ParametersCsvWriter : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name, const QString &day) const
    {
        return m_dir->filePath(QStringLiteral("Data/%1-%2.csv").arg(name, day));
    }
    QString folder() const { return m_dir->filePath(QStringLiteral("Data")); }
    // A writer of the two projects whose files were made at the given time.
    std::unique_ptr<ParametersCsvWriter> started(const QString &time)
    {
        auto writer = std::make_unique<ParametersCsvWriter>(m_projects, &m_system, folder());
        writer->createCsvFiles(at(time));
        return writer;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    Struct_System m_system;
    // Two instruments with the same channel numbers; two projects.
    QList<Tool::Struct_Parameters> m_projects{{}, {}};
    const QByteArray m_headerA = "Time,1-1(℃),2-1(℃)\n";
    const QByteArray m_headerB = "Time,1-2(%RH)\n";

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_system = Struct_System();
        m_system.DataAccuracy = 2;
        AcquisitionTiming::set(AcquisitionTiming());
        std::tie(m_projects[0].Name, m_projects[0].CHName, m_projects[0].CHDisplayUnit) =
            std::make_tuple("Oven A", QStringList{"1-1", "2-1"}, QStringList{"℃", "℃"});
        std::tie(m_projects[1].Name, m_projects[1].CHName, m_projects[1].CHDisplayUnit) =
            std::make_tuple("B", QStringList{"1-2"}, QStringList{"%RH"});
    }

    void headerAndRowsAtTheFlushInterval()
    {
        AcquisitionTiming timing;
        timing.CsvFlushMs = 2000;
        AcquisitionTiming::set(timing);
        auto writer = started("2024-05-01 08:00:00.000");

        // Files with their header only at the start; rows wait for the flush.
        tick(*writer, {{at("2024-05-01 08:00:01.005"), {{21.3749, -3.1}, {45.0}}}}, at("2024-05-01 08:00:01.100"));
        QCOMPARE(readFile(path("Oven A", "2024-05-01")) + readFile(path("B", "2024-05-01")), m_headerA + m_headerB);
        QCOMPARE(writer->pendingRowCount(), 2);

        // The tick at the flush time writes everything collected so far.
        tick(*writer, {{at("2024-05-01 08:00:02.005"), {{-0.004, 100.0}, {45.556}}}}, at("2024-05-01 08:00:02.000"));
        QCOMPARE(readFile(path("Oven A", "2024-05-01")) + readFile(path("B", "2024-05-01")),
                 m_headerA + "2024-05-01 08:00:01.005,21.37,-3.10\n2024-05-01 08:00:02.005,-0.00,100.00\n" + m_headerB
                     + "2024-05-01 08:00:01.005,45.00\n2024-05-01 08:00:02.005,45.56\n");

        // The next flush is one interval after the previous flush time; the number of decimals is
        // read at each flush.
        tick(*writer, {{at("2024-05-01 08:00:03.000"), {{1.0, 2.0}, {3.0}}}}, at("2024-05-01 08:00:03.999"));
        QCOMPARE(writer->pendingRowCount(), 2);
        m_system.DataAccuracy = 4;
        tick(*writer, {{at("2024-05-01 08:00:03.500"), {{1.0, 2.0}, {9.87654}}}}, at("2024-05-01 08:00:04.000"));
        QCOMPARE(writer->pendingRowCount(), 0);
        QVERIFY(readFile(path("B", "2024-05-01")).endsWith("45.56\n2024-05-01 08:00:03.000,3.0000\n"
                                                          "2024-05-01 08:00:03.500,9.8765\n"));

        // Stopped before the next flush: flushAll returns with the rows on disk; samples of the last
        // tick that come after the stop are written when the writer goes.
        writer->addSamples({{at("2024-05-01 08:00:04.500"), {{5.0, 6.0}, {7.0}}}}, at("2024-05-01 08:00:04.600"));
        writer->flushAll();
        QVERIFY(readFile(path("B", "2024-05-01")).endsWith("9.8765\n2024-05-01 08:00:04.500,7.0000\n"));
        writer->addSamples({{at("2024-05-01 08:00:05.001"), {{7.0, 8.0}, {9.0}}}}, at("2024-05-01 08:00:05.000"));
        writer.reset();
        QVERIFY(readFile(path("Oven A", "2024-05-01")).endsWith("6.0000\n2024-05-01 08:00:05.001,7.0000,8.0000\n"));
    }

    // A channel heading is quoted (RFC 4180) when it holds a separator, a quote or any line
    // break, a lone CR included, so that a reader never sees a record end inside the header.
    void headingQuoting_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("header");
        QTest::newRow("plain") << "℃" << "Time,1-1(℃)";
        QTest::newRow("empty") << "" << "Time,1-1()";
        QTest::newRow("comma") << "a,b" << "Time,\"1-1(a,b)\"";
        QTest::newRow("quote") << "\"in\"" << "Time,\"1-1(\"\"in\"\")\"";
        QTest::newRow("LF only") << "\n" << "Time,\"1-1(\n)\"";
        QTest::newRow("CR only") << "\r" << "Time,\"1-1(\r)\"";
        QTest::newRow("CR LF") << "\r\n" << "Time,\"1-1(\r\n)\"";
    }

    void headingQuoting()
    {
        QFETCH(QString, unit);
        Tool::Struct_Parameters project;
        project.CHName = QStringList{"1-1"};
        project.CHDisplayUnit = QStringList{unit};
        QTEST(ParametersCsvWriter::headerLine(project), "header");
    }

    // One batch from 23:50 over two day changes (for example after the computer slept): every row
    // reaches its day's file, the row at midnight closes the old day and is not repeated.
    void batchOverDayChangesReachesEveryDayOnce()
    {
        auto writer = started("2024-05-01 23:50:00.000");
        tick(*writer,
             {{at("2024-05-01 23:50:00.000"), {{1.0, 1.0}, {1.0}}},
              {at("2024-05-01 23:59:59.999"), {{2.0, 2.0}, {2.0}}},
              {at("2024-05-02 00:00:00.000"), {{3.0, 3.0}, {3.0}}},
              {at("2024-05-02 00:10:00.000"), {{4.0, 4.0}, {4.0}}},
              {at("2024-05-03 00:00:01.000"), {{5.0, 5.0}, {5.0}}}},
             at("2024-05-03 00:00:02.000"));
        QCOMPARE(readFile(path("B", "2024-05-01")),
                 m_headerB + "2024-05-01 23:50:00.000,1.00\n2024-05-01 23:59:59.999,2.00\n"
                             "2024-05-02 00:00:00.000,3.00\n");
        QCOMPARE(readFile(path("Oven A", "2024-05-02")), m_headerA + "2024-05-02 00:10:00.000,4.00,4.00\n");
        QCOMPARE(readFile(path("B", "2024-05-03")), m_headerB + "2024-05-03 00:00:01.000,5.00\n");
    }

    // Each project's file on its own: an existing file is appended to without a new header; a file
    // that cannot be opened keeps its rows for the next flush.
    void existingFileAppendedAndFailedOpenRetried()
    {
        const QByteArray existing = m_headerA + "2024-05-01 07:00:00.000,1.00,2.00\n";
        QFile file(path("Oven A", "2024-05-01"));
        QVERIFY(QDir().mkpath(folder()) && file.open(QIODevice::WriteOnly) && file.write(existing) > 0);
        file.close();
        auto writer = started("2024-05-01 08:00:00.000");
        // A directory in the place of project B's file: it cannot be opened as a file.
        QVERIFY(QFile::remove(path("B", "2024-05-01")) && QDir().mkdir(path("B", "2024-05-01")));

        tick(*writer, {{at("2024-05-01 08:00:01.000"), {{1.0, 1.0}, {1.0}}}}, at("2024-05-01 08:20:00.000"));
        QCOMPARE(writer->pendingRowCount(), 1); // project B's row only
        QCOMPARE(readFile(path("Oven A", "2024-05-01")), existing + "2024-05-01 08:00:01.000,1.00,1.00\n");

        QVERIFY(QDir().rmdir(path("B", "2024-05-01")));
        tick(*writer, {{at("2024-05-01 08:20:01.000"), {{2.0, 2.0}, {2.0}}}}, at("2024-05-01 08:40:00.000"));
        QCOMPARE(readFile(path("B", "2024-05-01")),
                 m_headerB + "2024-05-01 08:00:01.000,1.00\n2024-05-01 08:20:01.000,2.00\n");
    }

    // Samples keep coming while a write is held up (project A's file stalls, as on a slow network
    // folder, until a reader comes) and project B's file fails: B's failed rows go back ahead of
    // the newer ones, so the file stays in time order.
    void rowsOfAFailedWriteStayAheadOfNewerRows()
    {
        auto writer = started("2024-05-01 08:00:00.000");
        const QString stalled = path("Oven A", "2024-05-01"), failing = path("B", "2024-05-01");
        QVERIFY(QFile::remove(stalled) && mkfifo(qPrintable(stalled), 0600) == 0);
        QVERIFY(QFile::remove(failing) && QDir().mkdir(failing));

        writer->addSamples({{at("2024-05-01 08:00:01.000"), {{1.0, 1.0}, {1.0}}}}, at("2024-05-01 08:20:00.000"));
        writer->addSamples({{at("2024-05-01 08:20:01.000"), {{2.0, 2.0}, {2.0}}}}, at("2024-05-01 08:20:01.100"));
        QProcess reader; // lets the stalled write go on
        reader.start("cat", {stalled});
        QVERIFY2(reader.waitForFinished(10000), "the writer never wrote to the stalled file");
        QCOMPARE(reader.readAllStandardOutput(), m_headerA + "2024-05-01 08:00:01.000,1.00,1.00\n");

        QVERIFY(QFile::remove(stalled) && QDir().rmdir(failing));
        writer->flushAll();
        QCOMPARE(readFile(failing), m_headerB + "2024-05-01 08:00:01.000,1.00\n2024-05-01 08:20:01.000,2.00\n");
        QCOMPARE(readFile(stalled), m_headerA + "2024-05-01 08:20:01.000,2.00,2.00\n");
    }

    // The disk fills during a flush: the part of the block that reached each file is cut off and
    // the rows are kept; once there is room, every row is in its file exactly once, readable by
    // the program's own import.
    void fullDiskCutsBackAndKeepsTheRows()
    {
        SmallTmpfs disk(64 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        ParametersCsvWriter writer(m_projects, &m_system, disk.path());
        writer.createCsvFiles(at("2024-05-01 08:00:00.000"));
        QList<Struct_Sample> samples;
        QList<QDateTime> times;
        for (int i = 0; i < 400; ++i) {
            times.append(at("2024-05-01 08:00:00.001").addMSecs(10 * i));
            samples.append({times.last(), {{i * 1.0, -i * 1.0}, {i * 0.5}}});
        }
        const QString fileA = disk.filePath("Oven A-2024-05-01.csv");
        QVERIFY(disk.fill());
        tick(writer, samples.mid(0, 200), at("2024-05-01 08:20:00.000"));
        QCOMPARE(readFile(fileA), m_headerA);
        QCOMPARE(writer.pendingRowCount(), 400);
        QVERIFY2(writer.takeFailure().startsWith(disk.path()), "the failed file is named");

        disk.makeRoom();
        tick(writer, samples.mid(200), at("2024-05-01 08:40:00.000"));
        QCOMPARE(writer.pendingRowCount(), 0);
        QCOMPARE(importedTimes(fileA), times);
        QCOMPARE(importedTimes(disk.filePath("B-2024-05-01.csv")), times);
        QVERIFY(writer.takeFailure().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ParametersCsvWriter)
#include "tst_ParametersCsvWriter.moc"
