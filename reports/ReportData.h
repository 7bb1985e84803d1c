#pragma once

#include "reports/ProjectRows.h"
#include "store/Tool.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <vector>

// One row of a report, made on demand from the prepared data.
struct Struct_ReportRow
{
    QString time;                 // "MM-dd hh:mm:ss.zzz"
    QVector<double> values;       // every shown channel, in channel order
    QVector<double> group1Values; // the channels of unit group 1, in channel order
    QVector<double> group2Values; // all other shown channels, in channel order
};

// The data of one verification report as both report writers read it (SetData): the shown
// channels in their two unit groups, the report rows, the chosen sections and the time segments
// with their row ranges. Texts are translated in the context of the writer that owns it.
class ReportData
{
public:
    // The five section switches, in the order of the export options.
    enum Section { WorkData, Horizontal1, Vertical1, Horizontal2, Vertical2, SectionCount };

    explicit ReportData(const char *context);

    // rows: the project's samples at full width (one value per channel of the project, hidden
    // channels included), already thinned to the print interval. A row whose stored value count
    // differs from the project's channel count is left out (and logged). shown: per project
    // channel, whether it appears in the report; a missing entry counts as shown.
    void SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                 ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                 const QList<QDateTime> &ends, const QStringList &remarks, const QString &version);

    // A text of the report in the writer's context; disambiguation tells apart one source text
    // used in two roles (a heading of its own, or a word joined to another).
    QString text(const char *source, const char *disambiguation = nullptr) const;

    int precision() const { return m_precision; }
    // A figure in fixed-point notation with the report's decimals; empty when not a finite number.
    QString figure(double value) const;
    const QString &version() const { return m_version; }
    const Tool::Struct_Parameters &project() const { return m_project; }
    bool isIncluded(int section) const { return m_include.value(section, false); }
    const QStringList &sections() const { return m_sections; }

    // Shown channels.
    const QStringList &labels() const { return m_labels; }
    const QStringList &units() const { return m_units; }
    // Instruments of the project and the number of shown channels of each.
    int deviceCount() const { return m_project.Model.size(); }
    int deviceChannelCount(int device) const;

    // Unit groups 0 and 1.
    const QString &quantity(int group) const { return m_quantity[group & 1]; }
    // The group's name in section titles and sheet names: its quantity, followed by its unit when
    // both groups name the same quantity.
    QString groupTitle(int group) const;
    const QStringList &groupLabels(int group) const { return m_groupLabels[group & 1]; }
    int groupSize(int group) const { return m_groupLabels[group & 1].size(); }

    int rowCount() const { return int(m_rowIndex.size()); }
    void row(int index, Struct_ReportRow &out) const;
    QString timeText(int index) const;
    // Value k of a group in report row index.
    double groupValue(int index, int group, int k) const
    {
        return m_rows.value(m_rowIndex[size_t(index)], m_groupChannels[group & 1][k]);
    }

    int segmentCount() const { return m_first.size(); }
    // First and last report row of a segment, inclusive; -1 both when the segment holds no row.
    int firstRow(int segment) const { return m_first.at(segment); }
    int lastRow(int segment) const { return m_last.at(segment); }
    int segmentRowCount(int segment) const { return m_first.at(segment) < 0 ? 0 : m_last.at(segment) - m_first.at(segment) + 1; }
    QString remark(int segment) const { return m_remarks.value(segment); }
    QString startText(int segment) const { return m_startTexts.value(segment); }
    QString endText(int segment) const { return m_endTexts.value(segment); }

    // Runs the chosen sections in the order of the switches: the work data, then the horizontal
    // and the vertical analysis of group 0 and of group 1. Every chosen section runs; true when at
    // least one ran and all of them succeeded.
    bool writeSections(const std::function<bool()> &workData, const std::function<bool(int)> &horizontal,
                       const std::function<bool(int)> &vertical) const;

    // Tool::uniqueUnits over the display units of the shown channels (a missing entry of shown
    // counts as shown): entry 0 names unit group 1, which holds the shown channels of that unit;
    // group 2 holds every other shown channel.
    static QStringList groupUnits(const QStringList &displayUnits, const QList<bool> &shown);

    // A sheet name from a title: the characters a sheet name forbids replaced, at most 31 long.
    static QString sheetName(const QString &title);

private:
    void GroupRows(const Tool::Struct_Parameters &project, const QList<bool> &shown);
    void KeepCompleteRows();
    void SetSections(const QList<bool> &include);
    void LocateSegments(const QList<QDateTime> &starts, const QList<QDateTime> &ends);

    const char *m_context;
    int m_precision = 2;
    QString m_version;
    Tool::Struct_Parameters m_project;
    QList<bool> m_include;
    QStringList m_sections;

    QStringList m_labels;
    QStringList m_units;
    QVector<int> m_channels;          // project channel of each shown channel
    QString m_groupUnit[2];
    QString m_quantity[2];
    QStringList m_groupLabels[2];
    QVector<int> m_groupChannels[2];  // project channels of each group

    ProjectRows m_rows;
    std::vector<int> m_rowIndex;      // report row -> row of m_rows
    std::vector<char> m_timeTexts;    // 18 characters per report row

    QList<int> m_first;
    QList<int> m_last;
    QStringList m_remarks;
    QStringList m_startTexts;
    QStringList m_endTexts;
};
