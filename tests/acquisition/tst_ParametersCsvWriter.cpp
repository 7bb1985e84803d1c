#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ParametersCsvWriter.h"
#include "shell/Struct_System.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

Tool::Struct_Parameters project(const QString &name, const QStringList &labels, const QStringList &units)
{
    Tool::Struct_Parameters p;
    p.Name = name;
    p.CHName = labels;
    p.CHDisplayUnit = units;
    return p;
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_ParametersCsvWriter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void headerOnlyFilesAtTheStart();
    void rowsWaitForTheFlushInterval();
    void existingFileIsAppendedWithoutHeader();
    void batchOverMidnightIsSplitAndMidnightWrittenOnce();
    void batchOverSeveralDaysReachesEveryDay();
    void decimalsAreReadAtEachFlush();
    void failedOpenKeepsRowsForTheNextFlush();
    void separatorsAndQuotesAreQuoted();
    void endOfRunWritesEverySample();

private:
    QString path(const QString &name, const QString &day) const
    {
        return m_dir->filePath(QStringLiteral("Data/%1-%2.csv").arg(name, day));
    }
    QString folder() const { return m_dir->filePath(QStringLiteral("Data")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    Struct_System m_system;
    // Two instruments with the same channel numbers; two projects.
    const QList<Tool::Struct_Parameters> m_projects{
        project(QStringLiteral("Oven A"), {QStringLiteral("1-1"), QStringLiteral("2-1")},
                {QStringLiteral("℃"), QStringLiteral("℃")}),
        project(QStringLiteral("B"), {QStringLiteral("1-2")}, {QStringLiteral("%RH")})};
    const QByteArray m_headerA = "Time,1-1(℃),2-1(℃)\n";
    const QByteArray m_headerB = "Time,1-2(%RH)\n";
};

void tst_ParametersCsvWriter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_system = Struct_System();
    m_system.DataAccuracy = 2;
    AcquisitionTiming::set(AcquisitionTiming());
}

void tst_ParametersCsvWriter::cleanup()
{
    AcquisitionTiming::set(AcquisitionTiming());
}

void tst_ParametersCsvWriter::headerOnlyFilesAtTheStart()
{
    QCOMPARE(ParametersCsvWriter::defaultFolder(), QCoreApplication::applicationDirPath() + "/Data/");
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 08:00:00.000");
    writer.createCsvFiles(start);
    writer.addSamples({{start.addSecs(1), {{21.0, 22.0}, {50.0}}}}, start.addSecs(1));
    writer.waitForDone();
    QCOMPARE(readFile(path("Oven A", "2024-05-01")), m_headerA);
    QCOMPARE(readFile(path("B", "2024-05-01")), m_headerB);
    QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2);
    QCOMPARE(writer.pendingRowCount(), 2);
}

void tst_ParametersCsvWriter::rowsWaitForTheFlushInterval()
{
    AcquisitionTiming timing;
    timing.CsvFlushMs = 2000;
    AcquisitionTiming::set(timing);
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 08:00:00.000");
    writer.createCsvFiles(start);

    writer.addSamples({{at("2024-05-01 08:00:01.005"), {{21.3749, -3.1}, {45.0}}}}, at("2024-05-01 08:00:01.100"));
    writer.waitForDone();
    QCOMPARE(readFile(path("Oven A", "2024-05-01")), m_headerA);

    // The tick at the flush time writes everything collected so far.
    writer.addSamples({{at("2024-05-01 08:00:02.005"), {{-0.004, 100.0}, {45.556}}}}, at("2024-05-01 08:00:02.000"));
    writer.waitForDone();
    QCOMPARE(readFile(path("Oven A", "2024-05-01")),
             m_headerA + "2024-05-01 08:00:01.005,21.37,-3.10\n2024-05-01 08:00:02.005,-0.00,100.00\n");
    QCOMPARE(readFile(path("B", "2024-05-01")),
             m_headerB + "2024-05-01 08:00:01.005,45.00\n2024-05-01 08:00:02.005,45.56\n");

    // The next flush is one interval after the previous flush time.
    writer.addSamples({{at("2024-05-01 08:00:03.000"), {{1.0, 2.0}, {3.0}}}}, at("2024-05-01 08:00:03.999"));
    writer.waitForDone();
    QCOMPARE(writer.pendingRowCount(), 2);
    writer.addSamples({}, at("2024-05-01 08:00:04.000"));
    writer.waitForDone();
    QCOMPARE(writer.pendingRowCount(), 0);
    QVERIFY(readFile(path("B", "2024-05-01")).endsWith("2024-05-01 08:00:03.000,3.00\n"));
}

