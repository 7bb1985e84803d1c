#include "acquisition/ParametersChart.h"
#include "acquisition/ParametersDataModel.h"
#include "acquisition/UnitGroups.h"
#include "widgets/QCustomPlotL.h"
#include "common/Struct_System.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {

QList<Struct_ParametersChannel> channelsWithUnits(const QStringList &units, int device = 0)
{
    QList<Struct_ParametersChannel> channels;
    for (int i = 0; i < units.size(); ++i) {
        Struct_ParametersChannel channel;
        channel.DeviceIndex = device;
        channel.Channel = QString::number(i + 1);
        channel.DisplayUnit = units.at(i);
        channels.append(channel);
    }
    return channels;
}

QDateTime at(int seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(seconds);
}

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

} // namespace

class tst_ParametersChart : public QObject
{
    Q_OBJECT

private:
    struct Page {
        Struct_System system;
        ParametersChart page;
        QTableView *data = nullptr;
        QTableWidget *curves = nullptr;

        explicit Page(const QStringList &units, int decimals = 2, int device = 0)
        {
            system.DataAccuracy = decimals;
            page.setParameters(&system, channelsWithUnits(units, device));
            data = page.findChild<QTableView *>(QStringLiteral("tableWidget_Data"));
            curves = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_Chart"));
        }
        QString text(int row, int column) const
        {
            return data->model()->index(row, column).data().toString();
        }
        // The colours of a row's value cells: R for red, G for green, . for none.
        QString colours(int row) const
        {
            QString marks;
            for (int column = 1; column < data->model()->columnCount(); ++column) {
                const QVariant v = data->model()->index(row, column).data(Qt::ForegroundRole);
                const QColor colour = v.isValid() ? v.value<QBrush>().color() : QColor();
                marks += colour == Red ? QLatin1Char('R') : colour == Green ? QLatin1Char('G') : QLatin1Char('.');
            }
            return marks;
        }
        QString icon(int row) const { return curves->item(row, 0)->data(Qt::UserRole).toString(); }
        QPushButton *button(const char *name) const { return page.findChild<QPushButton *>(QLatin1String(name)); }
    };

private slots:
    void setParametersBuildsTablesAndChart()
    {
        Page p({"℃", "%RH", "℃"}, 3);
        QVERIFY(p.data && p.curves);
        QCOMPARE(p.data->model()->columnCount(), 4);
        QCOMPARE(p.data->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("1-2(%RH)"));

        QCustomPlotL *chart = p.page.chart();
        QCOMPARE(chart->graphCount(), 3);
        QCOMPARE(chart->AxisChoices(), QList<bool>({true, false, true}));
        QVERIFY(chart->yAxis2->visible());
        QCOMPARE(chart->Decimals(), 3);

        // The curve list: one checked row per channel with the graph's colour and name.
        QCOMPARE(p.curves->rowCount(), 3);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(p.icon(row), ParametersChart::CheckedIcon);
            QCOMPARE(p.curves->item(row, 2)->text(), QStringLiteral("1-%1").arg(row + 1));
            QColor colour;
            QVERIFY(chart->GetChannelColor(row, colour));
            QVERIFY(p.curves->cellWidget(row, 1)->findChild<QLabel *>()->styleSheet().contains(
                QStringLiteral("rgb(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue())));
        }

        // One unit keeps the right axis hidden; labels count instruments from 1.
        Page third({"℃", "℃"}, 2, 2);
        QVERIFY(!third.page.chart()->yAxis2->visible());
        QCOMPARE(third.data->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("3-1(℃)"));
    }

    void rowTextsAndColours()
    {
        // Channels 0, 1, 4 in ℃ and 2, 3 in %RH; the second unit's first channel holds its maximum.
        Page p({"℃", "℃", "%RH", "%RH", "℃"});
        // A sample whose length is not the channel count is skipped.
        p.page.addSample(at(0), {1.0});
        p.page.addSample(at(0), {1.0, 2.0, 3.0, 4.0, 5.0, 6.0});
        QCOMPARE(p.data->model()->rowCount(), 0);
        QCOMPARE(p.page.chart()->graph(0)->dataCount(), 0);

        p.page.addSample(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 5, 120)), {5.0, 9.0, 30.0, 1.0, 7.5});
        QCOMPARE(p.data->model()->rowCount(), 1);
        QCOMPARE(p.text(0, 0), QStringLiteral("2024-03-01 08:00:05.120"));
        QCOMPARE(p.text(0, 1), QStringLiteral("5.00"));
        QCOMPARE(p.text(0, 5), QStringLiteral("7.50"));

        // ℃: 9 maximum, 5 minimum, 7.5 neither; %RH: 30 maximum, 1 minimum although below every ℃ value.
        QCOMPARE(p.colours(0), QStringLiteral("GRRG."));
        QVERIFY(!p.data->model()->index(0, 0).data(Qt::ForegroundRole).isValid());

        // The same sample reaches the chart.
        QCOMPARE(p.page.chart()->graph(2)->data()->constBegin()->value, 30.0);
    }

