#include "acquisition/ParametersChart.h"
#include "acquisition/ParametersStatistics.h"
#include "common/Struct_ParametersChannel.h"
#include "acquisition/TableColumnFit.h"
#include "common/Struct_System.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QTableView>
#include <QtTest>

#include <functional>

namespace {

// Every cell of the row fits its column, so none is shown cut off.
bool rowFits(const QTableView *view, int row)
{
    const QAbstractItemModel *model = view->model();
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->columnWidth(column) < view->sizeHintForIndex(model->index(row, column)).width())
            return false;
    }
    return true;
}

QList<int> widths(const QTableView *view)
{
    QList<int> list;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        list.append(view->columnWidth(column));
    return list;
}

} // namespace

class tst_TableColumnFit : public QObject
{
    Q_OBJECT

private:
    // Fed with short values first and much wider ones afterwards, then short ones again: the
    // wide row gets room, the short row after it takes none away.
    void checkGrowingValues(QTableView *view, const std::function<void(const QDateTime &, const QList<double> &)> &add)
    {
        QVERIFY(view);
        const QDateTime time = QDateTime::fromString(QStringLiteral("2024-05-01 08:00:00"), Qt::ISODate);
        add(time, {1.5, 2.5, 3.5});
        QVERIFY(rowFits(view, 0));
        const QList<int> first = widths(view);

        add(time.addSecs(1), {-1234.56, 2.5, 123456.78});
        QCOMPARE(view->model()->rowCount(), 2);
        QVERIFY(rowFits(view, 1));
        const QList<int> grown = widths(view);
        QVERIFY(grown.at(1) > first.at(1));

        add(time.addSecs(2), {1.5, 2.5, 3.5});
        QCOMPARE(widths(view), grown);
    }

private slots:
    void chartAndStatisticsTablesGrowWithValues()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        Struct_System system;
        QList<Struct_ParametersChannel> rows;
        for (int c = 1; c <= 3; ++c) {
            Struct_ParametersChannel row;
            row.Channel = QString::number(c);
            row.Unit = row.DisplayUnit = QStringLiteral("℃");
            rows.append(row);
        }
        ParametersChart chart;
        chart.setParameters(&system, rows);
        checkGrowingValues(chart.findChild<QTableView *>(QStringLiteral("tableWidget_Data")),
                           [&chart](const QDateTime &t, const QList<double> &v) { chart.addSample(t, v); });

        ParametersStatistics statistics;
        statistics.setParameters(2, {"1-1", "1-2", "1-3"}, {"℃", "℃", "℃"});
        checkGrowingValues(statistics.findChild<QTableView *>(QStringLiteral("tableWidget_Statistics")),
                           [&statistics](const QDateTime &t, const QList<double> &v) { statistics.addSample(t, v); });
    }
};

QTEST_MAIN(tst_TableColumnFit)
#include "tst_TableColumnFit.moc"
