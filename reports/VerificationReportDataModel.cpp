#include "reports/VerificationReportDataModel.h"

namespace {
const int kFixedColumns = 2; // number and time
}

VerificationReportDataModel::VerificationReportDataModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void VerificationReportDataModel::setData(const QStringList &labels, const QStringList &units,
                                          const QList<bool> &shown, std::shared_ptr<const ProjectRows> rows,
                                          int decimals)
{
    beginResetModel();
    m_heads = QStringList{tr("序号"), tr("采集时间")};
    m_channels.clear();
    for (int channel = 0; channel < labels.size(); ++channel) {
        if (!shown.value(channel, false))
            continue;
        m_heads.append(labels.at(channel) + QLatin1Char('(') + units.value(channel) + QLatin1Char(')'));
        m_channels.append(channel);
    }
    m_rows = std::move(rows);
    m_decimals = decimals;
    endResetModel();
}

int VerificationReportDataModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->rowCount();
}

int VerificationReportDataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_heads.size();
}

QVariant VerificationReportDataModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return QVariant();
    const int row = index.row();
    switch (index.column()) {
    case 0:
        return QString::number(row + 1);
    case 1:
        return m_rows->dateTime(row).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    default: {
        const int channel = m_channels.value(index.column() - kFixedColumns, -1);
        // The store holds at most one value per channel; a shorter row ends early.
        if (channel < 0 || channel >= m_rows->channelCount() || channel >= m_rows->storedCount(row))
            return QVariant();
        return QString::number(m_rows->value(row, channel), 'f', m_decimals);
    }
    }
}

QVariant VerificationReportDataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_heads.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags VerificationReportDataModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
