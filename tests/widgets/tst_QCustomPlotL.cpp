#include "widgets/QCustomPlotL.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <QtTest>

namespace {

QDateTime at(qint64 seconds, int msecs = 0)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0), Qt::UTC).addMSecs(seconds * 1000 + msecs);
}
const double T0 = QCustomPlotL::TimeKey(at(0));

// count points one second apart, valued 0, 1, 2, ...
bool setCounting(QCustomPlotL &chart, int count)
{
    QList<QDateTime> times;
    QList<double> values;
    for (int n = 0; n < count; ++n) {
        times << at(n);
        values << n;
    }
    return chart.SetAllData(0, times, values);
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

// "lower..upper" to a millionth, so that rounding noise of the axis arithmetic does not count.
QString span(double lower, double upper)
{
    auto num = [](double v) { return QString::number(qRound64(v * 1e6) / 1e6, 'g', 12); };
    return num(lower) + ".." + num(upper);
}
// "x | y | y2"; time keys count from at(0) when timeKeys is set.
QString ranges(const QCustomPlotL &c, bool timeKeys = true)
{
    const double t = timeKeys ? T0 : 0;
    return span(c.xAxis->range().lower - t, c.xAxis->range().upper - t) + " | "
        + span(c.yAxis->range().lower, c.yAxis->range().upper) + " | "
        + span(c.yAxis2->range().lower, c.yAxis2->range().upper);
}

void setRanges(QCustomPlotL &chart, double x0, double x1, double y0, double y1)
{
    chart.xAxis->setRange(x0, x1);
    chart.yAxis->setRange(y0, y1);
    chart.yAxis2->setRange(0, 50);
    chart.replot();
}

// A shown chart, laid out so that pixel conversions hold, with navigation on.
void showChart(QCustomPlotL &chart, const QStringList &units, double x0, double x1, double y0, double y1)
{
    chart.resize(800, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QVERIFY(chart.SetChannels(QStringList{"a", "b"}.mid(0, units.size()), units, QList<bool>{true, false}.mid(0, units.size()), false));
    chart.SetInteractionFlags(false, false);
    setRanges(chart, x0, x1, y0, y1);
}

} // namespace

class tst_QCustomPlotL : public QObject
{
    Q_OBJECT

private slots:
    // Each channel on the axis of its unit, the legend on request and kept in its place by a
    // second set-up; refused set-ups, samples of the wrong length and data with fewer values
    // than times change nothing; good data replaces a graph's data sorted.
    void channelsAndData()
    {
        QCustomPlotL chart;
        auto axes = [&chart] {
            QString s;
            for (int g = 0; g < chart.graphCount(); ++g)
                s += (chart.graph(g)->valueAxis() == chart.yAxis ? "L" : "R") + QString::number(chart.graph(g)->dataCount());
            return s + (chart.yAxis2->visible() ? " right " + chart.yAxis2->label() : QString())
                + (chart.legend->visible() ? " legend" : "");
        };
        QVERIFY(chart.SetChannels({"1-1", "1-2", "1-3"}, {"℃", "%RH"}, {true, false, true}, false));
        QVERIFY(!chart.SetChannels({"a"}, {"℃", "%RH", "kPa"}, {}, false));
        QVERIFY(!chart.SetChannels({"a", "b"}, {"℃"}, {true}, false));
        QVERIFY(!chart.SetGraphVisible(3, false) && chart.SetGraphVisible(1, false));
        QVERIFY(!chart.AddPoints(at(0), {1.0, 2.0}) && !chart.AddPoints(at(0), {1.0, 2.0, 3.0, 4.0}));
        QVERIFY(!chart.SetAllData(0, {at(0), at(1)}, {1.0}) && !chart.UserNavigation());
        QCOMPARE(axes(), QStringLiteral("L0R0L0 right %RH"));
        QVERIFY(!chart.graph(1)->visible() && chart.graph(0)->visible());

        QVERIFY(chart.SetChannels({"a", "b"}, {"V"}, {}, true));
        QVERIFY(chart.AddPoints(at(500), {7.0, 8.0}));
        QVERIFY(chart.SetAllData(1, {at(20), at(10), at(30)}, {2.0, 1.0, 3.0, 99.0}) && chart.UserNavigation());
        QCOMPARE(axes(), QStringLiteral("L1L3 legend"));
        QStringList values;
        for (const QCPGraphData &point : *chart.graph(1)->data())
            values << QString::number(point.value);
        values << QString::number(chart.graph(0)->data()->constBegin()->value);
        QCOMPARE(values.join(' '), QStringLiteral("1 2 3 7"));
        chart.SetTimeRange(at(5), at(25));
        QCOMPARE(ranges(chart).section(" | ", 0, 0), QStringLiteral("5..25"));
        QVERIFY(chart.SetChannels({"a"}, {"V"}, {}, true));
        QCOMPARE(chart.legend->layout(), static_cast<QCPLayout *>(chart.plotLayout()));
    }

    void pointCapHoldsWithDuplicateKeys()
    {
        QCustomPlotL chart;
        QVERIFY(chart.SetChannels({"a"}, {"℃"}, {}, false));
        // Two samples in every second: pairs of points share a key. Value = sample number.
        const int samples = 14000, cap = QCustomPlotL::MaxPoints + 1;
        for (int n = 0; n < samples; ++n) {
            QVERIFY(chart.AddPoints(at(n / 2, (n % 2) * 500), {double(n)}));
            QVERIFY(chart.graph(0)->dataCount() <= cap);
        }
        // Exactly the oldest points left: the newest 10001 samples remain, in order.
        QCOMPARE(chart.graph(0)->dataCount(), cap);
        int expected = samples - cap;
        for (const QCPGraphData &point : *chart.graph(0)->data())
            QCOMPARE(point.value, double(expected++));

        // A graph filled beyond the cap (whole data set) comes down to the cap on the next point.
        QVERIFY(setCounting(chart, 12000));
        QVERIFY(chart.AddPoints(at(12000), {12000.0}));
        QCOMPARE(chart.graph(0)->dataCount(), cap);
        QCOMPARE(chart.graph(0)->data()->constBegin()->value, 2000.0);
    }

    // Each mode, then a point: which axes follow the data and whether the user may navigate.
    // A hidden chart catches up on show; a time range set meanwhile wins over the deferred
    // rescale; whole data given to it is rescaled to once, on show.
    void rescaleModesAndHiddenChart()
    {
        QCustomPlotL chart;
        showChart(chart, {"℃", "%RH"}, 0, 1, 0, 1);
        chart.SetInteractionFlags(true, true);
        QVERIFY(chart.AddPoints(at(0), {10.0, 50.0}));
        struct Step { bool time, value; int at; double v1, v2; const char *ranges; };
        const Step steps[] = {
            {true, true, 100, 20, 60, "0..100 | 10..20 | 50..60"},   // every axis fits the data
            {true, false, 200, 30, 70, "0..200 | 10..20 | 50..60"},  // value axes stay
            {false, true, 300, 40, 80, "0..200 | 10..40 | 50..80"},  // both value axes follow, time stays
            {false, false, 400, 90, 90, "0..200 | 10..40 | 50..80"}, // nothing moves
        };
        for (const Step &step : steps) {
            chart.SetInteractionFlags(step.time, step.value);
            QCOMPARE(chart.UserNavigation(), !step.time && !step.value);
            QVERIFY(chart.AddPoints(at(step.at), {step.v1, step.v2}));
            QCOMPARE(ranges(chart), QString::fromLatin1(step.ranges));
        }

        QCustomPlotL hidden;
        hidden.resize(800, 600);
        QVERIFY(hidden.SetChannels({"a"}, {"℃"}, {}, false));
        auto reshow = [&hidden] {
            const bool pending = hidden.RefreshPending();
            hidden.show();
            return pending && QTest::qWaitForWindowExposed(&hidden) && !hidden.RefreshPending();
        };
        QVERIFY(hidden.AddPoints(at(0), {1.0}) && hidden.AddPoints(at(60), {5.0}));
        QVERIFY(reshow());
        QCOMPARE(ranges(hidden).left(14), QStringLiteral("0..60 | 1..5 |"));
        hidden.hide();
        QVERIFY(hidden.AddPoints(at(120), {9.0}));
        hidden.SetTimeRange(at(0), at(30));
        hidden.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hidden));
        QCOMPARE(ranges(hidden).left(14), QStringLiteral("0..30 | 1..9 |"));
        hidden.hide();
        QVERIFY(hidden.SetAllData(0, {at(10), at(20)}, {-4.0, 2.0}));
        QVERIFY(reshow());
        QCOMPARE(ranges(hidden).left(16), QStringLiteral("10..20 | -4..2 |"));
    }

    // A project's graphs filled one by one into a hidden chart, each widening the ranges: no axis
    // moves while the chart stays hidden (a rescale scans every graph's values), and on show
    // each axis is set once, to all the data of both value axes.
    void wholeDataOfAHiddenChartRescaledOnceOnShow()
    {
        QCustomPlotL chart;
        chart.resize(800, 600);
        const int graphs = 30;
        QStringList names;
        QList<bool> onLeft;
        for (int g = 0; g < graphs; ++g) {
            names << QString::number(g);
            onLeft << (g % 3 != 2);
        }
        QVERIFY(chart.SetChannels(names, {"℃", "%RH"}, onLeft, true));
        QList<int> moves{0, 0, 0};
        const QList<QCPAxis *> axes{chart.xAxis, chart.yAxis, chart.yAxis2};
        for (int a = 0; a < axes.size(); ++a)
            connect(axes.at(a), qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [&moves, a] { ++moves[a]; });
        // Graph g: 10 points from second g on, valued g * 10 and up.
        for (int g = 0; g < graphs; ++g) {
            QList<QDateTime> times;
            QList<double> values;
            for (int n = 0; n < 10; ++n) {
                times << at(g + n);
                values << g * 10 + n;
            }
            QVERIFY(chart.SetAllData(g, times, values));
        }
        QCOMPARE(moves, QList<int>({0, 0, 0}));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QCOMPARE(moves, QList<int>({1, 1, 1}));
        QCOMPARE(ranges(chart), QStringLiteral("0..38 | 0..289 | 20..299"));
    }

    // Wheel zoom around the cursor; a rubber band must exceed 5 pixels, one dragged up and to the
    // left is normalised; a left drag pans until released. While live refresh is on, wheel, drag
    // and band leave the ranges alone, but a double-click rescales to the data.
    void navigation()
    {
        QCustomPlotL chart;
        showChart(chart, {"℃", "%RH"}, 0, 100, 0, 10);
        const QPoint pos(400, 300), origin(300, 200), end = origin - QPoint(6, 6);
        const double x = chart.xAxis->pixelToCoord(pos.x()), y = chart.yAxis->pixelToCoord(pos.y());
        const double y2 = chart.yAxis2->pixelToCoord(pos.y()), in = 1 - 1 / 1.1;
        wheel(&chart, pos, 0);
        QCOMPARE(ranges(chart, false), QStringLiteral("0..100 | 0..10 | 0..50"));
        wheel(&chart, pos, 120);
        QCOMPARE(ranges(chart, false), span(x * in, x * in + 100 / 1.1) + " | " + span(y * in, y * in + 10 / 1.1)
                                           + " | " + span(y2 * in, y2 * in + 50 / 1.1));
        wheel(&chart, pos, -120);
        QCOMPARE(span(0, chart.xAxis->range().size()), QStringLiteral("0..100"));
        setRanges(chart, 0, 100, 0, 10);
        auto *band = chart.findChild<QRubberBand *>();
        drag(&chart, origin, origin + QPoint(5, 50), Qt::RightButton);
        QVERIFY(band && !band->isVisible());
        QCOMPARE(ranges(chart, false), QStringLiteral("0..100 | 0..10 | 0..50"));
        const QString zoomed = span(chart.xAxis->pixelToCoord(end.x()), chart.xAxis->pixelToCoord(origin.x())) + " | "
            + span(chart.yAxis->pixelToCoord(origin.y()), chart.yAxis->pixelToCoord(end.y()));
        drag(&chart, origin, end, Qt::RightButton);
        QVERIFY(!band->isVisible());
        QCOMPARE(ranges(chart, false).section(" | ", 0, 1), zoomed);

        showChart(chart, {"℃"}, 0, 80, 0, 60);
        QVERIFY(chart.AddPoints(at(0), {1.0}) && chart.AddPoints(at(10), {2.0}));
        drag(&chart, pos, pos + QPoint(10, -10), Qt::LeftButton);
        mouse(&chart, QEvent::MouseMove, QPoint(500, 290), Qt::NoButton, Qt::NoButton);
        const double dx = -10.0 * 80 / chart.width(), dy = -10.0 * 60 / chart.height();
        QCOMPARE(ranges(chart, false).section(" | ", 0, 1), span(dx, 80 + dx) + " | " + span(dy, 60 + dy));

        chart.SetInteractionFlags(true, false);
        setRanges(chart, 0, 80, 0, 60);
        wheel(&chart, pos, 120);
        drag(&chart, pos, QPoint(450, 350), Qt::LeftButton);
        drag(&chart, QPoint(100, 100), QPoint(300, 300), Qt::RightButton);
        QVERIFY(!band->isVisible());
        QCOMPARE(ranges(chart, false).section(" | ", 0, 1), QStringLiteral("0..80 | 0..60"));
        mouse(&chart, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(ranges(chart).section(" | ", 0, 1), QStringLiteral("0..10 | 1..2"));
    }

    // The read-out of the graph whose point just before the cursor's time is near the cursor:
    // its name ("CH n" without one), time and value; before the first point the first point
    // counts; far from every graph, or with a graph above the cap: nothing.
    void hoverReadOut()
    {
        QCustomPlotL chart;
        showChart(chart, {"℃"}, 0, 1, 0, 1);
        QVERIFY(chart.SetChannels({"A", "B", ""}, {"℃"}, {}, false));
        chart.SetDecimals(1);
        for (int s = 0; s <= 10; ++s)
            QVERIFY(chart.AddPoints(at(s * 10), {0.0, 50.0, 100.0 - s}));
        setRanges(chart, T0, T0 + 100, -10, 110);
        auto hover = [&chart](int seconds, int dx, double value, int dy) {
            const int x = qRound(chart.xAxis->coordToPixel(QCustomPlotL::TimeKey(at(seconds)))) + dx;
            return chart.HoverText(QPoint(x, qRound(chart.yAxis->coordToPixel(value)) + dy));
        };
        // Tests run with TZ=UTC.
        QCOMPARE(QStringList({hover(40, 3, 96, 0), hover(40, 3, 50, 2), hover(0, -20, 100, 0), hover(40, 3, 25, 0)}).join(" / "),
                 QStringLiteral("CH 3\nTime:2024-03-01 08:00:40\nData:96.0 / B\nTime:2024-03-01 08:00:40\nData:50.0 / "
                                "CH 3\nTime:2024-03-01 08:00:00\nData:100.0 / "));
        QVERIFY(setCounting(chart, QCustomPlotL::MaxPoints + 1));
        setRanges(chart, T0, T0 + 100, -10, 110);
        QCOMPARE(hover(40, 3, 96, 0), QString());
    }
};

QTEST_MAIN(tst_QCustomPlotL)
#include "tst_QCustomPlotL.moc"
