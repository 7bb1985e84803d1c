#include "acquisition/ParametersStatistics.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QtTest>

namespace {

QDateTime at(int seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(seconds);
}

struct Page {
    ParametersStatistics page;
    QAbstractItemModel *model = nullptr;

    Page(int decimals, const QStringList &labels, const QStringList &units)
    {
        page.setParameters(decimals, labels, units);
        model = page.findChild<QTableView *>(QStringLiteral("tableWidget_Statistics"))->model();
    }
    // The nine cells of one group in a row.
    QStringList group(int row, int group) const
    {
        QStringList cells;
        for (int k = 1; k <= 9; ++k)
            cells.append(model->index(row, 9 * group + k).data().toString());
        return cells;
    }
    QString header(int column) const { return model->headerData(column, Qt::Horizontal).toString(); }
};

} // namespace

class tst_ParametersStatistics : public QObject
{
    Q_OBJECT

private slots:
    void headersAndGroupsFollowUnits()
    {
        // The first channel's unit is the first group, wherever the other unit's channels sit; the
        // second group starts at column 10.
        Page p(2, {"1-1", "1-2", "1-3", "1-4"}, {"%RH", "℃", "℃", "%RH"});
        QCOMPARE(p.model->columnCount(), 19);
        QCOMPARE(p.header(9), QStringLiteral("标准差(%RH)"));
        QCOMPARE(p.header(10), QStringLiteral("最大值(℃)"));
        p.page.addSample(at(0), {40.0, 20.0, 22.0, 60.0});
        QCOMPARE(p.group(0, 0), QStringList({"60.00", "1-4", "40.00", "1-1", "50.00",
                                             "20.00", "10.00", "10.00", "10.00"}));
        QCOMPARE(p.group(0, 1), QStringList({"22.00", "1-3", "20.00", "1-2", "21.00",
                                             "2.00", "1.00", "1.00", "1.00"}));
    }

    void figuresOfOneGroup_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QStringList>("figures");
        // Population deviation: sqrt(1.25) = 1.118, not the sample form 1.291.
        QTest::newRow("1 2 3 4") << 3 << QList<double>{3.0, 1.0, 4.0, 2.0}
                                 << QStringList{"4.000", "c", "1.000", "b", "2.500", "3.000", "1.500", "1.500", "1.118"};
        QTest::newRow("one channel") << 2 << QList<double>{-12.345}
                                     << QStringList{"-12.35", "a", "-12.35", "a", "-12.35", "0.00", "0.00", "0.00", "0.00"};
        // Ties go to the earlier channel.
        QTest::newRow("ties") << 1 << QList<double>{2.0, 5.0, 1.0, 5.0}
                              << QStringList{"5.0", "b", "1.0", "c"};
        QTest::newRow("ties at the minimum") << 1 << QList<double>{1.0, 3.0, 1.0, 3.0}
                                             << QStringList{"3.0", "b", "1.0", "a"};
    }

    void figuresOfOneGroup()
    {
        QFETCH(int, decimals);
        QFETCH(QList<double>, values);
        QFETCH(QStringList, figures);
        const QStringList labels = QStringList({"a", "b", "c", "d"}).mid(0, values.size());
        Page p(decimals, labels, QStringList(QVector<QString>(values.size(), QStringLiteral("℃")).toList()));
        QCOMPARE(p.model->columnCount(), 10);
        p.page.addSample(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 1, 5)), values);
        QCOMPARE(p.model->rowCount(), 1);
        QCOMPARE(p.model->index(0, 0).data().toString(), QStringLiteral("2024-03-01 08:00:01.005"));
        QCOMPARE(p.group(0, 0).mid(0, figures.size()), figures);
    }

    void wrongSamplesAndSecondSetUp()
    {
        Page p(2, {"1-1", "1-2"}, {"℃", "%RH"});
        p.page.addSample(at(0), {1.0});
        p.page.addSample(at(0), {1.0, 2.0, 3.0});
        QCOMPARE(p.model->rowCount(), 0);

        // A second set-up starts afresh: old rows and groups gone.
        p.page.addSample(at(0), {1.0, 2.0});
        p.page.setParameters(2, {"2-1", "2-2", "2-3"}, {"V", "V", "V"});
        QCOMPARE(p.model->columnCount(), 10);
        QCOMPARE(p.model->rowCount(), 0);
        QCOMPARE(p.header(1), QStringLiteral("最大值(V)"));
        p.page.addSample(at(1), {1.0, 3.0, 8.0});
        QCOMPARE(p.group(0, 0), QStringList({"8.00", "2-3", "1.00", "2-1", "4.00",
                                             "7.00", "4.00", "3.00", "2.94"}));

        // Labels and units that do not pair up give a page without channel columns.
        Page mismatched(2, {"1-1", "1-2"}, {"℃"});
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
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("3"));
        QCOMPARE(model.index(3, 1).data().toString(), QStringLiteral("6"));
        QCOMPARE(kept.row(), 0);
        QCOMPARE(kept.data().toString(), QStringLiteral("3"));
    }
};

QTEST_MAIN(tst_ParametersStatistics)
#include "tst_ParametersStatistics.moc"
