#include "widgets/QCustomPlotL.h"

#include <QFont>
#include <QMouseEvent>
#include <QRubberBand>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {
const int LegendWrap = 10;

QCPRange orderedRange(double a, double b)
{
    return QCPRange(qMin(a, b), qMax(a, b));
}
}

QCustomPlotL::QCustomPlotL()
    : QCustomPlot(nullptr)
{
    m_rubberBand = new QRubberBand(QRubberBand::Rectangle, this);

    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat(QStringLiteral("MM-dd\nHH:mm:ss"));
    ticker->setTickStepStrategy(QCPAxisTicker::tssReadability);
    ticker->setTickCount(8);
    xAxis->setTicker(ticker);
    xAxis->setLabel(QStringLiteral("Time"));
    QFont tickFont;
    tickFont.setPointSize(8);
    xAxis->setTickLabelFont(tickFont);
    const double now = TimeKey(QDateTime::currentDateTime());
    xAxis->setRange(now, now + 3600);
    xAxis->setSubTicks(false);
    yAxis->setLabel(QStringLiteral("X"));

    legend->setFillOrder(QCPLegend::foColumnsFirst);
    legend->setWrap(LegendWrap);
    legend->setBorderPen(Qt::NoPen);
    legend->setVisible(false);
    replot();
}

double QCustomPlotL::TimeKey(const QDateTime &time)
{
    return static_cast<double>(time.toSecsSinceEpoch());
}

bool QCustomPlotL::SetChannels(const QStringList &names, const QStringList &units,
                               const QList<bool> &onLeftAxis, bool showLegend)
{
    if (names.isEmpty() || units.isEmpty() || units.size() > 2)
        return false;
    if (!onLeftAxis.isEmpty() && onLeftAxis.size() != names.size())
        return false;

    applyPendingRescale();
    clearGraphs();
    m_colours.clear();
    m_onLeftAxis.clear();

    // The generator is left unseeded on purpose: every run draws the same colour sequence.
    for (int i = 0; i < names.size(); ++i) {
        const int lightness = std::rand() % 200;
        const int saturation = std::rand() % 256;
        const int hue = std::rand() % 360;
        m_colours.append(QColor::fromHsl(hue, saturation, lightness, 255));
        m_onLeftAxis.append(onLeftAxis.isEmpty() ? true : onLeftAxis.at(i));
    }

    yAxis->setLabel(units.at(0));
    if (units.size() == 2) {
        yAxis2->setVisible(true);
        yAxis2->setLabel(units.at(1));
    } else {
        yAxis2->setVisible(false);
    }

    for (int i = 0; i < names.size(); ++i) {
        QCPGraph *g = addGraph(xAxis, m_onLeftAxis.at(i) ? yAxis : yAxis2);
        g->setName(names.at(i));
        g->setLineStyle(QCPGraph::lsLine);
        g->setPen(QPen(m_colours.at(i)));
    }

    if (showLegend) {
        legend->setFillOrder(QCPLegend::foColumnsFirst);
        legend->setWrap(LegendWrap);
        legend->setBorderPen(Qt::NoPen);
        legend->setVisible(true);
        if (legend->layout() != plotLayout())
            plotLayout()->addElement(1, 0, legend);
        plotLayout()->setRowStretchFactor(1, 0.1);
    }

    replot(rpRefreshHint);
    return true;
}

bool QCustomPlotL::AddPoints(const QDateTime &time, const QList<double> &values)
{
    if (values.size() != graphCount())
        return false;

    const double key = TimeKey(time);
    for (int i = 0; i < graphCount(); ++i) {
        QSharedPointer<QCPGraphDataContainer> data = graph(i)->data();
        // Drop exactly the oldest point (the first in key order) while over the cap; a point
        // sharing its key with the next one goes alone, so duplicate keys cannot defeat the cap.
        while (data->size() > MaxPoints)
            data->remove(data->constBegin()->key);
        graph(i)->addData(key, values.at(i));
    }

    rescaleAfterPoints();
    return true;
}

void QCustomPlotL::rescaleAfterPoints()
{
    const int parts = (m_autoScaleTime ? RescaleTime : RescaleNone) | (m_autoScaleValue ? RescaleValue : RescaleNone);
    if (isVisible()) {
        applyRescale(parts);
        replot(rpRefreshHint);
    } else {
        // Rescaling to the data is idempotent, so the last request done on show is the same.
        m_pendingRescale = parts;
        m_refreshPending = true;
    }
}

