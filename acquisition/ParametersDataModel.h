#pragma once

#include "acquisition/RingBuffer.h"
#include "acquisition/UnitGroups.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QStringList>

// Rows of the live data table: the sample time and every channel's value, the largest value
// of each unit group in red and the smallest in green. Only times, doubles and the marked
// channels are kept; texts and colours are made when the view asks for them. At MaxRows rows
// the oldest row leaves for each new one.
class ParametersDataModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 36000;
    static constexpr int MaxGroups = 2;

    // maxRows: the row cap, MaxRows in the program (tests use a small one).
    explicit ParametersDataModel(QObject *parent = nullptr, int maxRows = MaxRows);

    // Drops every row. headers: the time column's title and one per channel; groups: the
    // channels' unit groups (only the first MaxGroups are coloured); decimals of the values.
    void setChannels(const QStringList &headers, const UnitGroups &groups, int decimals);
    // Appends one row; false (nothing added) unless there is one value per channel.
    bool appendSample(const QDateTime &time, const QList<double> &values);

    int channelCount() const { return m_groups.channelCount(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct RowHead {
        QDateTime time;
        int maxChannel[MaxGroups];  // -1 when the group is empty
        int minChannel[MaxGroups];
    };

    int m_maxRows = MaxRows;
    QStringList m_headers;
    UnitGroups m_groups;
    int m_decimals = 2;
    RingBuffer<RowHead> m_heads;
    RingBuffer<double> m_values;
};
