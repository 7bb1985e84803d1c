#pragma once

#include "acquisition/TableColumnFit.h"

#include "acquisition/ParametersStatisticsModel.h"
#include "acquisition/UnitGroups.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QTableView;

// Per-project statistics page of a running acquisition: one row per shown sample with, per
// display unit, the largest and smallest value and their channels, the mean, three spreads
// and the population standard deviation across that unit's channels.
class ParametersStatistics : public QWidget
{
    Q_OBJECT

public:
    explicit ParametersStatistics(QWidget *parent = nullptr);

    // Stores decimals and labels and forms the unit groups and the header afresh; units holds
    // one display unit per label (a list of another length gives a page without channels).
    void setParameters(int decimals, const QStringList &labels, const QStringList &units);
    // Appends one statistics row; values in channel order, one per label (other samples are skipped).
    void addSample(const QDateTime &time, const QList<double> &values);

    // The figures of one group: ties for largest and smallest keep the earlier channel;
    // mean by Tool::sum; deviation with divisor n. channels index into values.
    static ParametersStatisticsModel::GroupRow groupFigures(const QList<double> &values,
                                                            const QVector<int> &channels);

private:
    void setHeaders(const QStringList &units);
    void computeRow(const QDateTime &time, const QList<double> &values);

    QTableView *tableWidget_Statistics = nullptr;
    ParametersStatisticsModel *m_model = nullptr;
    int m_decimals = 0;
    QStringList m_labels;
    UnitGroups m_unitGroups;
    TableColumnFit m_columnFit;
};
