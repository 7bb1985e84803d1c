// Live pages of a long acquisition run: 3 projects × 40 channels (two display units), every
// data and statistics page filled to its row cap and every chart to its point cap, then the
// steady display tick (data page + statistics page + chart with replot, per project, and the
// event processing that paints the shown page) is timed, the process's peak memory read, and
// further ticks (some two in one second) are run to see that nothing grows.
// The same steady tick is then timed on plain per-cell QTableWidget tables of the same size.
//
// Usage: bench_live_pages [--quick]

#include "BenchFigures.h"

#include "acquisition/ParametersChart.h"
#include "acquisition/ParametersDataModel.h"
#include "acquisition/ParametersStatistics.h"
#include "widgets/QCustomPlotL.h"
#include "common/Struct_System.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const int Projects = 3;
const int Channels = 40;
const int FirstUnitChannels = 30;   // the rest use the second display unit
const int Rows = ParametersDataModel::MaxRows;
const int Points = QCustomPlotL::MaxPoints + 1;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5));
    return values[index];
}

// Sample times: one per tick, a whole second apart, except that every fourth tick of the
// later phases comes half a second after the one before (two samples in one second).
class Clock
{
public:
    QDateTime next(bool sameSecond)
    {
        m_msecs = sameSecond ? m_msecs + 500 : (m_msecs / 1000 + 1) * 1000;
        return QDateTime::fromMSecsSinceEpoch(m_msecs);
    }

private:
    qint64 m_msecs = QDateTime(QDate(2024, 3, 1), QTime(8, 0)).toMSecsSinceEpoch();
};

QList<double> sampleValues(int project, qint64 tick)
{
    QList<double> values;
    values.reserve(Channels);
    for (int c = 0; c < Channels; ++c) {
        const double base = c < FirstUnitChannels ? 25.0 : 50.0;
        values.append(base + 3.0 * std::sin(tick * 0.002 + c * 0.3 + project) + 0.01 * ((tick * 7 + c * 13) % 17));
    }
    return values;
}

struct Project {
    ParametersChart *chart = nullptr;
    ParametersStatistics *statistics = nullptr;
};

// The per-cell way: one QTableWidgetItem per cell, texts and colours set on every row.
class PlainTables
{
public:
    explicit PlainTables(QTabWidget *tabs, int project)
    {
        data = new QTableWidget(0, Channels + 1);
        statistics = new QTableWidget(0, 1 + 9 * 2);
        for (QTableWidget *table : {data, statistics}) {
            table->verticalHeader()->setVisible(false);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
        }
        tabs->addTab(data, QStringLiteral("项目%1结果").arg(project + 1));
        tabs->addTab(statistics, QStringLiteral("项目%1统计").arg(project + 1));
    }

    // The tick: the oldest row leaves at the cap, a row is appended and shown.
    void addSample(const QDateTime &time, const QList<double> &values)
    {
        const QString timeText = time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        writeDataRow(newRow(data), timeText, values);
        data->scrollToBottom();
        writeStatisticsRow(newRow(statistics), timeText, values);
        statistics->scrollToBottom();
    }

    // Fills both tables to the cap at once (cheaper than row by row; the end state is the same).
    void fill(Clock &clock, qint64 &tick, int project)
    {
        data->setRowCount(Rows);
        statistics->setRowCount(Rows);
        for (int row = 0; row < Rows; ++row) {
            const QString timeText = clock.next(false).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
            const QList<double> values = sampleValues(project, tick + row);
            writeDataRow(row, timeText, values);
            writeStatisticsRow(row, timeText, values);
        }
    }

    QTableWidget *data;
    QTableWidget *statistics;

private:
    static int newRow(QTableWidget *table)
    {
        if (table->rowCount() >= Rows)
            table->removeRow(0);
        const int row = table->rowCount();
        table->insertRow(row);
        return row;
    }

    static QTableWidgetItem *centred(const QString &text)
    {
        auto *item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        return item;
    }

    void writeDataRow(int row, const QString &timeText, const QList<double> &values)
    {
        data->setItem(row, 0, new QTableWidgetItem(timeText));
        for (int c = 0; c < values.size(); ++c)
            data->setItem(row, c + 1, centred(QString::number(values.at(c), 'f', 2)));
        for (int group = 0; group < 2; ++group) {
            const int first = group == 0 ? 0 : FirstUnitChannels;
            const int end = group == 0 ? FirstUnitChannels : Channels;
            int maxC = first, minC = first;
            for (int c = first; c < end; ++c) {
                if (values.at(c) > values.at(maxC))
                    maxC = c;
                if (values.at(c) < values.at(minC))
                    minC = c;
            }
            data->item(row, maxC + 1)->setForeground(QColor(255, 0, 0));
            data->item(row, minC + 1)->setForeground(QColor(0, 255, 0));
        }
    }

