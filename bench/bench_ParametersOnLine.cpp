// Pacing and storage of an on-line run: 3 scripted instruments x 40 channels, 3 projects.
//
// While another writer keeps the disk busy (large blocks, each followed by fdatasync, in the
// folder of the database), the acquisition dialog runs at a 100 ms interval for 30 s and at
// 10 ms for 10 s (--quick: 5 s and 3 s), and beside it a bare loop keeps the same schedule in
// the same process. For both it reports how late each read began against first + n * interval
// (median and maximum) and the run's worst lateness over the bare loop's. Then the run is
// killed (SIGKILL) a few times in a child process, under the same disk writer, and it reports
// how long before the kill the last stored sample was read, whether the database is intact and
// whether every stored sample has the rows of all projects. Last, it times the store of one
// sample of all projects (Tool::addParametersDataList on a connection of its own) against a
// plain prepared insert of the same rows in one transaction.

#include "acquisition/ParametersOnLine.h"
#include "acquisition/AcquisitionTiming.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/TestWorkDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int kInstruments = 3;
const int kChannels = 40;
const int kProjects = 3;
const char kTime[] = "yyyy-MM-dd hh:mm:ss";

void figure(const QString &name, double value, const char *unit)
{
    std::printf("%s: %.3f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

Struct_System makeSystem(double interval, int seconds)
{
    Struct_System system;
    for (int p = 0; p < kProjects; ++p)
        system.ProjectNames.append(QStringLiteral("Bench-%1-%2").arg(interval).arg(p + 1));
    for (int d = 0; d < kInstruments; ++d) {
        Tool::Struct_Collection device;
        device.Model = QStringLiteral("BENCH-FAKE");
        device.Serial = QStringLiteral("FAKE0001");
        device.SignalMode = QStringLiteral("网络");
        device.Signal1 = QStringLiteral("127.0.0.1");
        device.Signal2 = QStringLiteral("502");
        device.Rate = QStringLiteral("10Hz");
        for (int c = 1; c <= kChannels; ++c) {
            device.CHSerial.append(QString::number(c));
            device.CHUnit.append(QStringLiteral("℃"));
            Struct_ParametersChannel row;
            row.DeviceIndex = d;
            row.ProjectIndex = (c - 1) % kProjects;
            row.Channel = QString::number(c);
            row.Unit = row.DisplayUnit = QStringLiteral("℃");
            row.M = 1.001;
            row.B = -0.05;
            system.ParametersChannels.append(row);
        }
        system.ProjectDevices.append(device);
    }
    const QDateTime start = QDateTime::currentDateTime().addSecs(-60);
    system.StartTime = start.toString(kTime);
    system.EndTime = start.addSecs(seconds).toString(kTime);
    system.Interval = interval;
    return system;
}

// Writes large blocks into a file of its own, each followed by fdatasync, until destroyed; the
// file wraps at a size limit so that the disk does not fill.
class DiskWriter
{
public:
    DiskWriter(const QString &path, qint64 limitBytes)
    {
        m_thread = std::thread([this, path, limitBytes] {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0)
                return;
            std::vector<char> block(8 * 1024 * 1024, 'x');
            qint64 offset = 0;
            while (!m_stop) {
                if (::pwrite(fd, block.data(), block.size(), offset) < 0)
                    break;
                ::fdatasync(fd);
                offset = (offset + qint64(block.size())) % limitBytes;
            }
            ::close(fd);
            ::unlink(QFile::encodeName(path).constData());
        });
    }
    ~DiskWriter()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Lateness of each time against first + n * interval.
QList<qint64> lateness(const QList<QDateTime> &times, qint64 intervalMs)
{
    QList<qint64> late;
    for (int n = 0; n < times.size(); ++n)
        late.append(times.first().msecsTo(times.at(n)) - n * intervalMs);
    return late;
}

// The run's schedule without the run: targets advance from the previous target, a 1 ms sleep
// until the target, the local time taken when the target is reached.
QList<QDateTime> bareLoop(int intervalMs, int samples)
{
    QList<QDateTime> times;
    QElapsedTimer clock;
    clock.start();
    qint64 base = clock.elapsed();
    for (int i = 0; i < samples; ++i) {
        const qint64 target = base + intervalMs;
        base = target;
        times.append(QDateTime::currentDateTime());
        while (clock.elapsed() < target)
            QThread::msleep(1);
    }
    return times;
}

double maximum(const QList<qint64> &values)
{
    return values.isEmpty() ? 0.0 : double(*std::max_element(values.begin(), values.end()));
}

double median(QList<qint64> values)
{
    if (values.isEmpty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? double(values.at(n / 2)) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

void pacing(double interval, int seconds)
{
    Struct_System system = makeSystem(interval, seconds);
    const int intervalMs = int(interval * 1000.0);
    QList<QDateTime> bare;
    {
        DiskWriter disk(QStringLiteral("disk-writer.bin"), qint64(512) * 1024 * 1024);
        QThread::msleep(500); // the disk is busy before the run starts
        ParametersOnLine dialog;
        dialog.start(&system);
        std::thread loop([&] { bare = bareLoop(intervalMs, seconds * 1000 / intervalMs); });
        while (dialog.runState() != ParametersOnLine::Finished) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(5);
        }
        loop.join();
    }
    QList<Tool::Struct_ParametersData> rows;
    Tool::getParametersData(rows, system.ProjectNames.first());
    QList<QDateTime> times;
    for (const Tool::Struct_ParametersData &row : qAsConst(rows))
        times.append(row.Time);
    const QList<qint64> run = lateness(times, intervalMs), loop = lateness(bare, intervalMs);
    const QString tag = QStringLiteral("%1ms").arg(intervalMs);
    figure(QStringLiteral("samples_%1").arg(tag), rows.size(), "samples");
    figure(QStringLiteral("lateness_median_%1").arg(tag), median(run), "ms");
    figure(QStringLiteral("lateness_max_%1").arg(tag), maximum(run), "ms");
    figure(QStringLiteral("drift_last_%1").arg(tag), run.isEmpty() ? 0.0 : double(run.last()), "ms");
    figure(QStringLiteral("bare_lateness_median_%1").arg(tag), median(loop), "ms");
    figure(QStringLiteral("bare_lateness_max_%1").arg(tag), maximum(loop), "ms");
    figure(QStringLiteral("lateness_max_over_bare_%1").arg(tag), maximum(run) - maximum(loop), "ms");
}

// The child of killed(): runs the acquisition at 10 ms in the folder it is given until it is
// killed, saying "running" once samples are stored.
int killedChild(const QString &folder)
{
    if (!QDir::setCurrent(folder) || !Tool::openDatabase(QStringLiteral("DAQ.db3")))
        return 1;
    auto script = FakeCollection::install(QStringLiteral("BENCH-FAKE"));
    for (int c = 1; c <= kChannels; ++c)
        script->addChannel(quint32(c), QStringLiteral("℃"));
    Struct_System system = makeSystem(0.01, 0);
    ParametersOnLine dialog;
    dialog.start(&system);
    bool told = false;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
        QList<Tool::Struct_ParametersData> rows;
        if (!told && Tool::getParametersData(rows, system.ProjectNames.first()) && rows.size() > 10) {
            std::printf("running\n");
            std::fflush(stdout);
            told = true;
        }
    }
}

// Kills a run (SIGKILL) at a random moment while the disk is busy, several times: how long
// before the kill the last stored sample was read, the database's integrity, whole samples.
void killed(int times)
{
    QList<qint64> losses;
    int intact = 0;
    int whole = 0;
    for (int k = 0; k < times; ++k) {
        const QString folder = QDir::current().filePath(QStringLiteral("killed-%1").arg(k));
        QDir().mkpath(folder);
        DiskWriter disk(QDir(folder).filePath(QStringLiteral("disk-writer.bin")), qint64(512) * 1024 * 1024);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--killed-child"), folder});
        while (child.waitForReadyRead(60000) && !child.readAllStandardOutput().contains("running")) {
        }
        QThread::msleep(1000 + QRandomGenerator::global()->bounded(2000));
        const QDateTime killedAt = QDateTime::currentDateTime();
        child.kill();
        child.waitForFinished();

        const QString connection = QStringLiteral("KILLED");
        if (!Tool::openDatabase(QDir(folder).filePath(QStringLiteral("DAQ.db3")), connection))
            continue;
        {
            QSqlDatabase db = QSqlDatabase::database(connection);
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() && q.value(0).toString() == QLatin1String("ok"))
                ++intact;
            q.exec(QStringLiteral("SELECT count(*), count(DISTINCT Name), max(Time) FROM ParametersData"));
            if (q.next()) {
                QSqlQuery perTime(db);
                // Two samples may share a millisecond: each time holds rows of all projects, as
                // many for each.
                perTime.exec(QStringLiteral("SELECT count(*) FROM (SELECT Time FROM ParametersData GROUP BY Time"
                                            " HAVING count(*) % %1 <> 0 OR count(DISTINCT Name) <> %1)").arg(kProjects));
                if (perTime.next() && perTime.value(0).toInt() == 0 && q.value(1).toInt() == kProjects)
                    ++whole;
                const QDateTime last = QDateTime::fromString(q.value(2).toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
                losses.append(last.msecsTo(killedAt));
            }
        }
        Tool::closeDatabase(connection);
    }
    figure(QStringLiteral("kill_runs"), times, "runs");
    figure(QStringLiteral("kill_loss_median"), median(losses), "ms");
    figure(QStringLiteral("kill_loss_max"), maximum(losses), "ms");
    figure(QStringLiteral("kill_intact_databases"), intact, "runs");
    figure(QStringLiteral("kill_whole_samples"), whole, "runs");
}

void storage(int samples)
{
    const QString connection = QStringLiteral("BENCH");
    if (!Tool::openDatabase(QStringLiteral("DAQ.db3"), connection)) {
        std::printf("store: database not opened\n");
        return;
    }
    QList<double> values;
    for (int c = 0; c < kChannels; ++c)
        values.append(20.0 + c * 0.123456789);
    auto rowsAt = [&](int i, const QString &prefix) {
        QList<Tool::Struct_ParametersData> rows;
        for (int p = 0; p < kProjects; ++p)
            rows.append({QStringLiteral("%1-%2").arg(prefix).arg(p), QDateTime::currentDateTime().addMSecs(i),
                         Tool::toStringList(10, values)});
        return rows;
    };

    QSqlDatabase db = QSqlDatabase::database(connection);
    auto plainInsert = [&](const QList<Tool::Struct_ParametersData> &rows) {
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO ParametersData (Name, Time, Data) VALUES (?, ?, ?)"));
        for (const Tool::Struct_ParametersData &row : rows) {
            q.bindValue(0, row.Name);
            q.bindValue(1, row.Time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
            q.bindValue(2, row.Data.join(QLatin1Char(',')));
            q.exec();
        }
        db.commit();
    };

    // Warm up, then alternate the two so that both meet the same file state.
    for (int i = 0; i < 20; ++i)
        plainInsert(rowsAt(i, QStringLiteral("Warm")));
    qint64 storeNs = 0;
    qint64 plainNs = 0;
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        const QList<Tool::Struct_ParametersData> stored = rowsAt(i, QStringLiteral("Store"));
        const QList<Tool::Struct_ParametersData> plain = rowsAt(i, QStringLiteral("Plain"));
        timer.start();
        Tool::addParametersDataList(stored, connection);
        storeNs += timer.nsecsElapsed();
        timer.start();
        plainInsert(plain);
        plainNs += timer.nsecsElapsed();
    }
    const double storeMs = storeNs / 1e6 / samples;
    const double plainMs = plainNs / 1e6 / samples;
    db = QSqlDatabase();
    Tool::closeDatabase(connection);

    figure(QStringLiteral("store_per_sample"), storeMs, "ms");
    figure(QStringLiteral("plain_insert_per_sample"), plainMs, "ms");
    figure(QStringLiteral("store_vs_plain_insert"), plainMs > 0 ? storeMs / plainMs : 0.0, "x");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--killed-child"))
        return killedChild(arguments.at(2));
    const bool quick = arguments.contains(QStringLiteral("--quick"));

    TestWorkDir dir;
    if (!dir.isValid()) {
        std::printf("no working directory\n");
        return 1;
    }
    AcquisitionTiming timing;
    timing.DisplayTickMs = 1000;
    AcquisitionTiming::set(timing);
    auto script = FakeCollection::install(QStringLiteral("BENCH-FAKE"));
    for (int c = 1; c <= kChannels; ++c)
        script->addChannel(quint32(c), QStringLiteral("℃"));

    pacing(0.1, quick ? 5 : 30);
    pacing(0.01, quick ? 3 : 10);
    killed(quick ? 2 : 5);
    storage(quick ? 200 : 1000);

    FakeCollection::uninstall(QStringLiteral("BENCH-FAKE"));
    return 0;
}
