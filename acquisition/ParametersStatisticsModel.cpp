#include "acquisition/ParametersStatisticsModel.h"

ParametersStatisticsModel::ParametersStatisticsModel(QObject *parent, int maxRows)
    : QAbstractTableModel(parent)
    , m_maxRows(qMax(1, maxRows))
    , m_times(m_maxRows, 1)
    , m_groups(m_maxRows, 1)
{
}

void ParametersStatisticsModel::setColumns(const QStringList &headers, const QStringList &labels,
                                           int groupCount, int decimals)
{
    beginResetModel();
    m_headers = headers;
    m_labels = labels;
    m_groupCount = qMax(0, groupCount);
    m_decimals = decimals;
    m_times.reset(m_maxRows, 1);
    m_groups.reset(m_maxRows, m_groupCount);
    endResetModel();
}

void ParametersStatisticsModel::appendRow(const QDateTime &time, const QVector<GroupRow> &groups)
{
    if (m_times.size() >= m_maxRows) {
        beginRemoveRows(QModelIndex(), 0, 0);
        m_times.removeFirst();
        m_groups.removeFirst();
        endRemoveRows();
    }
    const int row = m_times.size();
    beginInsertRows(QModelIndex(), row, row);
    *m_times.append() = time;
    GroupRow *cells = m_groups.append();
    for (int group = 0; group < m_groupCount; ++group)
        cells[group] = group < groups.size() ? groups.at(group) : GroupRow();
    endInsertRows();
}

int ParametersStatisticsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_times.size();
}

int ParametersStatisticsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1 + ColumnsPerGroup * m_groupCount;
}

QString ParametersStatisticsModel::cellText(const GroupRow &group, int offset) const
{
    auto number = [this](double value) { return QString::number(value, 'f', m_decimals); };
    auto label = [this](int channel) {
        return channel >= 0 && channel < m_labels.size() ? m_labels.at(channel) : QString();
    };
    switch (offset) {
    case 0: return number(group.maximum);
    case 1: return label(group.maxChannel);
    case 2: return number(group.minimum);
    case 3: return label(group.minChannel);
    case 4: return number(group.mean);
    case 5: return number(group.maximum - group.minimum);
    case 6: return number(group.maximum - group.mean);
    case 7: return number(group.mean - group.minimum);
    default: return number(group.deviation);
    }
}

QVariant ParametersStatisticsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_times.size() || index.column() >= columnCount())
        return QVariant();
    if (index.column() == 0)
        return role == Qt::DisplayRole
                   ? QVariant(m_times.row(index.row())->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
                   : QVariant();

    const int group = (index.column() - 1) / ColumnsPerGroup;
    const GroupRow &figures = m_groups.row(index.row())[group];
    if (!figures.valid)
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(figures, (index.column() - 1) % ColumnsPerGroup);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QVariant();
}

QVariant ParametersStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section >= 0 && section < m_headers.size() ? m_headers.at(section) : QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ParametersStatisticsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
