#include "acquisition/ParametersStatistics.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QtTest>

namespace {

QDateTime at(int seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(seconds);
}

// The page set up for channels "1-1", "1-2", ... in the given units.
struct Page {
    ParametersStatistics page;
    QAbstractItemModel *model = nullptr;

    Page(int decimals, const QStringList &units, int labels = -1)
    {
        QStringList names;
        for (int n = 1; n <= (labels < 0 ? units.size() : labels); ++n)
            names << QStringLiteral("1-%1").arg(n);
        page.setParameters(decimals, names, units);
        model = page.findChild<QTableView *>(QStringLiteral("tableWidget_Statistics"))->model();
    }
    // The cells of a row, the time first.
    QString row(int row) const
    {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        return cells.join(' ');
    }
    QString header(int column) const { return model->headerData(column, Qt::Horizontal).toString(); }
};

} // namespace

class tst_ParametersStatistics : public QObject
{
    Q_OBJECT

private slots:
    // Per unit: maximum and its channel, minimum and its channel, mean, max-min, max-mean,
    // mean-min and the population deviation. The first channel's unit is the first group,
    // wherever the other unit's channels sit.
    void figures_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("figures");
        const QStringList celsius{"℃", "℃", "℃", "℃"};
        // sqrt(1.25) = 1.118, not the sample form 1.291.
        QTest::newRow("1 2 3 4") << 3 << celsius << QList<double>{3.0, 1.0, 4.0, 2.0}
                                 << "4.000 1-3 1.000 1-2 2.500 3.000 1.500 1.500 1.118";
        QTest::newRow("one channel") << 2 << QStringList{"℃"} << QList<double>{-12.345}
                                     << "-12.35 1-1 -12.35 1-1 -12.35 0.00 0.00 0.00 0.00";
        // Ties go to the earlier channel.
        QTest::newRow("ties") << 1 << celsius << QList<double>{2.0, 5.0, 1.0, 5.0} << "5.0 1-2 1.0 1-3";
        QTest::newRow("ties at the minimum") << 1 << celsius << QList<double>{1.0, 3.0, 1.0, 3.0} << "3.0 1-2 1.0 1-1";
        QTest::newRow("two units") << 2 << QStringList{"%RH", "℃", "℃", "%RH"} << QList<double>{40.0, 20.0, 22.0, 60.0}
                                   << "60.00 1-4 40.00 1-1 50.00 20.00 10.00 10.00 10.00 "
                                      "22.00 1-3 20.00 1-2 21.00 2.00 1.00 1.00 1.00";
    }

    void figures()
    {
        QFETCH(int, decimals);
        QFETCH(QStringList, units);
        QFETCH(QList<double>, values);
        QFETCH(QString, figures);
        Page p(decimals, units);
        p.page.addSample(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 1, 5)), values);
        QCOMPARE(p.model->rowCount(), 1);
        QCOMPARE(p.row(0).left(24 + figures.size()), "2024-03-01 08:00:01.005 " + figures);
    }

    // Headers name figure and unit; samples of the wrong length are skipped; a second set-up
    // starts afresh; labels and units that do not pair up give a page without channel columns.
    void setUpsAndWrongSamples()
    {
        Page p(2, {"%RH", "℃", "℃", "%RH"});
        QCOMPARE(QString::number(p.model->columnCount()) + ' ' + p.header(9) + ' ' + p.header(10),
                 QStringLiteral("19 标准差(%RH) 最大值(℃)"));
        p.page.addSample(at(0), {1.0});
        p.page.addSample(at(0), {1.0, 2.0, 3.0, 4.0, 5.0});
        QCOMPARE(p.model->rowCount(), 0);
        p.page.addSample(at(0), {1.0, 2.0, 3.0, 4.0});
        p.page.setParameters(2, {"2-1", "2-2", "2-3"}, {"V", "V", "V"});
        QCOMPARE(QString::number(p.model->columnCount()) + ' ' + QString::number(p.model->rowCount()) + ' ' + p.header(1),
                 QStringLiteral("10 0 最大值(V)"));
        p.page.addSample(at(1), {1.0, 3.0, 8.0});
        QCOMPARE(p.row(0), QStringLiteral("2024-03-01 08:00:01.000 8.00 2-3 1.00 2-1 4.00 7.00 4.00 3.00 2.94"));

        Page mismatched(2, {"℃"}, 2);
        QCOMPARE(mismatched.model->columnCount(), 1);
        mismatched.page.addSample(at(0), {1.0, 2.0});
        QCOMPARE(mismatched.model->rowCount(), 0);
    }

    // At the cap the oldest row leaves for each new one, announced to the views: the model tester
    // checks every change, and an index kept on a row follows its sample.
    void rowCapUnderModelTester()
    {
        ParametersStatisticsModel model(nullptr, 4);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns({"t"}, {"1-1"}, 1, 0);
        QPersistentModelIndex kept;
        for (int n = 0; n < 7; ++n) {
            ParametersStatisticsModel::GroupRow row;
            row.maximum = n;
            row.valid = true;
            model.appendRow(at(n), {row});
            if (n == 3)
                kept = model.index(3, 1);
        }
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(0, 1).data().toString() + ' ' + model.index(3, 1).data().toString(), QStringLiteral("3 6"));
        QCOMPARE(kept.row(), 0);
        QCOMPARE(kept.data().toString(), QStringLiteral("3"));
    }
};

QTEST_MAIN(tst_ParametersStatistics)
#include "tst_ParametersStatistics.moc"
