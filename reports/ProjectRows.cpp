#include "reports/ProjectRows.h"

#include <limits>

ProjectRows::ProjectRows(int channelCount) : m_channels(qMax(0, channelCount)) {}

void ProjectRows::reserve(int rows)
{
    const size_t n = size_t(qMax(0, rows));
    m_times.reserve(n);
    m_counts.reserve(n);
    m_values.reserve(n * size_t(m_channels));
}

void ProjectRows::clear()
{
    m_times.clear();
    m_counts.clear();
    m_values.clear();
}

void ProjectRows::appendJoined(qint64 msecsSinceEpoch, const QString &joinedValues)
{
    m_times.push_back(msecsSinceEpoch);
    const size_t first = m_values.size();
    m_values.resize(first + size_t(m_channels), std::numeric_limits<double>::quiet_NaN());
    int count = 0;
    if (!joinedValues.isEmpty()) {
        const QStringRef all(&joinedValues);
        int from = 0;
        while (true) {
            const int comma = joinedValues.indexOf(QLatin1Char(','), from);
            const QStringRef text = all.mid(from, comma < 0 ? -1 : comma - from);
            if (count < m_channels)
                m_values[first + size_t(count)] = text.toDouble(); // no number gives 0
            ++count;
            if (comma < 0)
                break;
            from = comma + 1;
        }
    }
    m_counts.push_back(count);
}

void ProjectRows::append(qint64 msecsSinceEpoch, const QStringList &values)
{
    m_times.push_back(msecsSinceEpoch);
    const size_t first = m_values.size();
    m_values.resize(first + size_t(m_channels), std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < values.size() && i < m_channels; ++i)
        m_values[first + size_t(i)] = values.at(i).toDouble();
    m_counts.push_back(values.size());
}

void ProjectRows::append(qint64 msecsSinceEpoch, const double *values, int count)
{
    m_times.push_back(msecsSinceEpoch);
    const size_t first = m_values.size();
    m_values.resize(first + size_t(m_channels), std::numeric_limits<double>::quiet_NaN());
    for (int i = 0; i < count && i < m_channels; ++i)
        m_values[first + size_t(i)] = values[i];
    m_counts.push_back(qMax(0, count));
}
