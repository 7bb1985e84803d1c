#include "reports/ReportStatistics.h"

#include "reports/ReportData.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// The texts of the shared report code (here and in ReportData), translated in the context of the
// writer that shows them; listed so that the translation tools find them in both contexts.
[[maybe_unused]] const char *const kReportTexts[] = {
    QT_TRANSLATE_NOOP("VerificationReportExcel", "数据表"), QT_TRANSLATE_NOOP("VerificationReportPDF", "数据表"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "横向表"), QT_TRANSLATE_NOOP("VerificationReportPDF", "横向表"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "竖向表"), QT_TRANSLATE_NOOP("VerificationReportPDF", "竖向表"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最小平均"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最小平均"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "及通道"), QT_TRANSLATE_NOOP("VerificationReportPDF", "及通道"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大平均"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大平均"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大的最大值及通道"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大的最大值及通道"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最小的最小值及通道"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最小的最小值及通道"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "全均值"), QT_TRANSLATE_NOOP("VerificationReportPDF", "全均值"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大的最大值与全均值之差"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大的最大值与全均值之差"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大平均值与全均值之差"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大平均值与全均值之差"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "全均值与最小的最小值之差"), QT_TRANSLATE_NOOP("VerificationReportPDF", "全均值与最小的最小值之差"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "全均值与最小平均值之差"), QT_TRANSLATE_NOOP("VerificationReportPDF", "全均值与最小平均值之差"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "通道"), QT_TRANSLATE_NOOP("VerificationReportPDF", "通道"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最小"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最小"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "平均"), QT_TRANSLATE_NOOP("VerificationReportPDF", "平均"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大-平均"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大-平均"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "平均-最小"), QT_TRANSLATE_NOOP("VerificationReportPDF", "平均-最小"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "最大-最小"), QT_TRANSLATE_NOOP("VerificationReportPDF", "最大-最小"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "标准偏差"), QT_TRANSLATE_NOOP("VerificationReportPDF", "标准偏差"),
    QT_TRANSLATE_NOOP("VerificationReportExcel", "时间"), QT_TRANSLATE_NOOP("VerificationReportPDF", "时间"),
};

// "通道" as a heading of its own, beside "通道" joined to other words.
struct Disambiguated {
    const char *source;
    const char *disambiguation;
};
[[maybe_unused]] const Disambiguated kReportHeadings[] = {
    QT_TRANSLATE_NOOP3("VerificationReportExcel", "通道", "heading"),
    QT_TRANSLATE_NOOP3("VerificationReportPDF", "通道", "heading"),
};

} // namespace

QVector<double> ChannelStatistics::figures() const
{
    return {maximum, minimum, mean, maximum - mean, mean - minimum, maximum - minimum, deviation};
}

QVector<ChannelStatistics> ReportStatistics::segment(const ReportData &data, int group, int segment)
{
    const int channels = data.groupSize(group);
    QVector<ChannelStatistics> result(channels);
    if (data.segmentRowCount(segment) == 0)
        return result;
    const int first = data.firstRow(segment);
    const int last = data.lastRow(segment);
    QVector<double> sums(channels, 0.0);
    for (int i = first; i <= last; ++i) {
        for (int k = 0; k < channels; ++k) {
            const double v = data.groupValue(i, group, k);
            if (!std::isfinite(v))
                continue;
            ChannelStatistics &s = result[k];
            if (s.count++ == 0) {
                s.maximum = v;
                s.minimum = v;
            } else {
                if (v > s.maximum)
                    s.maximum = v;
                if (v < s.minimum)
                    s.minimum = v;
            }
            sums[k] += v;
        }
    }
    QVector<double> squares(channels, 0.0);
    for (int k = 0; k < channels; ++k) {
        if (result[k].count > 0)
            result[k].mean = sums[k] / result[k].count;
    }
    for (int i = first; i <= last; ++i) {
        for (int k = 0; k < channels; ++k) {
            const double v = data.groupValue(i, group, k);
            if (std::isfinite(v))
                squares[k] += std::pow(v - result[k].mean, 2.0);
        }
    }
    for (int k = 0; k < channels; ++k) {
        if (result[k].count > 0)
            result[k].deviation = std::sqrt(squares[k] / result[k].count);
    }
    return result;
}

