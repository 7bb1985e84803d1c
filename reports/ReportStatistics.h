#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <limits>

class ReportData;

// One channel over the rows of a segment. Only finite values count: a channel without any has
// count 0 and no figures.
struct ChannelStatistics
{
    int count = 0;
    double maximum = std::numeric_limits<double>::quiet_NaN();
    double minimum = std::numeric_limits<double>::quiet_NaN();
    double mean = std::numeric_limits<double>::quiet_NaN();
    double deviation = std::numeric_limits<double>::quiet_NaN(); // population: divided by count

    // Maximum, minimum, mean, maximum - mean, mean - minimum, maximum - minimum, deviation.
    QVector<double> figures() const;
};

// The statistics and the fixed texts of the analysis tables, shared by both report writers.
// Ties of maxima, minima and means go to the first channel in channel order.
class ReportStatistics
{
public:
    // Per channel of a unit group, over the rows of a segment.
    static QVector<ChannelStatistics> segment(const ReportData &data, int group, int segment);
    // The ten summary texts of a segment: minimum mean, maximum mean, largest maximum and smallest
    // minimum (each "label/figure"), overall mean, the four differences and an empty text.
    static QStringList summary(const ReportData &data, int group, const QVector<ChannelStatistics> &channels);
    // The ten cells of a horizontal table row: time, maximum, its channel, minimum, its channel,
    // mean, maximum - mean, mean - minimum, maximum - minimum, deviation.
    static QStringList row(const ReportData &data, int group, int index);

    // Labels of the summary: the five left ones, then the five right ones.
    static QStringList summaryLabels(const ReportData &data, const QString &quantity);
    static QStringList verticalHeads(const ReportData &data, const QString &quantity);
    static QStringList horizontalHeads(const ReportData &data, const QString &quantity);
};
