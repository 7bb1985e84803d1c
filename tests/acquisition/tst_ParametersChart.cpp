#include "acquisition/ParametersChart.h"
#include "acquisition/ParametersDataModel.h"
#include "acquisition/ParametersStatistics.h"
#include "acquisition/UnitGroups.h"
#include "widgets/QCustomPlotL.h"
#include "common/Struct_System.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include <functional>

namespace {

QDateTime at(int seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(seconds);
}

// The page set up for one channel per unit (labels "<device+1>-<n>"), with its two tables.
struct Page {
    Struct_System system;
    ParametersChart page;
    QAbstractItemModel *data = nullptr;
    QTableWidget *curves = nullptr;

    explicit Page(const QStringList &units, int decimals = 2, int device = 0)
    {
        system.DataAccuracy = decimals;
        QList<Struct_ParametersChannel> channels;
        for (int i = 0; i < units.size(); ++i) {
            channels.append(Struct_ParametersChannel());
            channels.last().DeviceIndex = device;
            channels.last().Channel = QString::number(i + 1);
            channels.last().DisplayUnit = units.at(i);
        }
        page.setParameters(&system, channels);
        data = page.findChild<QTableView *>(QStringLiteral("tableWidget_Data"))->model();
        curves = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Chart"));
    }
    // A row's texts, then its value cells' colours: R for red, G for green, . for none.
    QString row(int row) const
    {
        QStringList texts;
        QString marks;
        for (int column = 0; column < data->columnCount(); ++column) {
            texts << data->index(row, column).data().toString();
            const QVariant v = data->index(row, column).data(Qt::ForegroundRole);
            const QColor colour = v.isValid() ? v.value<QBrush>().color() : QColor();
            marks += colour == QColor(Qt::red) ? 'R' : colour == QColor(Qt::green) ? 'G' : '.';
        }
        return texts.join(' ') + ' ' + marks;
    }
    // Per curve: graph shown (V) or hidden (h), "!" where the list's icon disagrees, "#" where
    // its colour swatch is not the graph's colour; then its name.
    QString curveState() const
    {
        QStringList states;
        for (int row = 0; row < curves->rowCount(); ++row) {
            const bool shown = page.chart()->graph(row)->visible();
            const QColor c = page.chart()->graph(row)->pen().color();
            const QString icon = shown ? ParametersChart::CheckedIcon : ParametersChart::UncheckedIcon;
            const QString swatch = QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
            states << QString(shown ? "V" : "h") + (curves->item(row, 0)->data(Qt::UserRole) == icon ? "" : "!")
                    + (curves->cellWidget(row, 1)->findChild<QLabel *>()->styleSheet().contains(swatch) ? "" : "#")
                    + curves->item(row, 2)->text();
        }
        return states.join(' ');
    }
    QPushButton *button(const char *name) const { return page.findChild<QPushButton *>(QLatin1String(name)); }
};

} // namespace

class tst_ParametersChart : public QObject
{
    Q_OBJECT

private slots:
    // Headers, axes and the curve list (one checked row per channel with the graph's colour and
    // name); one unit keeps the right axis hidden; labels count instruments from 1.
    void setParametersBuildsTablesAndChart()
    {
        Page p({"℃", "%RH", "℃"}, 3);
        QCustomPlotL *chart = p.page.chart();
        QCOMPARE(p.data->headerData(2, Qt::Horizontal).toString() + ' ' + QString::number(p.data->columnCount()),
                 QStringLiteral("1-2(%RH) 4"));
        QCOMPARE(chart->AxisChoices(), QList<bool>({true, false, true}));
        QVERIFY(chart->yAxis2->visible() && chart->Decimals() == 3);
        QCOMPARE(p.curveState(), QStringLiteral("V1-1 V1-2 V1-3"));
        Page third({"℃", "℃"}, 2, 2);
        QVERIFY(!third.page.chart()->yAxis2->visible());
        QCOMPARE(third.data->headerData(1, Qt::Horizontal).toString(), QStringLiteral("3-1(℃)"));
    }