    void tiesAndEqualValues()
    {
        Page p({"℃", "℃", "℃", "%RH", "%RH"});
        // ℃: two equal maxima go to the earlier channel; %RH: all equal (max and min one cell) ends green.
        p.page.addSample(at(0), {1.0, 4.0, 4.0, 6.0, 6.0});
        QCOMPARE(p.colours(0), QStringLiteral("GR.G."));
        // Colouring belongs to its row: a new row leaves the old colours alone.
        p.page.addSample(at(1), {9.0, 4.0, 0.0, 6.0, 7.0});
        QCOMPARE(p.colours(1), QStringLiteral("R.GGR"));
        QCOMPARE(p.colours(0), QStringLiteral("GR.G."));
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
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("3.0"));
        QCOMPARE(model.index(3, 1).data().toString(), QStringLiteral("6.0"));
        QCOMPARE(kept.row(), 0);
        QCOMPARE(kept.data().toString(), QStringLiteral("3.0"));
    }

    void curveTogglingAndSelectAll()
    {
        Page p({"℃", "℃", "%RH"});
        QCustomPlotL *chart = p.page.chart();

        // Other columns and rows outside the list change nothing (the sanitizer pass, built with
        // assertions, also stops at any look-up past the end of the list).
        p.page.Chart_clicked(1, 1);
        p.page.Chart_clicked(1, 2);
        p.page.Chart_clicked(-1, 0);
        p.page.Chart_clicked(3, 0);
        for (int row = 0; row < 3; ++row) {
            QVERIFY(chart->graph(row)->visible());
            QCOMPARE(p.icon(row), ParametersChart::CheckedIcon);
        }
        // A click on column 0 of the curve list, through the table's own signal.
        p.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.page));
        const QRect cell = p.curves->visualRect(p.curves->model()->index(1, 0));
        QTest::mouseClick(p.curves->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QVERIFY(!chart->graph(1)->visible());
        QCOMPARE(p.icon(1), ParametersChart::UncheckedIcon);
        QVERIFY(chart->graph(0)->visible());

        p.page.Chart_clicked(1, 0);
        QVERIFY(chart->graph(1)->visible());
        QCOMPARE(p.icon(1), ParametersChart::CheckedIcon);

        // All curves visible: the first click on the select-all button changes only its text.
        QPushButton *all = p.button("pushButton_All");
        all->click();
        QCOMPARE(all->text(), QStringLiteral("全不选"));
        QVERIFY(chart->graph(0)->visible() && chart->graph(1)->visible());
        all->click();
        QCOMPARE(all->text(), QStringLiteral("全选"));
        QVERIFY(!chart->graph(0)->visible() && !chart->graph(2)->visible());
        QCOMPARE(p.icon(0), ParametersChart::UncheckedIcon);
        // One curve shown by hand, then "select all" shows the rest.
        p.page.Chart_clicked(0, 0);
        all->click();
        QCOMPARE(all->text(), QStringLiteral("全不选"));
        QVERIFY(chart->graph(1)->visible() && chart->graph(2)->visible());
        QCOMPARE(p.icon(1), ParametersChart::CheckedIcon);
    }

    void refreshButtonCycle()
    {
        Page p({"℃", "℃"});
        QCustomPlotL *chart = p.page.chart();

        QPushButton *renovate = p.button("pushButton_Renovate");
        struct Step { const char *text; bool time, value; };
        const Step steps[] = {{"X轴刷新", true, false}, {"Y轴刷新", false, true},
                              {"停止刷新", false, false}, {"刷新中", true, true}, {"X轴刷新", true, false}};
        for (const Step &step : steps) {
            renovate->click();
            QCOMPARE(renovate->text(), QString::fromUtf8(step.text));
            QCOMPARE(chart->AutoScaleTime(), step.time);
            QCOMPARE(chart->AutoScaleValue(), step.value);
            QCOMPARE(chart->UserNavigation(), !step.time && !step.value);
        }
    }
};

QTEST_MAIN(tst_ParametersChart)
#include "tst_ParametersChart.moc"