void tst_ParametersCsvWriter::existingFileIsAppendedWithoutHeader()
{
    QVERIFY(QDir().mkpath(folder()));
    QFile existing(path("Oven A", "2024-05-01"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("Time,1-1(℃),2-1(℃)\n2024-05-01 07:00:00.000,1.00,2.00\n");
    existing.close();

    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 08:00:00.000");
    writer.createCsvFiles(start);
    writer.addSamples({{at("2024-05-01 08:00:00.500"), {{5.0, 6.0}, {7.0}}}}, start.addSecs(1200));
    writer.waitForDone();
    QCOMPARE(readFile(path("Oven A", "2024-05-01")),
             QByteArray("Time,1-1(℃),2-1(℃)\n2024-05-01 07:00:00.000,1.00,2.00\n"
                        "2024-05-01 08:00:00.500,5.00,6.00\n"));
}

void tst_ParametersCsvWriter::batchOverMidnightIsSplitAndMidnightWrittenOnce()
{
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 23:50:00.000");
    writer.createCsvFiles(start);
    writer.addSamples({{at("2024-05-01 23:50:00.000"), {{1.0, 1.0}, {1.0}}},
                       {at("2024-05-01 23:59:59.999"), {{2.0, 2.0}, {2.0}}},
                       {at("2024-05-02 00:00:00.000"), {{3.0, 3.0}, {3.0}}},
                       {at("2024-05-02 00:10:00.000"), {{4.0, 4.0}, {4.0}}}},
                      at("2024-05-02 00:10:00.100"));
    writer.waitForDone();
    QCOMPARE(readFile(path("B", "2024-05-01")),
             m_headerB + "2024-05-01 23:50:00.000,1.00\n2024-05-01 23:59:59.999,2.00\n");
    QCOMPARE(readFile(path("B", "2024-05-02")),
             m_headerB + "2024-05-02 00:00:00.000,3.00\n2024-05-02 00:10:00.000,4.00\n");
    QCOMPARE(readFile(path("Oven A", "2024-05-02")),
             m_headerA + "2024-05-02 00:00:00.000,3.00,3.00\n2024-05-02 00:10:00.000,4.00,4.00\n");

    // Later flushes append to the new day's files.
    writer.addSamples({{at("2024-05-02 00:20:00.000"), {{5.0, 5.0}, {5.0}}}}, at("2024-05-02 00:30:00.000"));
    writer.waitForDone();
    QVERIFY(readFile(path("B", "2024-05-02")).endsWith("00:10:00.000,4.00\n2024-05-02 00:20:00.000,5.00\n"));
}

void tst_ParametersCsvWriter::batchOverSeveralDaysReachesEveryDay()
{
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    writer.createCsvFiles(at("2024-05-01 23:59:00.000"));
    // For example after the computer slept through a whole day.
    writer.addSamples({{at("2024-05-01 23:59:30.000"), {{1.0, 1.0}, {1.0}}},
                       {at("2024-05-02 12:00:00.000"), {{2.0, 2.0}, {2.0}}},
                       {at("2024-05-03 00:00:01.000"), {{3.0, 3.0}, {3.0}}}},
                      at("2024-05-03 00:00:02.000"));
    writer.waitForDone();
    QCOMPARE(readFile(path("B", "2024-05-01")), m_headerB + "2024-05-01 23:59:30.000,1.00\n");
    QCOMPARE(readFile(path("B", "2024-05-02")), m_headerB + "2024-05-02 12:00:00.000,2.00\n");
    QCOMPARE(readFile(path("B", "2024-05-03")), m_headerB + "2024-05-03 00:00:01.000,3.00\n");
}

void tst_ParametersCsvWriter::decimalsAreReadAtEachFlush()
{
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 08:00:00.000");
    writer.createCsvFiles(start);
    writer.addSamples({{at("2024-05-01 08:00:01.000"), {{1.23456, 0.0}, {9.87654}}}}, start.addSecs(1200));
    writer.waitForDone();
    m_system.DataAccuracy = 4;
    writer.addSamples({{at("2024-05-01 08:20:01.000"), {{1.23456, 0.0}, {9.87654}}}}, start.addSecs(2400));
    writer.waitForDone();
    QCOMPARE(readFile(path("B", "2024-05-01")),
             m_headerB + "2024-05-01 08:00:01.000,9.88\n2024-05-01 08:20:01.000,9.8765\n");
}

void tst_ParametersCsvWriter::failedOpenKeepsRowsForTheNextFlush()
{
    ParametersCsvWriter writer(m_projects, &m_system, folder());
    const QDateTime start = at("2024-05-01 08:00:00.000");
    writer.createCsvFiles(start);
    // A directory in the place of project B's file: it cannot be opened as a file.
    QVERIFY(QFile::remove(path("B", "2024-05-01")));
    QVERIFY(QDir().mkdir(path("B", "2024-05-01")));

    LogCapture log;
    writer.addSamples({{at("2024-05-01 08:00:01.000"), {{1.0, 1.0}, {1.0}}}}, start.addSecs(1200));
    writer.waitForDone();
    QVERIFY2(log.contains(QStringLiteral("Cannot open the CSV file")), qPrintable(log.text()));
    QCOMPARE(writer.pendingRowCount(), 1); // project B's row only
    QCOMPARE(readFile(path("Oven A", "2024-05-01")), m_headerA + "2024-05-01 08:00:01.000,1.00,1.00\n");

    QVERIFY(QDir().rmdir(path("B", "2024-05-01")));
    writer.addSamples({{at("2024-05-01 08:20:01.000"), {{2.0, 2.0}, {2.0}}}}, start.addSecs(2400));
    writer.waitForDone();
    QCOMPARE(writer.pendingRowCount(), 0);
    QCOMPARE(readFile(path("B", "2024-05-01")),
             m_headerB + "2024-05-01 08:00:01.000,1.00\n2024-05-01 08:20:01.000,2.00\n");
    QCOMPARE(readFile(path("Oven A", "2024-05-01")),
             m_headerA + "2024-05-01 08:00:01.000,1.00,1.00\n2024-05-01 08:20:01.000,2.00,2.00\n");
}

void tst_ParametersCsvWriter::separatorsAndQuotesAreQuoted()
{
    QCOMPARE(ParametersCsvWriter::csvField(QStringLiteral("1-1(℃)")), QStringLiteral("1-1(℃)"));
    QCOMPARE(ParametersCsvWriter::csvField(QStringLiteral("1-1(a,b)")), QStringLiteral("\"1-1(a,b)\""));
    QCOMPARE(ParametersCsvWriter::csvField(QStringLiteral("1-2(x\"y)")), QStringLiteral("\"1-2(x\"\"y)\""));
    QCOMPARE(ParametersCsvWriter::csvField(QStringLiteral("a\nb")), QStringLiteral("\"a\nb\""));

    ParametersCsvWriter writer({project(QStringLiteral("Q"), {QStringLiteral("1-1"), QStringLiteral("1-2")},
                                        {QStringLiteral("kg,m"), QStringLiteral("in\"")})},
                               &m_system, folder());
    writer.createCsvFiles(at("2024-05-01 08:00:00.000"));
    QCOMPARE(readFile(path("Q", "2024-05-01")), QByteArray("Time,\"1-1(kg,m)\",\"1-2(in\"\")\"\n"));
}

void tst_ParametersCsvWriter::endOfRunWritesEverySample()
{
    const QDateTime start = at("2024-05-01 08:00:00.000");
    {
        ParametersCsvWriter writer(m_projects, &m_system, folder());
        writer.createCsvFiles(start);
        // Stopped one second after the start: the flush time is far away.
        writer.addSamples({{at("2024-05-01 08:00:00.001"), {{1.0, 2.0}, {3.0}}}}, start.addMSecs(500));
        writer.addSamples({{at("2024-05-01 08:00:01.001"), {{4.0, 5.0}, {6.0}}}}, start.addSecs(1));
        writer.flushAll();
        writer.waitForDone();
        QCOMPARE(writer.pendingRowCount(), 0);
        QCOMPARE(readFile(path("B", "2024-05-01")),
                 m_headerB + "2024-05-01 08:00:00.001,3.00\n2024-05-01 08:00:01.001,6.00\n");

        // Samples of the last tick that come after the stop are written when the writer goes.
        writer.addSamples({{at("2024-05-01 08:00:02.001"), {{7.0, 8.0}, {9.0}}}}, start.addSecs(2));
    }
    QCOMPARE(readFile(path("Oven A", "2024-05-01")),
             m_headerA + "2024-05-01 08:00:00.001,1.00,2.00\n2024-05-01 08:00:01.001,4.00,5.00\n"
                         "2024-05-01 08:00:02.001,7.00,8.00\n");
}

QTEST_GUILESS_MAIN(tst_ParametersCsvWriter)
#include "tst_ParametersCsvWriter.moc"
