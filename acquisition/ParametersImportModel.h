#pragma once

#include "acquisition/Struct_ImportSample.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// Rows of the import dialog's table: number, time and one column per channel, read straight
// from the samples (no item object per cell), so a day of samples stays light.
class ParametersImportModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ParametersImportModel(QObject *parent = nullptr);

    // Column heads: number, time, then one per channel.
    void setHeaders(const QStringList &headers);
    void setRows(const QVector<Struct_ImportSample> &rows);
    const QVector<Struct_ImportSample> &rows() const { return m_Rows; }
    // Row i gets the time first + i * step milliseconds; the values stay.
    void alignTimes(qint64 first, qint64 step);

    static QString timeText(qint64 msecs);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_Headers;
    QVector<Struct_ImportSample> m_Rows;
};