    // Per unit the maximum is red and the minimum green, each unit on its own; ties go to the
    // earlier channel, a cell that is both ends green; colouring belongs to its row. A sample
    // whose length is not the channel count is skipped, by the table and the chart.
    void rowTextsAndColours()
    {
        Page p({"℃", "℃", "%RH", "%RH", "℃"});
        p.page.addSample(at(0), {1.0});
        p.page.addSample(at(0), {1.0, 2.0, 3.0, 4.0, 5.0, 6.0});
        QCOMPARE(p.data->rowCount() + p.page.chart()->graph(0)->dataCount(), 0);
        p.page.addSample(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 5, 120)), {5.0, 9.0, 30.0, 1.0, 7.5});
        QCOMPARE(p.row(0), QStringLiteral("2024-03-01 08:00:05.120 5.00 9.00 30.00 1.00 7.50 .GRRG."));
        QCOMPARE(p.page.chart()->graph(2)->data()->constBegin()->value, 30.0);

        Page ties({"℃", "℃", "℃", "%RH", "%RH"}, 0);
        ties.page.addSample(at(0), {1.0, 4.0, 4.0, 6.0, 6.0});
        ties.page.addSample(at(1), {9.0, 4.0, 0.0, 6.0, 7.0});
        QCOMPARE(ties.row(0) + " / " + ties.row(1), QStringLiteral("2024-03-01 08:00:00.000 1 4 4 6 6 .GR.G. / "
                                                                  "2024-03-01 08:00:01.000 9 4 0 6 7 .R.GGR"));
    }

    // At the cap the oldest row leaves for each new one, announced to the views: the model tester
    // checks every change, and an index kept on a row follows its sample.
    void rowCapUnderModelTester()
    {
        ParametersDataModel model(nullptr, 4);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChannels({"t", "1-1"}, UnitGroups(QStringList{"℃"}), 1);
        QPersistentModelIndex kept;
        for (int n = 0; n < 7; ++n) {
            QVERIFY(model.appendSample(at(n), {double(n)}));
            if (n == 3)
                kept = model.index(3, 1);
        }
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.index(0, 1).data().toString() + ' ' + model.index(3, 1).data().toString(), QStringLiteral("3.0 6.0"));
        QCOMPARE(kept.row(), 0);
        QCOMPARE(kept.data().toString(), QStringLiteral("3.0"));
    }

    // Column 0 of the curve list toggles its curve (through the table's own signal too); other
    // columns and rows outside the list change nothing (the sanitizer pass, built with
    // assertions, also stops at any look-up past the end of the list). With all curves shown the
    // first press of the select-all button changes only its text.
    void curveTogglingAndSelectAll()
    {
        Page p({"℃", "℃", "%RH"});
        p.page.Chart_clicked(1, 1);
        p.page.Chart_clicked(1, 2);
        p.page.Chart_clicked(-1, 0);
        p.page.Chart_clicked(3, 0);
        QCOMPARE(p.curveState(), QStringLiteral("V1-1 V1-2 V1-3"));
        p.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.page));
        const QRect cell = p.curves->visualRect(p.curves->model()->index(1, 0));
        QTest::mouseClick(p.curves->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(p.curveState(), QStringLiteral("V1-1 h1-2 V1-3"));
        p.page.Chart_clicked(1, 0);
        QCOMPARE(p.curveState(), QStringLiteral("V1-1 V1-2 V1-3"));

        QPushButton *all = p.button("pushButton_All");
        QStringList steps;
        all->click();
        steps << all->text() + ' ' + p.curveState();
        all->click();
        steps << all->text() + ' ' + p.curveState();
        p.page.Chart_clicked(0, 0);
        all->click();
        steps << all->text() + ' ' + p.curveState();
        QCOMPARE(steps.join(", "), QStringLiteral("全不选 V1-1 V1-2 V1-3, 全选 h1-1 h1-2 h1-3, 全不选 V1-1 V1-2 V1-3"));
    }

    // Both live tables fed with short values, then much wider ones, then short ones again: each
    // row fits its columns, the wide row gets room, the short row after it takes none away.
    void tablesGrowWithValues()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        auto check = [](const QTableView *view, const std::function<void(const QDateTime &, const QList<double> &)> &add) {
            QList<QList<int>> widths;
            for (const QList<double> &sample : {QList<double>{1.5, 2.5, 3.5}, {-1234.56, 2.5, 123456.78}, {1.5, 2.5, 3.5}}) {
                add(at(widths.size()), sample);
                widths.append(QList<int>());
                for (int column = 0; column < view->model()->columnCount(); ++column) {
                    widths.last() << view->columnWidth(column);
                    const QModelIndex cell = view->model()->index(widths.size() - 1, column);
                    QVERIFY2(widths.last().last() >= view->sizeHintForIndex(cell).width(), qPrintable(cell.data().toString()));
                }
            }
            QVERIFY(widths.at(1).at(1) > widths.at(0).at(1));
            QCOMPARE(widths.at(2), widths.at(1));
        };
        Page chart({"℃", "℃", "℃"});
        check(chart.page.findChild<QTableView *>("tableWidget_Data"),
              [&chart](const QDateTime &t, const QList<double> &v) { chart.page.addSample(t, v); });
        ParametersStatistics statistics;
        statistics.setParameters(2, {"1-1", "1-2", "1-3"}, {"℃", "℃", "℃"});
        check(statistics.findChild<QTableView *>(), [&statistics](const QDateTime &t, const QList<double> &v) {
            statistics.addSample(t, v);
        });
    }

    void refreshButtonCycle()
    {
        Page p({"℃", "℃"});
        QCustomPlotL *chart = p.page.chart();
        QStringList steps;
        for (int n = 0; n < 5; ++n) {
            p.button("pushButton_Renovate")->click();
            steps << QStringLiteral("%1 %2%3%4").arg(p.button("pushButton_Renovate")->text()).arg(int(chart->AutoScaleTime()))
                         .arg(int(chart->AutoScaleValue())).arg(int(chart->UserNavigation()));
        }
        QCOMPARE(steps.join(", "), QStringLiteral("X轴刷新 100, Y轴刷新 010, 停止刷新 001, 刷新中 110, X轴刷新 100"));
    }
};

QTEST_MAIN(tst_ParametersChart)
#include "tst_ParametersChart.moc"
