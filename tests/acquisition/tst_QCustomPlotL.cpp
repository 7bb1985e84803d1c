#include "acquisition/QCustomPlotL.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <QtTest>

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

// A shown chart of the given size, laid out so that pixel conversions hold.
void showChart(QCustomPlotL &chart)
{
    chart.resize(800, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.replot();
}

} // namespace

class tst_QCustomPlotL : public QObject
{
    Q_OBJECT

private slots:
    void setChannelsRefusesBadCountsAndKeepsGraphs();
    void axisChoiceFollowsUnits();
    void indexChecks();
    void addPointsNeedsOneValuePerGraph();
    void pointCapHoldsWithDuplicateKeys();
    void pointCapTrimsOverfullGraph();
    void rescaleModes();
    void hiddenChartCatchesUpOnShow();
    void setAllDataReplacesUnsortedData();
    void wheelZoomAroundCursor();
    void rubberBandZoomNeedsMoreThanFivePixels();
    void panAndDoubleClick();
    void navigationOffLeavesRanges();
    void toolTipText();
    void hoverFindsGraphNearCursor();
};

void tst_QCustomPlotL::setChannelsRefusesBadCountsAndKeepsGraphs()
{
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"1-1", "1-2"}, {"℃"}, {}, false));
    QCOMPARE(chart.graphCount(), 2);

    QVERIFY(!chart.SetChannels({}, {"℃"}, {}, false));
    QVERIFY(!chart.SetChannels({"a"}, {}, {}, false));
    QVERIFY(!chart.SetChannels({"a"}, {"℃", "%RH", "kPa"}, {}, false));
    QVERIFY(!chart.SetChannels({"a", "b"}, {"℃"}, {true}, false));

    QCOMPARE(chart.graphCount(), 2);
    QCOMPARE(chart.graph(1)->name(), QStringLiteral("1-2"));
    QCOMPARE(chart.yAxis->label(), QStringLiteral("℃"));
}

void tst_QCustomPlotL::axisChoiceFollowsUnits()
{
    QCustomPlotL chart;
    QCOMPARE(chart.xAxis->label(), QStringLiteral("Time"));
    QCOMPARE(chart.yAxis->label(), QStringLiteral("X"));

    QVERIFY(chart.SetChannels({"1-1", "1-2", "1-3"}, {"℃", "%RH"}, {true, false, true}, false));
    QCOMPARE(chart.graph(0)->valueAxis(), chart.yAxis);
    QCOMPARE(chart.graph(1)->valueAxis(), chart.yAxis2);
    QCOMPARE(chart.graph(2)->valueAxis(), chart.yAxis);
    QVERIFY(chart.yAxis2->visible());
    QCOMPARE(chart.yAxis->label(), QStringLiteral("℃"));
    QCOMPARE(chart.yAxis2->label(), QStringLiteral("%RH"));
    QVERIFY(!chart.legend->visible());

    // Pens carry the colours the curve list shows.
    for (int g = 0; g < 3; ++g) {
        QColor colour;
        QVERIFY(chart.GetChannelColor(g, colour));
        QCOMPARE(chart.graph(g)->pen().color(), colour);
        QCOMPARE(chart.graph(g)->lineStyle(), QCPGraph::lsLine);
    }

    // One unit and no choices: every graph on the left axis, the right one hidden; legend on request.
    QVERIFY(chart.SetChannels({"a", "b"}, {"V"}, {}, true));
    QCOMPARE(chart.graphCount(), 2);
    QCOMPARE(chart.graph(1)->valueAxis(), chart.yAxis);
    QVERIFY(!chart.yAxis2->visible());
    QCOMPARE(chart.AxisChoices(), QList<bool>({true, true}));
    QVERIFY(chart.legend->visible());
    QCOMPARE(chart.legend->layout(), static_cast<QCPLayout *>(chart.plotLayout()));
    // A second set-up with a legend keeps it in its place.
    QVERIFY(chart.SetChannels({"a"}, {"V"}, {}, true));
    QCOMPARE(chart.legend->layout(), static_cast<QCPLayout *>(chart.plotLayout()));
}

void tst_QCustomPlotL::indexChecks()
{
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"a", "b"}, {"℃"}, {}, false));
    QColor colour(1, 2, 3);
    QVERIFY(!chart.GetChannelColor(-1, colour));
    QVERIFY(!chart.GetChannelColor(2, colour));
    QCOMPARE(colour, QColor(1, 2, 3));
    QVERIFY(!chart.SetGraphVisible(-1, false));
    QVERIFY(!chart.SetGraphVisible(2, false));
    QVERIFY(chart.SetGraphVisible(1, false));
    QVERIFY(!chart.graph(1)->visible());
    QVERIFY(chart.graph(0)->visible());
}

