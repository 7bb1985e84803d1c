#include "acquisition/ParametersImportModel.h"

#include <QDateTime>

ParametersImportModel::ParametersImportModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ParametersImportModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_Headers = headers;
    endResetModel();
}

void ParametersImportModel::setRows(const QVector<Struct_ImportSample> &rows)
{
    beginResetModel();
    m_Rows = rows;
    endResetModel();
}

void ParametersImportModel::alignTimes(qint64 first, qint64 step)
{
    for (int i = 0; i < m_Rows.size(); ++i)
        m_Rows[i].Time = first + qint64(i) * step;
    if (!m_Rows.isEmpty())
        emit dataChanged(index(0, 1), index(m_Rows.size() - 1, 1), {Qt::DisplayRole});
}

QString ParametersImportModel::timeText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

int ParametersImportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows.size();
}

int ParametersImportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Headers.size();
}

QVariant ParametersImportModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_Rows.size())
        return QVariant();
    const Struct_ImportSample &sample = m_Rows.at(index.row());
    switch (index.column()) {
    case 0:
        return QString::number(index.row() + 1);
    case 1:
        return timeText(sample.Time);
    default:
        return sample.value(index.column() - 2).toString();
    }
}

QVariant ParametersImportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 && section < m_Headers.size())
        return m_Headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