QStringList ReportStatistics::summary(const ReportData &data, int group, const QVector<ChannelStatistics> &channels)
{
    const QStringList &labels = data.groupLabels(group);
    int withData = 0;
    double meanSum = 0.0;
    int maxMean = -1, minMean = -1, largestMax = -1, smallestMin = -1;
    for (int k = 0; k < channels.size(); ++k) {
        const ChannelStatistics &s = channels.at(k);
        if (s.count == 0)
            continue;
        ++withData;
        meanSum += s.mean;
        if (maxMean < 0 || s.mean > channels.at(maxMean).mean)
            maxMean = k;
        if (minMean < 0 || s.mean < channels.at(minMean).mean)
            minMean = k;
        if (largestMax < 0 || s.maximum > channels.at(largestMax).maximum)
            largestMax = k;
        if (smallestMin < 0 || s.minimum < channels.at(smallestMin).minimum)
            smallestMin = k;
    }
    if (withData == 0)
        return QStringList() << QString() << QString() << QString() << QString() << QString() << QString()
                             << QString() << QString() << QString() << QString();
    const double overall = meanSum / withData;
    const auto labelled = [&](int k, double value) {
        return labels.value(k) + QLatin1Char('/') + data.figure(value);
    };
    const double minMeanValue = channels.at(minMean).mean;
    const double maxMeanValue = channels.at(maxMean).mean;
    const double largest = channels.at(largestMax).maximum;
    const double smallest = channels.at(smallestMin).minimum;
    return {labelled(minMean, minMeanValue),
            labelled(maxMean, maxMeanValue),
            labelled(largestMax, largest),
            labelled(smallestMin, smallest),
            data.figure(overall),
            data.figure(largest - overall),
            data.figure(maxMeanValue - overall),
            data.figure(overall - smallest),
            data.figure(overall - minMeanValue),
            QString()};
}

QStringList ReportStatistics::row(const ReportData &data, int group, int index)
{
    const QStringList &labels = data.groupLabels(group);
    const int channels = labels.size();
    int count = 0, maxAt = -1, minAt = -1;
    double sum = 0.0;
    for (int k = 0; k < channels; ++k) {
        const double v = data.groupValue(index, group, k);
        if (!std::isfinite(v))
            continue;
        ++count;
        sum += v;
        if (maxAt < 0 || v > data.groupValue(index, group, maxAt))
            maxAt = k;
        if (minAt < 0 || v < data.groupValue(index, group, minAt))
            minAt = k;
    }
    const QString time = data.timeText(index);
    if (count == 0)
        return {time, QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString()};
    const double mean = sum / count;
    double squares = 0.0;
    for (int k = 0; k < channels; ++k) {
        const double v = data.groupValue(index, group, k);
        if (std::isfinite(v))
            squares += std::pow(v - mean, 2.0);
    }
    const double maximum = data.groupValue(index, group, maxAt);
    const double minimum = data.groupValue(index, group, minAt);
    return {time,
            data.figure(maximum),
            labels.at(maxAt),
            data.figure(minimum),
            labels.at(minAt),
            data.figure(mean),
            data.figure(maximum - mean),
            data.figure(mean - minimum),
            data.figure(maximum - minimum),
            data.figure(std::sqrt(squares / count))};
}

QStringList ReportStatistics::summaryLabels(const ReportData &data, const QString &quantity)
{
    return {data.text("最小平均") + quantity + data.text("及通道"),
            data.text("最大平均") + quantity + data.text("及通道"),
            data.text("最大的最大值及通道"),
            data.text("最小的最小值及通道"),
            data.text("全均值"),
            data.text("最大的最大值与全均值之差"),
            data.text("最大平均值与全均值之差"),
            data.text("全均值与最小的最小值之差"),
            data.text("全均值与最小平均值之差"),
            QString()};
}

QStringList ReportStatistics::verticalHeads(const ReportData &data, const QString &quantity)
{
    return {data.text("通道", "heading"),
            data.text("最大") + quantity,
            data.text("最小") + quantity,
            data.text("平均") + quantity,
            data.text("最大-平均"),
            data.text("平均-最小"),
            data.text("最大-最小"),
            data.text("标准偏差")};
}

QStringList ReportStatistics::horizontalHeads(const ReportData &data, const QString &quantity)
{
    return {data.text("时间"),
            data.text("最大") + quantity,
            data.text("最大") + quantity + data.text("通道"),
            data.text("最小") + quantity,
            data.text("最小") + quantity + data.text("通道"),
            data.text("平均") + quantity,
            data.text("最大-平均"),
            data.text("平均-最小"),
            data.text("最大-最小"),
            data.text("标准偏差")};
}