    void writeStatisticsRow(int row, const QString &timeText, const QList<double> &values)
    {
        statistics->setItem(row, 0, new QTableWidgetItem(timeText));
        for (int group = 0; group < 2; ++group) {
            const int first = group == 0 ? 0 : FirstUnitChannels;
            const int end = group == 0 ? FirstUnitChannels : Channels;
            double maxV = values.at(first), minV = maxV, sum = 0;
            int maxC = first, minC = first;
            for (int c = first; c < end; ++c) {
                if (values.at(c) > maxV) { maxV = values.at(c); maxC = c; }
                if (values.at(c) < minV) { minV = values.at(c); minC = c; }
                sum += values.at(c);
            }
            const double mean = sum / (end - first);
            double squares = 0;
            for (int c = first; c < end; ++c)
                squares += (values.at(c) - mean) * (values.at(c) - mean);
            const QStringList cells{QString::number(maxV, 'f', 2), QStringLiteral("1-%1").arg(maxC + 1),
                                    QString::number(minV, 'f', 2), QStringLiteral("1-%1").arg(minC + 1),
                                    QString::number(mean, 'f', 2), QString::number(maxV - minV, 'f', 2),
                                    QString::number(maxV - mean, 'f', 2), QString::number(mean - minV, 'f', 2),
                                    QString::number(std::sqrt(squares / (end - first)), 'f', 2)};
            for (int k = 0; k < cells.size(); ++k)
                statistics->setItem(row, 1 + 9 * group + k, centred(cells.at(k)));
        }
    }
};

