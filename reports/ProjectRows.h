#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// The samples of one stored project, held compactly: per row one 64-bit time (milliseconds since
// the epoch) and one double per channel, each stored text parsed once. The report page loads a
// project into one such store and shares it with its information box, chart, data view and the
// exports.
//
// A stored row may carry more or fewer values than the project has channels. The store keeps the
// first channelCount() values (missing ones are NaN) and remembers how many the row carried, so
// a reader can leave such rows out (reports) or show them as far as they go (data view).
// Value texts convert as the store converts them everywhere: a text that is no number gives 0,
// "nan" and "inf" give the non-finite values they name.
class ProjectRows
{
public:
    explicit ProjectRows(int channelCount = 0);

    int channelCount() const { return m_channels; }
    int rowCount() const { return int(m_times.size()); }
    bool isEmpty() const { return m_times.empty(); }

    void reserve(int rows);
    void clear();

    // One stored sample: its time and its value texts, joined with "," as the store keeps them.
    void appendJoined(qint64 msecsSinceEpoch, const QString &joinedValues);
    void append(qint64 msecsSinceEpoch, const QStringList &values);
    // Values already converted; count may differ from channelCount().
    void append(qint64 msecsSinceEpoch, const double *values, int count);

    // Row 0 and every step-th row after it, in one pass; every row for a step below 2.
    ProjectRows thinned(int step) const;

    qint64 time(int row) const { return m_times[size_t(row)]; }
    QDateTime dateTime(int row) const { return QDateTime::fromMSecsSinceEpoch(time(row)); }
    double value(int row, int channel) const { return m_values[size_t(row) * size_t(m_channels) + size_t(channel)]; }
    // The channelCount() values of a row, contiguous.
    const double *rowValues(int row) const { return m_values.data() + size_t(row) * size_t(m_channels); }
    // How many values the stored row carried.
    int storedCount(int row) const { return m_counts[size_t(row)]; }
    bool isComplete(int row) const { return storedCount(row) == m_channels; }

private:
    int m_channels = 0;
    std::vector<qint64> m_times;
    std::vector<double> m_values;   // row-major, rowCount() * channelCount()
    std::vector<int> m_counts;
};