void tst_QCustomPlotL::addPointsNeedsOneValuePerGraph()
{
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"a", "b", "c"}, {"℃"}, {}, false));
    QVERIFY(!chart.AddPoints(at(0), {1.0, 2.0}));
    QVERIFY(!chart.AddPoints(at(0), {1.0, 2.0, 3.0, 4.0}));
    for (int g = 0; g < 3; ++g)
        QCOMPARE(chart.graph(g)->dataCount(), 0);
    QVERIFY(chart.AddPoints(at(0), {1.0, 2.0, 3.0}));
    QCOMPARE(chart.graph(2)->dataCount(), 1);
    QCOMPARE(chart.graph(2)->data()->constBegin()->key, QCustomPlotL::TimeKey(at(0)));
    QCOMPARE(chart.graph(2)->data()->constBegin()->value, 3.0);
}

void tst_QCustomPlotL::pointCapHoldsWithDuplicateKeys()
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
    const int first = samples - (QCustomPlotL::MaxPoints + 1);
    QCOMPARE(data->constBegin()->value, double(first));
    QCOMPARE(data->constBegin()->key, QCustomPlotL::TimeKey(at(first / 2)));
    QCOMPARE((data->constEnd() - 1)->value, double(samples - 1));
    int expected = first;
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        QCOMPARE(it->value, double(expected++));
}

void tst_QCustomPlotL::pointCapTrimsOverfullGraph()
{
    // A graph filled beyond the cap (whole data set) comes down to the cap on the next point.
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    QList<QDateTime> times;
    QList<double> values;
    for (int n = 0; n < 12000; ++n) {
        times.append(at(n));
        values.append(n);
    }
    QVERIFY(chart.SetAllData(0, times, values));
    QVERIFY(chart.AddPoints(at(12000), {12000.0}));
    QCOMPARE(chart.graph(0)->dataCount(), QCustomPlotL::MaxPoints + 1);
    QCOMPARE(chart.graph(0)->data()->constBegin()->value, 2000.0);
}

void tst_QCustomPlotL::rescaleModes()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"a", "b"}, {"℃", "%RH"}, {true, false}, false));
    QVERIFY(chart.AddPoints(at(0), {10.0, 50.0}));
    QVERIFY(chart.AddPoints(at(100), {20.0, 60.0}));
    // Both flags: every axis fits the data.
    QCOMPARE(chart.xAxis->range().lower, QCustomPlotL::TimeKey(at(0)));
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(100)));
    QCOMPARE(chart.yAxis->range(), QCPRange(10.0, 20.0));
    QCOMPARE(chart.yAxis2->range(), QCPRange(50.0, 60.0));

    // Time only: the value axes stay where they are.
    chart.SetInteractionFlags(true, false);
    QVERIFY(!chart.UserNavigation());
    QVERIFY(chart.AddPoints(at(200), {30.0, 70.0}));
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(200)));
    QCOMPARE(chart.yAxis->range(), QCPRange(10.0, 20.0));
    QCOMPARE(chart.yAxis2->range(), QCPRange(50.0, 60.0));

    // Value only: both visible value axes follow, time stays.
    chart.SetInteractionFlags(false, true);
    QVERIFY(chart.AddPoints(at(300), {40.0, 80.0}));
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(200)));
    QCOMPARE(chart.yAxis->range(), QCPRange(10.0, 40.0));
    QCOMPARE(chart.yAxis2->range(), QCPRange(50.0, 80.0));

    // Neither: nothing moves and the user may navigate.
    chart.SetInteractionFlags(false, false);
    QVERIFY(chart.UserNavigation());
    QVERIFY(chart.AddPoints(at(400), {90.0, 90.0}));
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(200)));
    QCOMPARE(chart.yAxis->range(), QCPRange(10.0, 40.0));
}

void tst_QCustomPlotL::hiddenChartCatchesUpOnShow()
{
    QCustomPlotL chart;
    chart.resize(800, 600);
    QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    QVERIFY(chart.AddPoints(at(0), {1.0}));
    QVERIFY(chart.AddPoints(at(60), {5.0}));
    QVERIFY(chart.RefreshPending());
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QVERIFY(!chart.RefreshPending());
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(60)));
    QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 5.0));

    // A time range set after hidden points wins over their deferred rescale.
    chart.hide();
    QVERIFY(chart.AddPoints(at(120), {9.0}));
    chart.SetTimeRange(at(0), at(30));
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCOMPARE(chart.xAxis->range().upper, QCustomPlotL::TimeKey(at(30)));
    QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 9.0));
}