void QCustomPlotL::applyRescale(int parts)
{
    if (parts == (RescaleTime | RescaleValue)) {
        rescaleAxes();
    } else if (parts == RescaleTime) {
        xAxis->rescale();
        if (xAxis2->visible())
            xAxis2->rescale();
    } else if (parts == RescaleValue) {
        yAxis->rescale();
        if (yAxis2->visible())
            yAxis2->rescale();
    }
}

void QCustomPlotL::applyPendingRescale()
{
    applyRescale(m_pendingRescale);
    m_pendingRescale = RescaleNone;
}

void QCustomPlotL::flushPendingRefresh()
{
    if (!m_refreshPending)
        return;
    m_refreshPending = false;
    applyPendingRescale();
    replot(rpQueuedRefresh);
}

void QCustomPlotL::showEvent(QShowEvent *event)
{
    QCustomPlot::showEvent(event);
    flushPendingRefresh();
}

void QCustomPlotL::paintEvent(QPaintEvent *event)
{
    // A grab of a hidden chart paints without a show: bring it up to date first.
    flushPendingRefresh();
    QCustomPlot::paintEvent(event);
}

bool QCustomPlotL::SetAllData(int graphIndex, const QList<QDateTime> &times, const QList<double> &values)
{
    if (!isGraphIndex(graphIndex) || values.size() < times.size())
        return false;

    // No deferred rescale is applied first: this call ends in a rescale of every axis to all the
    // data, now or on show, which covers whatever was deferred. Applied here, it would scan every
    // graph once per graph a caller fills while the chart is hidden.
    m_userNavigation = true;
    QVector<QCPGraphData> points;
    points.reserve(times.size());
    for (int k = 0; k < times.size(); ++k)
        points.append(QCPGraphData(TimeKey(times.at(k)), values.at(k)));
    // Points in time order (a stored project) need no sort.
    const bool sorted = std::is_sorted(points.cbegin(), points.cend(), qcpLessThanSortKey<QCPGraphData>);
    graph(graphIndex)->data()->set(points, sorted);

    // As with new points, a hidden chart rescales and draws once, when it is shown: a caller
    // that fills many graphs while the chart is hidden draws them once instead of once each.
    if (isVisible()) {
        rescaleAxes();
        replot(rpRefreshHint);
    } else {
        m_pendingRescale = RescaleTime | RescaleValue;
        m_refreshPending = true;
    }
    return true;
}

bool QCustomPlotL::SetGraphVisible(int graphIndex, bool visible)
{
    if (!isGraphIndex(graphIndex))
        return false;
    graph(graphIndex)->setVisible(visible);
    replot(rpRefreshHint);
    return true;
}

bool QCustomPlotL::GetChannelColor(int graphIndex, QColor &colour) const
{
    if (graphIndex < 0 || graphIndex >= m_colours.size())
        return false;
    colour = m_colours.at(graphIndex);
    return true;
}

void QCustomPlotL::SetDecimals(int decimals)
{
    m_decimals = decimals;
}

void QCustomPlotL::SetTimeRange(const QDateTime &from, const QDateTime &to)
{
    applyPendingRescale();
    xAxis->setRange(TimeKey(from), TimeKey(to));
    replot(rpRefreshHint);
}

void QCustomPlotL::SetInteractionFlags(bool autoTime, bool autoValue)
{
    // A deferred rescale belongs to the points added under the old flags.
    applyPendingRescale();
    m_autoScaleTime = autoTime;
    m_autoScaleValue = autoValue;
    m_userNavigation = !autoTime && !autoValue;
    if (!m_userNavigation) {
        // A pan or rubber band in progress ends with the navigation.
        m_dragging = false;
        m_rubberBand->hide();
        QToolTip::hideText();
    }
}

QString QCustomPlotL::ToolTipText(int graphIndex, double key, double value) const
{
    QString name = isGraphIndex(graphIndex) ? graph(graphIndex)->name() : QString();
    if (name.isEmpty())
        name = QStringLiteral("CH %1").arg(graphIndex + 1);
    const QString time = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(key))
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return name + QStringLiteral("\nTime:") + time + QStringLiteral("\nData:")
           + QString::number(value, 'f', m_decimals);
}

