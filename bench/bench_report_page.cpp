// Report page with one long project: 1e6 samples × 30 channels (20 in ℃, 10 in %RH, values
// stored with 10 decimals as a run stores them) among a few small projects. Timed: loading the
// project into the page (tree, check, load: information, chart, shown and painted) and opening
// the data view of the loaded project, each with its peak memory. Beside them, in the same run,
// a bare query of the same rows (every time and value text read, nothing kept) is the floor, and
// load_vs_bare_query gives the load's time as a multiple of it.
//
//   bench_report_page            1,000,000 samples
//   bench_report_page --quick      100,000 samples
//
// Peak memory is the process's high-water mark (VmHWM), reset before each step through
// /proc/self/clear_refs; "added" figures are that peak less the resident size before the step.

#include "BenchFigures.h"

#include "common/Struct_System.h"
#include "reports/ReportTestHelpers.h" // tests/reports: the test projects
#include "reports/VerificationReport.h"
#include "store/Tool.h"
#include "widgets/QCustomPlotL.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <cstdio>

namespace {

const int kChannels = 30;
const int kCelsiusChannels = 20;
const int kDecimals = 10;
const QString kProject = QStringLiteral("Long run");

// 20 channels in ℃, 10 in %RH.
QStringList units()
{
    QStringList list;
    for (int c = 0; c < kChannels; ++c)
        list << (c < kCelsiusChannels ? QStringLiteral("℃") : QStringLiteral("%RH"));
    return list;
}

// Samples one second apart, stored as the run stores them: time with milliseconds, values
// joined with "," in fixed-point notation with 10 decimals.
void storeProject(const QString &name, int rows)
{
    if (!Tool::addParameters(testProject(name, units())))
        qFatal("cannot store the project");
    const QDateTime start = QDateTime::fromString(QStringLiteral("2024-05-01 08:00:00.000"), "yyyy-MM-dd hh:mm:ss.zzz");
    Tool::Transaction transaction;
    QSqlQuery q;
    q.prepare(QStringLiteral("INSERT INTO ParametersData (Name, Time, Data) VALUES (?, ?, ?)"));
    QStringList values;
    for (int r = 0; r < rows; ++r) {
        values.clear();
        for (int c = 0; c < kChannels; ++c) {
            // A slow drift over the day with a little noise, as a climate chamber gives.
            const double base = c < kCelsiusChannels ? 20.0 : 45.0;
            const double drift = std::sin((r + c * 600) / 13751.0);
            values << QString::number(base + drift + ((r * 37 + c * 11) % 100) / 997.0, 'f', kDecimals);
        }
        q.bindValue(0, name);
        q.bindValue(1, start.addMSecs(qint64(r) * 1000 + r % 7).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
        q.bindValue(2, values.join(QLatin1Char(',')));
        if (!q.exec())
            qFatal("insert failed");
    }
    if (!transaction.commit())
        qFatal("commit failed");
}

// Every time and value text of the project's rows read through the default connection, nothing kept.
double bareQueryMs(int expectedRows)
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery q;
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Time, Data FROM ParametersData WHERE Name = ? ORDER BY Time"));
    q.bindValue(0, kProject);
    if (!q.exec())
        qFatal("bare query failed");
    qint64 characters = 0;
    int rows = 0;
    while (q.next()) {
        characters += q.value(0).toString().size() + q.value(1).toString().size();
        ++rows;
    }
    if (rows != expectedRows || characters == 0)
        qFatal("bare query read %d rows", rows);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int rows = quick ? 100000 : 1000000;

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()) || !Tool::openDatabase())
        qFatal("no working directory or database");
    for (int i = 0; i < 4; ++i)
        storeProject(QStringLiteral("Short run %1").arg(i + 1), 1000);
    storeProject(kProject, rows);
    figure("samples", rows, "rows", 0);
    figure("channels", kChannels, "channels", 0);
    figure("database_size", QFileInfo(QStringLiteral("DAQ.db3")).size() / 1048576.0, "MB", 1);

    const double bareMs = bareQueryMs(rows);
    figure("bare_query", bareMs, "ms", 1);

    Struct_System system;
    system.Switch_ExportADvanced = true;
    system.DataAccuracy = 2;

    // Load: the page with its tree, the project checked, loaded, shown and painted.
    if (!resetPeakRss())
        std::printf("note: peak memory could not be reset\n");
    const double before = currentRss();
    QElapsedTimer timer;
    timer.start();
    auto *page = new VerificationReport;
    page->SetSystem(&system);
    page->resize(1600, 1000);
    page->show();
    QApplication::processEvents();
    QTreeWidget *tree = page->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QTreeWidgetItem *item = tree->topLevelItem(0); // the project stored last comes first
    item->setCheckState(0, Qt::Checked);
    page->treeItemChanged(item, 0);
    page->LoadProject();
    QApplication::processEvents();
    page->Chart()->repaint();
    const double loadMs = timer.nsecsElapsed() / 1e6;
    if (!page->Loaded().Rows || page->Loaded().Rows->rowCount() != rows || page->Chart()->graphCount() != kChannels)
        qFatal("the project did not load");
    figure("load", loadMs, "ms", 1);
    figure("load_vs_bare_query", loadMs / bareMs, "x", 2);
    figure("load_peak_rss", peakRss(), "MB", 1);
    figure("load_added_rss", peakRss() - before, "MB", 1);

    // Data view of the loaded project: until the dialog is shown and its table painted.
    if (!resetPeakRss())
        std::printf("note: peak memory could not be reset\n");
    const double loaded = currentRss();
    double viewMs = -1.0;
    int viewRows = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *table = modal ? modal->findChild<QTableView *>(QStringLiteral("tableWidget")) : nullptr;
        if (!table || !modal->isVisible())
            return;
        table->viewport()->repaint();
        viewMs = timer.nsecsElapsed() / 1e6;
        viewRows = table->model()->rowCount();
        poll.stop();
        modal->close();
    });
    poll.start(0);
    timer.restart();
    page->Menu()->actions().at(1)->trigger(); // "查看数据"
    if (viewRows != rows)
        qFatal("the data view did not open");
    figure("data_view_open", viewMs, "ms", 1);
    figure("data_view_added_rss", peakRss() - loaded, "MB", 1);

    delete page;
    Tool::closeDatabase();
    return 0;
}