void tst_QCustomPlotL::setAllDataReplacesUnsortedData()
{
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"a", "b"}, {"℃"}, {}, true));
    QVERIFY(!chart.SetAllData(-1, {at(0)}, {1.0}));
    QVERIFY(!chart.SetAllData(2, {at(0)}, {1.0}));
    QVERIFY(!chart.SetAllData(0, {at(0), at(1)}, {1.0}));
    QVERIFY(!chart.UserNavigation());
    QCOMPARE(chart.graph(0)->dataCount(), 0);

    QVERIFY(chart.AddPoints(at(500), {7.0, 8.0}));
    QVERIFY(chart.SetAllData(1, {at(20), at(10), at(30)}, {2.0, 1.0, 3.0, 99.0}));
    QVERIFY(chart.UserNavigation());
    const QSharedPointer<QCPGraphDataContainer> data = chart.graph(1)->data();
    QCOMPARE(data->size(), 3);
    QCOMPARE(data->constBegin()->key, QCustomPlotL::TimeKey(at(10)));
    QCOMPARE(data->constBegin()->value, 1.0);
    QCOMPARE((data->constEnd() - 1)->value, 3.0);
    QCOMPARE(chart.graph(0)->dataCount(), 1);

    chart.SetTimeRange(at(5), at(25));
    QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(5)), QCustomPlotL::TimeKey(at(25))));
}

void tst_QCustomPlotL::wheelZoomAroundCursor()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"a", "b"}, {"℃", "%RH"}, {true, false}, false));
    chart.SetInteractionFlags(false, false);
    chart.xAxis->setRange(0, 100);
    chart.yAxis->setRange(0, 10);
    chart.yAxis2->setRange(0, 50);
    chart.replot();

    const QPoint pos(400, 300);
    const double xAtCursor = chart.xAxis->pixelToCoord(pos.x());
    const double yAtCursor = chart.yAxis->pixelToCoord(pos.y());
    wheel(&chart, pos, 120);
    QVERIFY(qAbs(chart.xAxis->range().size() - 100 / 1.1) < 1e-9);
    QVERIFY(qAbs(chart.yAxis->range().size() - 10 / 1.1) < 1e-9);
    QVERIFY(qAbs(chart.yAxis2->range().size() - 50 / 1.1) < 1e-9);
    // Scaled around the coordinate under the cursor.
    QVERIFY(qAbs(chart.xAxis->range().lower - xAtCursor * (1 - 1 / 1.1)) < 1e-9);
    QVERIFY(qAbs(chart.yAxis->range().lower - yAtCursor * (1 - 1 / 1.1)) < 1e-9);

    wheel(&chart, pos, -120);
    QVERIFY(qAbs(chart.xAxis->range().size() - 100) < 1e-9);
    const QCPRange before = chart.xAxis->range();
    wheel(&chart, pos, 0);
    QCOMPARE(chart.xAxis->range(), before);
}

void tst_QCustomPlotL::rubberBandZoomNeedsMoreThanFivePixels()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    chart.SetInteractionFlags(false, false);
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
    mouse(&chart, QEvent::MouseButtonPress, origin, Qt::RightButton, Qt::RightButton);
    mouse(&chart, QEvent::MouseMove, end, Qt::NoButton, Qt::RightButton);
    mouse(&chart, QEvent::MouseButtonRelease, end, Qt::RightButton, Qt::NoButton);
    QVERIFY(!band->isVisible());
    QVERIFY(qAbs(chart.xAxis->range().lower - x0) < 1e-9);
    QVERIFY(qAbs(chart.xAxis->range().upper - x1) < 1e-9);
    QVERIFY(qAbs(chart.yAxis->range().lower - y0) < 1e-9);
    QVERIFY(qAbs(chart.yAxis->range().upper - y1) < 1e-9);
}

