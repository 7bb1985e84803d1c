#pragma once

#include "reports/ProjectRows.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVector>

#include <memory>

// The samples of one project as a read-only table: number, acquisition time and the shown
// channels. Only the shared rows are kept; every text is made when the view asks for it.
// A row that carried fewer values than the project has channels shows as far as its values go.
class VerificationReportDataModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit VerificationReportDataModel(QObject *parent = nullptr);

    // labels and units: one per channel of the project; shown: one flag per channel (a missing
    // flag counts as hidden).
    void setData(const QStringList &labels, const QStringList &units, const QList<bool> &shown,
                 std::shared_ptr<const ProjectRows> rows, int decimals);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_heads;
    QVector<int> m_channels;   // the channel of each value column
    std::shared_ptr<const ProjectRows> m_rows;
    int m_decimals = 2;
};
