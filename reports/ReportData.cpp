#include "reports/ReportData.h"

#include <QCoreApplication>
#include <QDebug>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const int kTimeTextLength = 18; // "MM-dd hh:mm:ss.zzz"

} // namespace

ReportData::ReportData(const char *context) : m_context(context) {}

QString ReportData::text(const char *source, const char *disambiguation) const
{
    return QCoreApplication::translate(m_context, source, disambiguation);
}

QString ReportData::figure(double value) const
{
    return std::isfinite(value) ? QString::number(value, 'f', m_precision) : QString();
}

void ReportData::SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                         ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                         const QList<QDateTime> &ends, const QStringList &remarks, const QString &version)
{
    m_precision = precision;
    m_project = project;
    m_version = version;
    m_rows = std::move(rows);
    GroupRows(project, shown);
    KeepCompleteRows();
    SetSections(include);
    const int segments = qMin(starts.size(), ends.size());
    m_remarks.clear();
    m_startTexts.clear();
    m_endTexts.clear();
    for (int s = 0; s < segments; ++s) {
        m_remarks.append(remarks.value(s));
        m_startTexts.append(starts.at(s).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        m_endTexts.append(ends.at(s).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    }
    LocateSegments(starts.mid(0, segments), ends.mid(0, segments));
}

QStringList ReportData::groupUnits(const QStringList &displayUnits, const QList<bool> &shown)
{
    QStringList units;
    for (int c = 0; c < displayUnits.size(); ++c) {
        if (shown.value(c, true))
            units.append(displayUnits.at(c));
    }
    return Tool::uniqueUnits(units);
}

// Groups follow the units of the shown channels, as the export options offer them: with every
// channel of the first unit hidden, the next unit becomes group 1.
void ReportData::GroupRows(const Tool::Struct_Parameters &project, const QList<bool> &shown)
{
    // A stored unit beyond the last channel belongs to no channel and forms no group.
    const QStringList units = groupUnits(project.CHDisplayUnit.mid(0, project.CHName.size()), shown);
    for (int g = 0; g < 2; ++g) {
        m_groupUnit[g] = units.value(g);
        m_quantity[g] = Tool::unitToQuantity(m_groupUnit[g]);
        m_groupLabels[g].clear();
        m_groupChannels[g].clear();
    }
    m_labels.clear();
    m_units.clear();
    m_channels.clear();
    for (int c = 0; c < project.CHName.size(); ++c) {
        if (!shown.value(c, true))
            continue;
        const QString unit = project.CHDisplayUnit.value(c);
        m_channels.append(c);
        m_labels.append(project.CHName.at(c));
        m_units.append(unit);
        const int group = unit == m_groupUnit[0] ? 0 : 1;
        m_groupLabels[group].append(project.CHName.at(c));
        m_groupChannels[group].append(c);
    }
}

// A row whose value count differs from the project's channel count cannot be placed in the
// channel columns; it is left out of the report.
void ReportData::KeepCompleteRows()
{
    const int channels = m_project.CHName.size();
    const bool widthMatches = m_rows.channelCount() == channels;
    m_rowIndex.clear();
    m_rowIndex.reserve(size_t(m_rows.rowCount()));
    int leftOut = 0;
    qint64 firstLeftOut = 0;
    for (int r = 0; r < m_rows.rowCount(); ++r) {
        if (widthMatches && m_rows.storedCount(r) == channels) {
            m_rowIndex.push_back(r);
        } else if (leftOut++ == 0) {
            firstLeftOut = m_rows.time(r);
        }
    }
    if (leftOut > 0) {
        qWarning().noquote() << "Report of" << m_project.Name << ":" << leftOut
                             << "rows left out, their value count differs from the project's" << channels
                             << "channels; the first at"
                             << QDateTime::fromMSecsSinceEpoch(firstLeftOut).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }
    m_timeTexts.assign(m_rowIndex.size() * kTimeTextLength, ' ');
    for (size_t i = 0; i < m_rowIndex.size(); ++i) {
        const QByteArray time = m_rows.dateTime(m_rowIndex[i]).toString(QStringLiteral("MM-dd hh:mm:ss.zzz")).toLatin1();
        std::memcpy(m_timeTexts.data() + i * kTimeTextLength, time.constData(), size_t(qMin(int(kTimeTextLength), time.size())));
    }
}

void ReportData::SetSections(const QList<bool> &include)
{
    m_include = include.mid(0, SectionCount);
    m_sections.clear();
    const QString kinds[SectionCount] = {text("数据表"), text("横向表"), text("竖向表"), text("横向表"), text("竖向表")};
    for (int k = 0; k < m_include.size(); ++k) {
        if (!m_include.at(k))
            continue;
        m_sections.append(k == WorkData ? kinds[k] : groupTitle(k <= Vertical1 ? 0 : 1) + kinds[k]);
    }
}

// A segment holds the rows whose time lies within its start and end as the segment editors show
// them, to the whole second: a row stamped 10:10:00.022 belongs to a segment ending 10:10:00, one
// stamped 10:10:01.025 does not. A row on a second that ends one segment and starts the next
// belongs to both. The first and last row are found together, so a segment has both or neither;
// a segment with no row inside its bounds has neither, except that one starting after the last
// row shows the last row. The rows are in time order.
void ReportData::LocateSegments(const QList<QDateTime> &starts, const QList<QDateTime> &ends)
{
    m_first.clear();
    m_last.clear();
    const int rows = rowCount();
    const auto second = [](qint64 msecs) { return msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000); };
    const auto rowSecond = [this, &second](int row) { return second(m_rows.time(m_rowIndex[size_t(row)])); };
    // The first report row whose second is not before the given one.
    const auto firstFrom = [&](qint64 seconds) {
        int low = 0, high = rows;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (rowSecond(middle) < seconds)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    };
    for (int s = 0; s < starts.size(); ++s) {
        const qint64 start = second(starts.at(s).toMSecsSinceEpoch());
        const qint64 end = second(ends.at(s).toMSecsSinceEpoch());
        const int first = firstFrom(start);
        const int last = firstFrom(end + 1) - 1;
        if (first == rows && rows > 0) {
            m_first.append(rows - 1);
            m_last.append(rows - 1);
        } else if (first <= last) {
            m_first.append(first);
            m_last.append(last);
        } else {
            m_first.append(-1);
            m_last.append(-1);
        }
    }
}

bool ReportData::writeSections(const std::function<bool()> &workData, const std::function<bool(int)> &horizontal,
                               const std::function<bool(int)> &vertical) const
{
    bool called = false;
    bool written = true;
    for (int k = 0; k < SectionCount; ++k) {
        if (!isIncluded(k))
            continue;
        called = true;
        const int group = k <= Vertical1 ? 0 : 1;
        const bool section = k == WorkData ? workData()
                             : (k == Horizontal1 || k == Horizontal2) ? horizontal(group)
                                                                     : vertical(group);
        written = section && written;
    }
    return called && written;
}

int ReportData::deviceChannelCount(int device) const
{
    // Labels of an imported project carry no instrument prefix: all belong to its one instrument.
    const bool prefixed = std::any_of(m_labels.cbegin(), m_labels.cend(),
                                      [](const QString &label) { return label.contains(QLatin1Char('-')); });
    if (!prefixed)
        return m_labels.size();
    const QString prefix = QString::number(device + 1) + QLatin1Char('-');
    return int(std::count_if(m_labels.cbegin(), m_labels.cend(),
                             [&prefix](const QString &label) { return label.startsWith(prefix); }));
}

QString ReportData::groupTitle(int group) const
{
    group &= 1;
    if (group == 1 && m_quantity[1] == m_quantity[0])
        return m_quantity[1] + QLatin1Char('(') + m_groupUnit[1] + QLatin1Char(')');
    return m_quantity[group];
}

void ReportData::row(int index, Struct_ReportRow &out) const
{
    out.time = timeText(index);
    const double *values = m_rows.rowValues(m_rowIndex[size_t(index)]);
    out.values.resize(m_channels.size());
    for (int i = 0; i < m_channels.size(); ++i)
        out.values[i] = values[m_channels.at(i)];
    QVector<double> *groups[2] = {&out.group1Values, &out.group2Values};
    for (int g = 0; g < 2; ++g) {
        groups[g]->resize(m_groupChannels[g].size());
        for (int k = 0; k < m_groupChannels[g].size(); ++k)
            (*groups[g])[k] = values[m_groupChannels[g].at(k)];
    }
}

QString ReportData::timeText(int index) const
{
    return QString::fromLatin1(m_timeTexts.data() + size_t(index) * kTimeTextLength, kTimeTextLength);
}

QString ReportData::sheetName(const QString &title)
{
    QString name = title;
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    // 31 characters as the sheet counts them (a character outside the basic plane counts once).
    const QVector<uint> characters = name.toUcs4();
    return characters.size() <= 31 ? name : QString::fromUcs4(characters.constData(), 31);
}
