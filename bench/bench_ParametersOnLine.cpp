// Pacing and storage of an on-line run: 3 scripted instruments x 40 channels, 3 projects.
//
// Runs the acquisition dialog at a 100 ms interval for 30 s and at 10 ms for 10 s (--quick: 5 s
// and 3 s) and reports, from the stored sample times, how late each read began against
// base + n * interval (median and maximum) and the drift of the last sample. Then it times
// the store of one sample of all projects (Tool::addParametersDataList on a connection of its
// own) against a plain prepared insert of the same rows in one transaction.

#include "acquisition/ParametersOnLine.h"
#include "acquisition/AcquisitionTiming.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/TestWorkDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>

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
    {
        ParametersOnLine dialog;
        dialog.start(&system);
        while (dialog.runState() != ParametersOnLine::Finished) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(5);
        }
    }
    QList<Tool::Struct_ParametersData> rows;
    Tool::getParametersData(rows, system.ProjectNames.first());
    const qint64 intervalMs = qint64(interval * 1000.0);
    QList<qint64> lateness;
    for (int n = 0; n < rows.size(); ++n)
        lateness.append(rows.first().Time.msecsTo(rows.at(n).Time) - n * intervalMs);
    const QString tag = QStringLiteral("%1ms").arg(intervalMs);
    figure(QStringLiteral("samples_%1").arg(tag), rows.size(), "samples");
    figure(QStringLiteral("lateness_median_%1").arg(tag), median(lateness), "ms");
    figure(QStringLiteral("lateness_max_%1").arg(tag),
           lateness.isEmpty() ? 0.0 : double(*std::max_element(lateness.begin(), lateness.end())), "ms");
    figure(QStringLiteral("drift_last_%1").arg(tag), lateness.isEmpty() ? 0.0 : double(lateness.last()), "ms");
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
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));

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
    storage(quick ? 200 : 1000);

    FakeCollection::uninstall(QStringLiteral("BENCH-FAKE"));
    return 0;
}
