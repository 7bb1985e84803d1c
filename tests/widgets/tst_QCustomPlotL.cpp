#include "widgets/QCustomPlotL.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <QtTest>

#include <numeric>

namespace {

QDateTime at(qint64 seconds, int msecs = 0)
{
    return QDateTime::fromMSecsSinceEpoch(QDateTime(QDate(2024, 3, 1), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch()
                                          + seconds * 1000 + msecs);
}

void mouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void wheel(QWidget *w, const QPoint &pos, int delta)
{
    QWheelEvent event(QPointF(pos), QPointF(w->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

void drag(QWidget *w, const QPoint &from, const QPoint &to, Qt::MouseButton button)
{
    mouse(w, QEvent::MouseButtonPress, from, button, button);
    mouse(w, QEvent::MouseMove, to, Qt::NoButton, button);
    mouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

// A shown chart, laid out so that pixel conversions hold, with one or two units, navigation on
// and the given ranges.
void showChart(QCustomPlotL &chart, bool twoUnits, const QCPRange &x, const QCPRange &y)
{
    chart.resize(800, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    if (twoUnits)
        QVERIFY(chart.SetChannels({"a", "b"}, {"℃", "%RH"}, {true, false}, false));
    else
        QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    chart.SetInteractionFlags(false, false);
    chart.xAxis->setRange(x);
    chart.yAxis->setRange(y);
    chart.yAxis2->setRange(0, 50);
    chart.replot();
}

bool near(double a, double b)
{
    return qAbs(a - b) < 1e-9;
}

QList<QDateTime> seconds(int count)
{
    QList<QDateTime> times;
    for (int n = 0; n < count; ++n)
        times.append(at(n));
    return times;
}

} // namespace

class tst_QCustomPlotL : public QObject
{
    Q_OBJECT

private slots:
    // Each channel on the axis of its unit; a refused set-up keeps the graphs it had.
    void setChannelsAndAxisChoice()
    {
        QCustomPlotL chart;
        QVERIFY(chart.SetChannels({"1-1", "1-2", "1-3"}, {"℃", "%RH"}, {true, false, true}, false));
        QCOMPARE(chart.graph(0)->valueAxis(), chart.yAxis);
        QCOMPARE(chart.graph(1)->valueAxis(), chart.yAxis2);
        QVERIFY(chart.yAxis2->visible());
        QCOMPARE(chart.yAxis2->label(), QStringLiteral("%RH"));
        QVERIFY(!chart.legend->visible());
        QVERIFY(!chart.SetChannels({"a"}, {"℃", "%RH", "kPa"}, {}, false));
        QVERIFY(!chart.SetChannels({"a", "b"}, {"℃"}, {true}, false));
        QCOMPARE(chart.graphCount(), 3);

        // One unit and no choices: every graph on the left axis, the right one hidden; legend on
        // request, kept in its place by a second set-up.
        QVERIFY(chart.SetChannels({"a", "b"}, {"V"}, {}, true));
        QCOMPARE(chart.graph(1)->valueAxis(), chart.yAxis);
        QVERIFY(!chart.yAxis2->visible());
        QVERIFY(chart.legend->visible());
        QVERIFY(chart.SetChannels({"a"}, {"V"}, {}, true));
        QCOMPARE(chart.legend->layout(), static_cast<QCPLayout *>(chart.plotLayout()));
    }

    // Samples of the wrong length and data with fewer values than times change nothing; good
    // data replaces a graph's data sorted.
    void refusalsAndWholeData()
    {
        QCustomPlotL chart;
        QVERIFY(chart.SetChannels({"a", "b", "c"}, {"℃"}, {}, true));
        QVERIFY(!chart.SetGraphVisible(3, false));
        QVERIFY(chart.SetGraphVisible(1, false));
        QVERIFY(!chart.graph(1)->visible() && chart.graph(0)->visible());
        QVERIFY(!chart.AddPoints(at(0), {1.0, 2.0}) && !chart.AddPoints(at(0), {1.0, 2.0, 3.0, 4.0}));
        QVERIFY(!chart.SetAllData(0, {at(0), at(1)}, {1.0}));
        QVERIFY(!chart.UserNavigation());
        for (int g = 0; g < 3; ++g)
            QCOMPARE(chart.graph(g)->dataCount(), 0);

        QVERIFY(chart.AddPoints(at(500), {7.0, 8.0, 9.0}));
        QCOMPARE(chart.graph(2)->data()->constBegin()->value, 9.0);
        QVERIFY(chart.SetAllData(1, {at(20), at(10), at(30)}, {2.0, 1.0, 3.0, 99.0}));
        QVERIFY(chart.UserNavigation());
        QList<double> sorted;
        for (const QCPGraphData &point : *chart.graph(1)->data())
            sorted << point.value;
        QCOMPARE(sorted, QList<double>({1.0, 2.0, 3.0}));

        chart.SetTimeRange(at(5), at(25));
        QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(5)), QCustomPlotL::TimeKey(at(25))));
    }

    void pointCapHoldsWithDuplicateKeys()
    {
        QCustomPlotL chart;
        QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
        // Two samples in every second: pairs of points share a key. Value = sample number.
        const int samples = 14000;
        for (int n = 0; n < samples; ++n) {
            QVERIFY(chart.AddPoints(at(n / 2, (n % 2) * 500), {double(n)}));
            QVERIFY(chart.graph(0)->dataCount() <= QCustomPlotL::MaxPoints + 1);
        }
        const QSharedPointer<QCPGraphDataContainer> data = chart.graph(0)->data();
        QCOMPARE(data->size(), QCustomPlotL::MaxPoints + 1);
        // Exactly the oldest points left: the newest 10001 samples remain, in order.
        int expected = samples - (QCustomPlotL::MaxPoints + 1);
        for (auto it = data->constBegin(); it != data->constEnd(); ++it)
            QCOMPARE(it->value, double(expected++));

        // A graph filled beyond the cap (whole data set) comes down to the cap on the next point.
        QVector<double> values(12000);
        std::iota(values.begin(), values.end(), 0.0);
        QVERIFY(chart.SetAllData(0, seconds(12000), values.toList()));
        QVERIFY(chart.AddPoints(at(12000), {12000.0}));
        QCOMPARE(chart.graph(0)->dataCount(), QCustomPlotL::MaxPoints + 1);
        QCOMPARE(chart.graph(0)->data()->constBegin()->value, 2000.0);
    }

    // Each mode, then a point: which axes follow the data and whether the user may navigate.
    void rescaleModes()
    {
        QCustomPlotL chart;
        showChart(chart, true, QCPRange(0, 1), QCPRange(0, 1));
        chart.SetInteractionFlags(true, true);
        QVERIFY(chart.AddPoints(at(0), {10.0, 50.0}));
        struct Step { bool time, value; int at; double v1, v2; int xUpper; QCPRange y, y2; };
        const Step steps[] = {
            {true, true, 100, 20, 60, 100, {10, 20}, {50, 60}},    // every axis fits the data
            {true, false, 200, 30, 70, 200, {10, 20}, {50, 60}},   // value axes stay
            {false, true, 300, 40, 80, 200, {10, 40}, {50, 80}},   // both value axes follow, time stays
            {false, false, 400, 90, 90, 200, {10, 40}, {50, 80}},  // nothing moves
        };
        for (const Step &step : steps) {
            chart.SetInteractionFlags(step.time, step.value);
            QCOMPARE(chart.UserNavigation(), !step.time && !step.value);
            QVERIFY(chart.AddPoints(at(step.at), {step.v1, step.v2}));
            QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(0)), QCustomPlotL::TimeKey(at(step.xUpper))));
            QCOMPARE(chart.yAxis->range(), step.y);
            QCOMPARE(chart.yAxis2->range(), step.y2);
        }
    }

