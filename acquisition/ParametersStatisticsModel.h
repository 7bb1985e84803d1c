#pragma once

#include "acquisition/RingBuffer.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>
#include <QVector>

// Rows of the live statistics table: the sample time and, per unit group, nine columns
// (largest, its channel, smallest, its channel, mean, largest − smallest, largest − mean,
// mean − smallest, standard deviation). Only the figures are kept; texts are made when the
// view asks for them. At MaxRows rows the oldest row leaves for each new one.
class ParametersStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 36000;
    static constexpr int ColumnsPerGroup = 9;

    // The figures of one unit group in one row; valid is false for a group without values.
    struct GroupRow {
        double maximum = 0.0;
        double minimum = 0.0;
        double mean = 0.0;
        double deviation = 0.0;
        int maxChannel = -1;
        int minChannel = -1;
        bool valid = false;
    };

    // maxRows: the row cap, MaxRows in the program (tests use a small one).
    explicit ParametersStatisticsModel(QObject *parent = nullptr, int maxRows = MaxRows);

    // Drops every row. headers: every column title (time first, then nine per group);
    // labels: the channel labels that the channel columns show; decimals of the figures.
    void setColumns(const QStringList &headers, const QStringList &labels, int groupCount, int decimals);
    // Appends one row; groups holds one entry per group (missing entries stay empty).
    void appendRow(const QDateTime &time, const QVector<GroupRow> &groups);

    int groupCount() const { return m_groupCount; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString cellText(const GroupRow &group, int offset) const;

    int m_maxRows = MaxRows;
    QStringList m_headers;
    QStringList m_labels;
    int m_groupCount = 0;
    int m_decimals = 0;
    RingBuffer<QDateTime> m_times;
    RingBuffer<GroupRow> m_groups;
};