QString QCustomPlotL::HoverText(const QPoint &pos) const
{
    const double t = xAxis->pixelToCoord(pos.x());
    for (int i = 0; i < graphCount(); ++i) {
        const QCPGraph *g = graph(i);
        const QSharedPointer<QCPGraphDataContainer> data = g->data();
        if (data->size() > MaxPoints)
            return QString();
        // The last point before t, or the first point when none is earlier.
        const QCPGraphDataContainer::const_iterator it = data->findBegin(t, true);
        if (it == data->constEnd())
            continue;
        QCPAxis *valueAxis = g->valueAxis();
        if (valueAxis != yAxis && valueAxis != yAxis2)
            continue;
        if (qAbs(pos.y() - valueAxis->coordToPixel(it->value)) < HoverDistance)
            return ToolTipText(i, it->key, it->value);
    }
    return QString();
}

void QCustomPlotL::mouseDoubleClickEvent(QMouseEvent *event)
{
    rescaleAxes();
    replot(rpRefreshHint);
    QCustomPlot::mouseDoubleClickEvent(event);
}

void QCustomPlotL::mousePressEvent(QMouseEvent *event)
{
    if (m_userNavigation) {
        if (event->button() == Qt::LeftButton) {
            m_lastDragPos = event->pos();
            m_dragging = true;
        } else if (event->button() == Qt::RightButton) {
            m_rubberOrigin = event->pos();
            m_rubberBand->setGeometry(QRect(m_rubberOrigin, QSize()));
            m_rubberBand->show();
        }
    }
    QCustomPlot::mousePressEvent(event);
}

void QCustomPlotL::mouseMoveEvent(QMouseEvent *event)
{
    if (m_userNavigation) {
        const QPoint pos = event->pos();
        if (m_dragging) {
            const int dx = pos.x() - m_lastDragPos.x();
            const int dy = pos.y() - m_lastDragPos.y();
            xAxis->moveRange(-dx * xAxis->range().size() / width());
            yAxis->moveRange(dy * yAxis->range().size() / height());
            if (yAxis2->visible())
                yAxis2->moveRange(dy * yAxis2->range().size() / height());
            m_lastDragPos = pos;
            replot(rpRefreshHint);
        } else if (!m_rubberBand->isHidden()) {
            m_rubberBand->setGeometry(qMin(m_rubberOrigin.x(), pos.x()), qMin(m_rubberOrigin.y(), pos.y()),
                                      qAbs(pos.x() - m_rubberOrigin.x()), qAbs(pos.y() - m_rubberOrigin.y()));
        } else {
            const QString text = HoverText(pos);
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(event->globalPos(), text, this);
        }
    }
    QCustomPlot::mouseMoveEvent(event);
}

void QCustomPlotL::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_userNavigation) {
        if (event->button() == Qt::LeftButton) {
            m_dragging = false;
        } else if (event->button() == Qt::RightButton) {
            rubberBandZoom();
            m_rubberBand->hide();
        }
    }
    QCustomPlot::mouseReleaseEvent(event);
}

void QCustomPlotL::rubberBandZoom()
{
    if (m_rubberBand->isHidden())
        return;
    const QRect band = m_rubberBand->geometry();
    if (band.width() <= RubberBandMinSize || band.height() <= RubberBandMinSize)
        return;
    const int left = band.x(), right = band.x() + band.width();
    const int top = band.y(), bottom = band.y() + band.height();
    xAxis->setRange(orderedRange(xAxis->pixelToCoord(left), xAxis->pixelToCoord(right)));
    yAxis->setRange(orderedRange(yAxis->pixelToCoord(top), yAxis->pixelToCoord(bottom)));
    if (yAxis2->visible())
        yAxis2->setRange(orderedRange(yAxis2->pixelToCoord(top), yAxis2->pixelToCoord(bottom)));
    replot(rpRefreshHint);
}

void QCustomPlotL::wheelEvent(QWheelEvent *event)
{
    if (m_userNavigation) {
        const int delta = event->angleDelta().y();
        if (delta != 0) {
            const double factor = delta > 0 ? 1.0 / WheelZoomStep : WheelZoomStep;
            const QPointF pos = event->position();
            xAxis->scaleRange(factor, xAxis->pixelToCoord(pos.x()));
            yAxis->scaleRange(factor, yAxis->pixelToCoord(pos.y()));
            if (yAxis2->visible())
                yAxis2->scaleRange(factor, yAxis2->pixelToCoord(pos.y()));
            replot(rpRefreshHint);
        }
    }
    QCustomPlot::wheelEvent(event);
}