    void hiddenChartCatchesUpOnShow()
    {
        QCustomPlotL chart;
        chart.resize(800, 600);
        QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
        QVERIFY(chart.AddPoints(at(0), {1.0}));
        QVERIFY(chart.AddPoints(at(60), {5.0}));
        QVERIFY(chart.RefreshPending());
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart) && !chart.RefreshPending());
        QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 5.0));
        // A time range set after hidden points wins over their deferred rescale.
        chart.hide();
        QVERIFY(chart.AddPoints(at(120), {9.0}));
        chart.SetTimeRange(at(0), at(30));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(30)));
        QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 9.0));
        // Whole data given to the hidden chart is rescaled to once, on show.
        chart.hide();
        QVERIFY(chart.SetAllData(0, {at(10), at(20)}, {-4.0, 2.0}));
        QVERIFY(chart.RefreshPending());
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart) && !chart.RefreshPending());
        QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(10)), QCustomPlotL::TimeKey(at(20))));
        QCOMPARE(chart.yAxis->range(), QCPRange(-4.0, 2.0));
    }

    void wheelAndRubberBandZoom()
    {
        QCustomPlotL chart;
        showChart(chart, true, QCPRange(0, 100), QCPRange(0, 10));
        const QPoint pos(400, 300);
        const double xAtCursor = chart.xAxis->pixelToCoord(pos.x());
        const double yAtCursor = chart.yAxis->pixelToCoord(pos.y());
        wheel(&chart, pos, 120);
        QVERIFY(near(chart.xAxis->range().size(), 100 / 1.1) && near(chart.yAxis->range().size(), 10 / 1.1));
        QVERIFY(near(chart.yAxis2->range().size(), 50 / 1.1));
        // Scaled around the coordinate under the cursor.
        QVERIFY(near(chart.xAxis->range().lower, xAtCursor * (1 - 1 / 1.1))
                && near(chart.yAxis->range().lower, yAtCursor * (1 - 1 / 1.1)));

        wheel(&chart, pos, -120);
        QVERIFY(near(chart.xAxis->range().size(), 100));
        const QCPRange before = chart.xAxis->range();
        wheel(&chart, pos, 0);
        QCOMPARE(chart.xAxis->range(), before);

        // Rubber band: a band of 5 pixels or less zooms nothing.
        chart.xAxis->setRange(0, 100);
        chart.yAxis->setRange(0, 10);
        chart.replot();
        auto *band = chart.findChild<QRubberBand *>();
        QVERIFY(band);
        const QPoint origin(300, 200);
        mouse(&chart, QEvent::MouseButtonPress, origin, Qt::RightButton, Qt::RightButton);
        QVERIFY(band->isVisible());
        mouse(&chart, QEvent::MouseMove, origin + QPoint(5, 50), Qt::NoButton, Qt::RightButton);
        QCOMPARE(band->geometry(), QRect(origin, QSize(5, 50)));
        mouse(&chart, QEvent::MouseButtonRelease, origin + QPoint(5, 50), Qt::RightButton, Qt::NoButton);
        QVERIFY(!band->isVisible());
        QCOMPARE(chart.xAxis->range(), QCPRange(0, 100));
        QCOMPARE(chart.yAxis->range(), QCPRange(0, 10));

        // Dragged up and to the left: the band is normalised.
        const QPoint end = origin - QPoint(6, 6);
        const double x0 = chart.xAxis->pixelToCoord(end.x()), x1 = chart.xAxis->pixelToCoord(origin.x());
        const double y0 = chart.yAxis->pixelToCoord(origin.y()), y1 = chart.yAxis->pixelToCoord(end.y());
        drag(&chart, origin, end, Qt::RightButton);
        QVERIFY(!band->isVisible());
        QVERIFY(near(chart.xAxis->range().lower, x0) && near(chart.xAxis->range().upper, x1));
        QVERIFY(near(chart.yAxis->range().lower, y0) && near(chart.yAxis->range().upper, y1));
    }

    void panDoubleClickAndNavigationOff()
    {
        QCustomPlotL chart;
        showChart(chart, false, QCPRange(0, 80), QCPRange(0, 60));
        QVERIFY(chart.AddPoints(at(0), {1.0}));
        QVERIFY(chart.AddPoints(at(10), {2.0}));
        drag(&chart, QPoint(400, 300), QPoint(410, 290), Qt::LeftButton);
        QVERIFY(near(chart.xAxis->range().lower, -10.0 * 80 / chart.width()));
        QVERIFY(near(chart.yAxis->range().lower, -10.0 * 60 / chart.height()));
        // After the release, moving does not pan.
        const QCPRange panned = chart.xAxis->range();
        mouse(&chart, QEvent::MouseMove, QPoint(500, 290), Qt::NoButton, Qt::NoButton);
        QCOMPARE(chart.xAxis->range(), panned);

        // While live refresh is on, wheel, drag and band leave the ranges alone...
        chart.SetInteractionFlags(true, false);
        chart.xAxis->setRange(0, 80);
        chart.yAxis->setRange(0, 60);
        wheel(&chart, QPoint(400, 300), 120);
        drag(&chart, QPoint(400, 300), QPoint(450, 350), Qt::LeftButton);
        mouse(&chart, QEvent::MouseButtonPress, QPoint(100, 100), Qt::RightButton, Qt::RightButton);
        mouse(&chart, QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::RightButton);
        QVERIFY(!chart.findChild<QRubberBand *>()->isVisible());
        mouse(&chart, QEvent::MouseButtonRelease, QPoint(300, 300), Qt::RightButton, Qt::NoButton);
        QCOMPARE(chart.xAxis->range(), QCPRange(0, 80));
        QCOMPARE(chart.yAxis->range(), QCPRange(0, 60));

        // ...but a double-click rescales to the data.
        mouse(&chart, QEvent::MouseButtonDblClick, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(0)), QCustomPlotL::TimeKey(at(10))));
        QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 2.0));
    }

    void toolTipAndHover()
    {
        QCustomPlotL chart;
        showChart(chart, false, QCPRange(0, 1), QCPRange(0, 1));
        QVERIFY(chart.SetChannels({"A", "B", ""}, {"℃"}, {}, false));
        const double key = QCustomPlotL::TimeKey(at(75));   // 08:01:15 UTC; tests run with TZ=UTC
        QCOMPARE(chart.ToolTipText(0, key, 23.456), QStringLiteral("A\nTime:2024-03-01 08:01:15\nData:23.46"));
        chart.SetDecimals(0);
        QCOMPARE(chart.ToolTipText(2, key, 2.6), QStringLiteral("CH 3\nTime:2024-03-01 08:01:15\nData:3"));
        chart.SetDecimals(2);

        chart.SetInteractionFlags(true, true);
        for (int s = 0; s <= 10; ++s)
            QVERIFY(chart.AddPoints(at(s * 10), {0.0, 50.0, 100.0 - s}));
        chart.SetInteractionFlags(false, false);
        chart.replot();
        // Just after the point at 40 s, at the third graph's value there (96).
        auto pixelY = [&chart](double value) { return qRound(chart.yAxis->coordToPixel(value)); };
        const int x = qRound(chart.xAxis->coordToPixel(QCustomPlotL::TimeKey(at(40)))) + 3;
        QCOMPARE(chart.HoverText(QPoint(x, pixelY(96.0))), QStringLiteral("CH 3\nTime:2024-03-01 08:00:40\nData:96.00"));
        QCOMPARE(chart.HoverText(QPoint(x, pixelY(50.0) + 2)), QStringLiteral("B\nTime:2024-03-01 08:00:40\nData:50.00"));
        // Before the first point the first point counts; far from every graph: nothing.
        const int before = qRound(chart.xAxis->coordToPixel(QCustomPlotL::TimeKey(at(0)))) - 20;
        QCOMPARE(chart.HoverText(QPoint(before, pixelY(100.0))).left(4), QStringLiteral("CH 3"));
        QCOMPARE(chart.HoverText(QPoint(x, pixelY(25.0))), QString());

        // A graph above the cap switches the read-out off.
        QVERIFY(chart.SetAllData(0, seconds(QCustomPlotL::MaxPoints + 1), QVector<double>(QCustomPlotL::MaxPoints + 1).toList()));
        chart.xAxis->setRange(QCustomPlotL::TimeKey(at(0)), QCustomPlotL::TimeKey(at(100)));
        chart.yAxis->setRange(-10, 110);
        chart.replot();
        QCOMPARE(chart.HoverText(QPoint(x, pixelY(96.0))), QString());
    }
};

QTEST_MAIN(tst_QCustomPlotL)
#include "tst_QCustomPlotL.moc"
