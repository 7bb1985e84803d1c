#pragma once

#include "acquisition/TableColumnFit.h"

#include "common/Struct_ParametersChannel.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

class ParametersDataModel;
class QCustomPlotL;
class QHBoxLayout;
class QPushButton;
class QTableView;
class QTableWidget;
struct Struct_System;

// Per-project result page of a running acquisition: the live data table (one row per shown
// sample, each unit group's largest value in red and smallest in green), the trend chart of
// the same samples, the curve list that shows and hides curves, and the rescaling button.
class ParametersChart : public QWidget
{
    Q_OBJECT

public:
    static const QString CheckedIcon;
    static const QString UncheckedIcon;

    explicit ParametersChart(QWidget *parent = nullptr);

    // Configures the tables and the chart for the project's channels (once per page).
    void setParameters(Struct_System *system, const QList<Struct_ParametersChannel> &channels);
    // Appends one sample; values in channel order, one per channel (other samples are skipped).
    void addSample(const QDateTime &time, const QList<double> &values);

    QCustomPlotL *chart() const { return m_chart; }

public slots:
    void All_clicked();
    void Chart_clicked(int row, int column);
    void Renovate_clicked();

private:
    void buildForm();
    void setCurveVisible(int row, bool visible);
    void setCurveIcon(int row, bool visible);

    QTableView *tableWidget_Data = nullptr;
    QTableWidget *tableWidget_Chart = nullptr;
    QPushButton *pushButton_All = nullptr;
    QPushButton *pushButton_Renovate = nullptr;
    QHBoxLayout *horizontalLayout_Chart = nullptr;
    ParametersDataModel *m_dataModel = nullptr;
    QCustomPlotL *m_chart = nullptr;

    int m_channelCount = 0;
    QList<bool> m_curveVisible;
    TableColumnFit m_columnFit;
};
