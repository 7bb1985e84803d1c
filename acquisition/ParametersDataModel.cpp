#include "acquisition/ParametersDataModel.h"

#include <QBrush>
#include <QColor>

ParametersDataModel::ParametersDataModel(QObject *parent, int maxRows)
    : QAbstractTableModel(parent)
    , m_maxRows(qMax(1, maxRows))
    , m_heads(m_maxRows, 1)
    , m_values(m_maxRows, 1)
{
}

void ParametersDataModel::setChannels(const QStringList &headers, const UnitGroups &groups, int decimals)
{
    beginResetModel();
    m_headers = headers;
    m_groups = groups;
    m_decimals = decimals;
    m_heads.reset(m_maxRows, 1);
    m_values.reset(m_maxRows, groups.channelCount());
    endResetModel();
}

bool ParametersDataModel::appendSample(const QDateTime &time, const QList<double> &values)
{
    const int channels = m_groups.channelCount();
    if (channels == 0 || values.size() != channels)
        return false;

    if (m_heads.size() >= m_maxRows) {
        beginRemoveRows(QModelIndex(), 0, 0);
        m_heads.removeFirst();
        m_values.removeFirst();
        endRemoveRows();
    }

    const int row = m_heads.size();
    beginInsertRows(QModelIndex(), row, row);
    RowHead *head = m_heads.append();
    double *cells = m_values.append();
    head->time = time;
    for (int channel = 0; channel < channels; ++channel)
        cells[channel] = values.at(channel);

    // Per group: strictly greater / smaller values take over, so ties stay with the earlier channel.
    for (int group = 0; group < MaxGroups; ++group) {
        const QVector<int> members = m_groups.members(group);
        int maxChannel = members.isEmpty() ? -1 : members.first();
        int minChannel = maxChannel;
        for (int channel : members) {
            if (cells[channel] > cells[maxChannel])
                maxChannel = channel;
            if (cells[channel] < cells[minChannel])
                minChannel = channel;
        }
        head->maxChannel[group] = maxChannel;
        head->minChannel[group] = minChannel;
    }
    endInsertRows();
    return true;
}

int ParametersDataModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_heads.size();
}

int ParametersDataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_groups.channelCount() + 1;
}

QVariant ParametersDataModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_heads.size() || index.column() > m_groups.channelCount())
        return QVariant();
    const RowHead &head = *m_heads.row(index.row());
    const int channel = index.column() - 1;

    switch (role) {
    case Qt::DisplayRole:
        if (channel < 0)
            return head.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        return QString::number(m_values.row(index.row())[channel], 'f', m_decimals);
    case Qt::TextAlignmentRole:
        if (channel < 0)
            return QVariant();
        return int(Qt::AlignCenter);
    case Qt::ForegroundRole: {
        const int group = m_groups.groupOf(channel);
        if (group < 0 || group >= MaxGroups)
            return QVariant();
        // The minimum is coloured after the maximum: a cell that is both ends green.
        if (head.minChannel[group] == channel)
            return QBrush(QColor(0, 255, 0));
        if (head.maxChannel[group] == channel)
            return QBrush(QColor(255, 0, 0));
        return QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant ParametersDataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section >= 0 && section < m_headers.size() ? m_headers.at(section) : QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ParametersDataModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
