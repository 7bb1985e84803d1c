#include "reports/ProjectRows.h"

#include <limits>

namespace {

// The value text at c, up to the first ',' or size characters, as QString::toDouble reads it: no
// number gives 0; end receives where the text ends. Plain decimals of up to 15 digits
// ("-21.3700000000", as the store writes them) are read directly: the digits form an integer that
// a double holds exactly, and one division by an exact power of ten rounds correctly, so the
// result is the same double. Anything else goes through toDouble.
double readNumber(const QChar *c, int size, int &end)
{
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    int i = size > 0 && c[0] == QLatin1Char('-') ? 1 : 0;
    const bool negative = i == 1;
    qint64 digits = 0;
    int count = 0;
    int decimals = -1;
    for (; i < size; ++i) {
        const ushort u = c[i].unicode();
        if (u >= '0' && u <= '9') {
            digits = digits * 10 + (u - '0');
            ++count;
            if (decimals >= 0)
                ++decimals;
        } else if (u == '.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    const bool plain = i == size || c[i] == QLatin1Char(',');
    while (i < size && c[i] != QLatin1Char(','))
        ++i;
    end = i;
    if (!plain || count == 0 || count > 15 || decimals == 0)
        return QString::fromRawData(c, i).toDouble();
    const double value = double(digits) / powers[qMax(0, decimals)];
    return negative ? -value : value;
}

// One value text (a comma in it makes it no number, as toDouble reads it).
double toNumber(const QStringRef &text)
{
    int end = 0;
    const double value = readNumber(text.constData(), text.size(), end);
    return end == text.size() ? value : text.toDouble();
}

} // namespace

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

ProjectRows ProjectRows::thinned(int step) const
{
    if (step < 2)
        return *this;
    ProjectRows kept(m_channels);
    kept.reserve((rowCount() + step - 1) / step);
    for (qint64 r = 0; r < rowCount(); r += step) {
        kept.m_times.push_back(m_times[size_t(r)]);
        kept.m_counts.push_back(m_counts[size_t(r)]);
        const auto first = m_values.begin() + std::ptrdiff_t(r) * m_channels;
        kept.m_values.insert(kept.m_values.end(), first, first + m_channels);
    }
    return kept;
}

void ProjectRows::appendJoined(qint64 msecsSinceEpoch, const QString &joinedValues)
{
    m_times.push_back(msecsSinceEpoch);
    const size_t first = m_values.size();
    m_values.resize(first + size_t(m_channels), std::numeric_limits<double>::quiet_NaN());
    int count = 0;
    if (!joinedValues.isEmpty()) {
        // One pass over the text: each value is read up to its comma.
        const QChar *c = joinedValues.constData();
        const int size = joinedValues.size();
        int from = 0;
        for (;;) {
            int end = 0;
            const double value = readNumber(c + from, size - from, end);
            if (count < m_channels)
                m_values[first + size_t(count)] = value;
            ++count;
            from += end;
            if (from >= size)
                break;
            ++from; // the comma
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
        m_values[first + size_t(i)] = toNumber(QStringRef(&values.at(i)));
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
