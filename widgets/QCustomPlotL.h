#pragma once

#include <qcustomplot.h>

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

class QRubberBand;

// Trend chart: one graph per channel over a date-time axis, with a point cap per graph,
// switchable automatic rescaling and its own mouse navigation (pan, rubber-band zoom,
// wheel zoom, double-click rescale, hover read-out).
// Keys are whole seconds since 1970-01-01 UTC; values are in the channel's display unit.
class QCustomPlotL : public QCustomPlot
{
    Q_OBJECT

public:
    // A graph holding more than this many points drops its oldest point before each new one,
    // and the hover read-out is off for it.
    static constexpr int MaxPoints = 10000;
    static constexpr double WheelZoomStep = 1.1;
    static constexpr int RubberBandMinSize = 5;     // pixels; a band must exceed this both ways
    static constexpr double HoverDistance = 3.0;    // pixels between cursor and point

    QCustomPlotL();

    // Removes all graphs and builds one graph per name. names: at least one; units: one or two
    // (the second goes to the right value axis); onLeftAxis: empty (all left) or one per name.
    bool SetChannels(const QStringList &names, const QStringList &units,
                     const QList<bool> &onLeftAxis, bool showLegend);
    // Appends one point to every graph; values: exactly one per graph.
    bool AddPoints(const QDateTime &time, const QList<double> &values);
    // Replaces one graph's data with (times[k], values[k]); values needs at least as many entries.
    // Rescales all axes to the data; a hidden chart does so when it is shown.
    bool SetAllData(int graph, const QList<QDateTime> &times, const QList<double> &values);
    bool SetGraphVisible(int graph, bool visible);
    bool GetChannelColor(int graph, QColor &colour) const;
    void SetDecimals(int decimals);
    void SetTimeRange(const QDateTime &from, const QDateTime &to);
    // Stores the auto-scale flags; the user may navigate only when both are off.
    void SetInteractionFlags(bool autoTime, bool autoValue);

    int Decimals() const { return m_decimals; }
    bool AutoScaleTime() const { return m_autoScaleTime; }
    bool AutoScaleValue() const { return m_autoScaleValue; }
    bool UserNavigation() const { return m_userNavigation; }
    QList<bool> AxisChoices() const { return m_onLeftAxis; }

    // The hover read-out for the cursor at pos (widget pixels): the text of the first graph
    // whose point just before the cursor's time lies within HoverDistance pixels vertically;
    // empty when none does or a graph in front of it holds more than MaxPoints points.
    QString HoverText(const QPoint &pos) const;
    // The read-out text of graph (0-based) for the point (key, value).
    QString ToolTipText(int graph, double key, double value) const;

    // The key of a time: whole seconds since 1970-01-01 UTC.
    static double TimeKey(const QDateTime &time);

    // True while points added to the hidden chart wait to be rescaled and drawn on show.
    bool RefreshPending() const { return m_refreshPending; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool isGraphIndex(int graph) const { return graph >= 0 && graph < graphCount(); }
    enum RescalePart { RescaleNone = 0, RescaleTime = 1, RescaleValue = 2 };
    void rescaleAfterPoints();
    void applyRescale(int parts);
    // Range changes apply a deferred rescale first, so the ranges end as if nothing was deferred.
    void applyPendingRescale();
    void flushPendingRefresh();
    void rubberBandZoom();

    QRubberBand *m_rubberBand = nullptr;
    bool m_dragging = false;
    QPoint m_lastDragPos;
    QPoint m_rubberOrigin;
    int m_decimals = 2;
    bool m_userNavigation = false;
    bool m_autoScaleTime = true;
    bool m_autoScaleValue = true;
    QList<bool> m_onLeftAxis;
    QList<QColor> m_colours;
    // A chart that is not shown (a page in a background tab) defers the rescale and the
    // drawing of new points until it is shown; what the user sees is the same.
    bool m_refreshPending = false;
    int m_pendingRescale = RescaleNone;
};