std::vector<double> timedTicks(int count, const std::function<void(int)> &one)
{
    std::vector<double> times;
    times.reserve(count);
    QElapsedTimer timer;
    for (int k = 0; k < count; ++k) {
        timer.start();
        one(k);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int steadyTicks = quick ? 60 : 300;
    const int growthTicks = quick ? 900 : 40000;
    const int ticksPerTab = 50;   // the growth phase shows each page in turn

    Struct_System system;
    system.DataAccuracy = 2;

    const double rssStart = currentRss();
    QTabWidget window;
    window.resize(1235, 891);
    std::vector<Project> projects(Projects);
    for (int p = 0; p < Projects; ++p) {
        QList<Struct_ParametersChannel> channels;
        QStringList labels, units;
        for (int c = 0; c < Channels; ++c) {
            Struct_ParametersChannel channel;
            channel.DeviceIndex = p;
            channel.ProjectIndex = p;
            channel.Channel = QString::number(c + 1);
            channel.DisplayUnit = c < FirstUnitChannels ? QStringLiteral("℃") : QStringLiteral("%RH");
            channels.append(channel);
            labels.append(channel.label());
            units.append(channel.DisplayUnit);
        }
        projects[p].chart = new ParametersChart(&window);
        projects[p].chart->setParameters(&system, channels);
        window.insertTab(2 * p, projects[p].chart, QStringLiteral("项目%1结果").arg(p + 1));
        projects[p].statistics = new ParametersStatistics(&window);
        projects[p].statistics->setParameters(system.DataAccuracy, labels, units);
        window.insertTab(2 * p + 1, projects[p].statistics, QStringLiteral("项目%1统计").arg(p + 1));
    }
    window.setCurrentIndex(0);

    Clock clock;
    qint64 tick = 0;
    auto ourTick = [&](bool sameSecond) {
        const QDateTime time = clock.next(sameSecond);
        for (int p = 0; p < Projects; ++p) {
            const QList<double> values = sampleValues(p, tick);
            projects[p].chart->addSample(time, values);
            projects[p].statistics->addSample(time, values);
        }
        ++tick;
        QCoreApplication::processEvents();
    };

    // Fill to the caps with the window closed (a hidden chart keeps its points and draws when shown).
    QElapsedTimer fillTimer;
    fillTimer.start();
    for (int k = 0; k < Rows; ++k)
        ourTick(false);
    figure("fill_ticks", Rows, "ticks");
    figure("fill_time", fillTimer.nsecsElapsed() / 1e9, "s");

    // Steady tick with the first project's data and chart page shown, then with its statistics page shown.
    window.show();
    window.setCurrentIndex(0);
    QCoreApplication::processEvents();
    timedTicks(steadyTicks / 4, [&](int) { ourTick(false); });   // warm-up
    window.setCurrentIndex(1);
    QCoreApplication::processEvents();
    const std::vector<double> statisticsTab = timedTicks(steadyTicks, [&](int) { ourTick(false); });
    const double statisticsTabMedian = percentile(statisticsTab, 0.5);
    window.setCurrentIndex(0);
    QCoreApplication::processEvents();
    const std::vector<double> steady = timedTicks(steadyTicks, [&](int) { ourTick(false); });
    figure("tick_median", percentile(steady, 0.5), "ms");
    figure("tick_p95", percentile(steady, 0.95), "ms");
    figure("statistics_tab_tick_median", statisticsTabMedian, "ms");
    const double pagesMemory = currentRss() - rssStart;
    figure("pages_memory", pagesMemory, "MB");

    // Further ticks, every fourth half a second after the one before, each page shown in turn.
    // One round over all pages first, so that each page has been drawn once before the baseline.
    auto growthTick = [&](int k) {
        if (k % ticksPerTab == 0)
            window.setCurrentIndex((k / ticksPerTab) % window.count());
        ourTick(k % 4 == 3);
    };
    timedTicks(ticksPerTab * window.count(), growthTick);
    const double rssBeforeGrowth = currentRss();
    const std::vector<double> growth = timedTicks(growthTicks, growthTick);
    figure("growth_ticks", growthTicks, "ticks");
    figure("growth_tick_median", percentile(growth, 0.5), "ms");
    figure("rss_growth", currentRss() - rssBeforeGrowth, "MB");
    int maxPoints = 0;
    for (const Project &project : projects) {
        QCustomPlotL *chart = project.chart->chart();
        for (int g = 0; g < chart->graphCount(); ++g)
            maxPoints = std::max(maxPoints, chart->graph(g)->dataCount());
    }
    figure("chart_points_max", maxPoints, "points");
    auto *dataView = projects[0].chart->findChild<QTableView *>(QStringLiteral("tableWidget_Data"));
    auto *statisticsView = projects[0].statistics->findChild<QTableView *>(QStringLiteral("tableWidget_Statistics"));
    figure("data_rows", dataView->model()->rowCount(), "rows");
    figure("statistics_rows", statisticsView->model()->rowCount(), "rows");
    figure("peak_rss", peakRss(), "MB");

    // The same ticks on plain per-cell tables of the same size; the charts stay ours.
    QTabWidget plainWindow;
    plainWindow.resize(1235, 891);
    std::vector<std::unique_ptr<PlainTables>> plain;
    for (int p = 0; p < Projects; ++p)
        plain.emplace_back(new PlainTables(&plainWindow, p));
    const double rssBeforePlain = currentRss();
    fillTimer.start();
    for (int p = 0; p < Projects; ++p) {
        Clock projectClock = clock;
        plain[p]->fill(projectClock, tick, p);
        if (p == Projects - 1)
            clock = projectClock;
    }
    tick += Rows;
    figure("widget_fill_time", fillTimer.nsecsElapsed() / 1e9, "s");
    auto plainTick = [&](bool sameSecond) {
        const QDateTime time = clock.next(sameSecond);
        for (int p = 0; p < Projects; ++p) {
            const QList<double> values = sampleValues(p, tick);
            plain[p]->addSample(time, values);
            projects[p].chart->chart()->AddPoints(time, values);
        }
        ++tick;
        QCoreApplication::processEvents();
    };
    plainWindow.show();
    plainWindow.setCurrentIndex(1);
    window.setCurrentIndex(1);
    QCoreApplication::processEvents();
    const double plainStatisticsTabMedian = percentile(timedTicks(steadyTicks, [&](int) { plainTick(false); }), 0.5);
    plainWindow.setCurrentIndex(0);
    window.setCurrentIndex(0);   // the first project's chart is drawn on every tick, as above
    QCoreApplication::processEvents();
    const std::vector<double> plainSteady = timedTicks(steadyTicks, [&](int) { plainTick(false); });
    const double plainMedian = percentile(plainSteady, 0.5);
    const double plainMemory = currentRss() - rssBeforePlain;
    figure("widget_tick_median", plainMedian, "ms");
    figure("widget_tick_p95", percentile(plainSteady, 0.95), "ms");
    figure("widget_statistics_tab_tick_median", plainStatisticsTabMedian, "ms");
    figure("widget_tables_memory", plainMemory, "MB");
    figure("widget_peak_rss", peakRss(), "MB");
    const double ourMedian = percentile(steady, 0.5);
    figure("tick_vs_widget", ourMedian > 0 ? plainMedian / ourMedian : 0, "x");
    figure("statistics_tab_tick_vs_widget",
           statisticsTabMedian > 0 ? plainStatisticsTabMedian / statisticsTabMedian : 0, "x");
    figure("memory_vs_widget", pagesMemory > 0 ? plainMemory / pagesMemory : 0, "x");
    return 0;
}