void tst_QCustomPlotL::panAndDoubleClick()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    QVERIFY(chart.AddPoints(at(0), {1.0}));
    QVERIFY(chart.AddPoints(at(10), {2.0}));
    chart.SetInteractionFlags(false, false);
    chart.xAxis->setRange(0, 80);
    chart.yAxis->setRange(0, 60);
    chart.replot();

    mouse(&chart, QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
    mouse(&chart, QEvent::MouseMove, QPoint(410, 290), Qt::NoButton, Qt::LeftButton);
    mouse(&chart, QEvent::MouseButtonRelease, QPoint(410, 290), Qt::LeftButton, Qt::NoButton);
    QVERIFY(qAbs(chart.xAxis->range().lower - (-10.0 * 80 / chart.width())) < 1e-9);
    QVERIFY(qAbs(chart.yAxis->range().lower - (-10.0 * 60 / chart.height())) < 1e-9);
    // After the release, moving does not pan.
    const QCPRange panned = chart.xAxis->range();
    mouse(&chart, QEvent::MouseMove, QPoint(500, 290), Qt::NoButton, Qt::NoButton);
    QCOMPARE(chart.xAxis->range(), panned);

    // Double-click rescales to the data, also while live refresh is on.
    chart.SetInteractionFlags(true, false);
    chart.xAxis->setRange(0, 80);
    mouse(&chart, QEvent::MouseButtonDblClick, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(chart.xAxis->range(), QCPRange(QCustomPlotL::TimeKey(at(0)), QCustomPlotL::TimeKey(at(10))));
    QCOMPARE(chart.yAxis->range(), QCPRange(1.0, 2.0));
}

void tst_QCustomPlotL::navigationOffLeavesRanges()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
    chart.SetInteractionFlags(true, false);
    chart.xAxis->setRange(0, 100);
    chart.yAxis->setRange(0, 10);
    chart.replot();

    wheel(&chart, QPoint(400, 300), 120);
    mouse(&chart, QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton, Qt::LeftButton);
    mouse(&chart, QEvent::MouseMove, QPoint(450, 350), Qt::NoButton, Qt::LeftButton);
    mouse(&chart, QEvent::MouseButtonRelease, QPoint(450, 350), Qt::LeftButton, Qt::NoButton);
    mouse(&chart, QEvent::MouseButtonPress, QPoint(100, 100), Qt::RightButton, Qt::RightButton);
    mouse(&chart, QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::RightButton);
    QVERIFY(!chart.findChild<QRubberBand *>()->isVisible());
    mouse(&chart, QEvent::MouseButtonRelease, QPoint(300, 300), Qt::RightButton, Qt::NoButton);
    QCOMPARE(chart.xAxis->range(), QCPRange(0, 100));
    QCOMPARE(chart.yAxis->range(), QCPRange(0, 10));
}

void tst_QCustomPlotL::toolTipText()
{
    QCustomPlotL chart;
    QVERIFY(chart.SetChannels({"1-1", "1-2", ""}, {"℃"}, {}, false));
    const double key = QCustomPlotL::TimeKey(at(75));   // 08:01:15 UTC; tests run with TZ=UTC
    QCOMPARE(chart.ToolTipText(0, key, 23.456), QStringLiteral("1-1\nTime:2024-03-01 08:01:15\nData:23.46"));
    chart.SetDecimals(3);
    QCOMPARE(chart.ToolTipText(2, key, -1.5), QStringLiteral("CH 3\nTime:2024-03-01 08:01:15\nData:-1.500"));
    chart.SetDecimals(0);
    QCOMPARE(chart.ToolTipText(1, key, 2.6), QStringLiteral("1-2\nTime:2024-03-01 08:01:15\nData:3"));
}

void tst_QCustomPlotL::hoverFindsGraphNearCursor()
{
    QCustomPlotL chart;
    showChart(chart);
    QVERIFY(chart.SetChannels({"A", "B", ""}, {"℃"}, {}, false));
    for (int s = 0; s <= 10; ++s)
        QVERIFY(chart.AddPoints(at(s * 10), {0.0, 50.0, 100.0 - s}));
    chart.SetInteractionFlags(false, false);
    chart.replot();

    // Just after the point at 40 s, at the third graph's value there (96).
    const int x = qRound(chart.xAxis->coordToPixel(QCustomPlotL::TimeKey(at(40)))) + 3;
    const int y = qRound(chart.yAxis->coordToPixel(96.0));
    QCOMPARE(chart.HoverText(QPoint(x, y)), QStringLiteral("CH 3\nTime:2024-03-01 08:00:40\nData:96.00"));
    QCOMPARE(chart.HoverText(QPoint(x, qRound(chart.yAxis->coordToPixel(50.0)) + 2)),
             QStringLiteral("B\nTime:2024-03-01 08:00:40\nData:50.00"));
    // Before the first point the first point counts.
    const int before = qRound(chart.xAxis->coordToPixel(QCustomPlotL::TimeKey(at(0)))) - 20;
    QCOMPARE(chart.HoverText(QPoint(before, qRound(chart.yAxis->coordToPixel(100.0)))).left(4),
             QStringLiteral("CH 3"));
    // Far from every graph: nothing.
    QCOMPARE(chart.HoverText(QPoint(x, qRound(chart.yAxis->coordToPixel(25.0)))), QString());

    // A graph above the cap switches the read-out off.
    QList<QDateTime> times;
    QList<double> values;
    for (int n = 0; n <= QCustomPlotL::MaxPoints; ++n) {
        times.append(at(n));
        values.append(0.0);
    }
    QVERIFY(chart.SetAllData(0, times, values));
    chart.xAxis->setRange(QCustomPlotL::TimeKey(at(0)), QCustomPlotL::TimeKey(at(100)));
    chart.yAxis->setRange(-10, 110);
    chart.replot();
    QCOMPARE(chart.HoverText(QPoint(x, qRound(chart.yAxis->coordToPixel(96.0)))), QString());
}

QTEST_MAIN(tst_QCustomPlotL)
#include "tst_QCustomPlotL.moc"
