#include "acquisition/ParametersStatistics.h"

#include "acquisition/TableColumnFit.h"
#include "store/Tool.h"

#include <QDebug>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableView>

#include <cmath>

ParametersStatistics::ParametersStatistics(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ParametersStatistics"));
    resize(799, 600);
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *gridLayout_2 = new QGridLayout(this);
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    gridLayout_2->setSpacing(6);
    gridLayout_2->setContentsMargins(5, 5, 5, 5);
    auto *groupBox = new QGroupBox(tr("统计"), this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *gridLayout = new QGridLayout(groupBox);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(5);
    gridLayout->setContentsMargins(5, 5, 5, 5);
    tableWidget_Statistics = new QTableView(groupBox);
    tableWidget_Statistics->setObjectName(QStringLiteral("tableWidget_Statistics"));
    tableWidget_Statistics->setStyleSheet(QStringLiteral("font: 11pt \"宋体\";"));
    m_model = new ParametersStatisticsModel(this);
    tableWidget_Statistics->setModel(m_model);
    gridLayout->addWidget(tableWidget_Statistics, 0, 0);
    gridLayout_2->addWidget(groupBox, 0, 0);
}

void ParametersStatistics::setParameters(int decimals, const QStringList &labels, const QStringList &units)
{
    m_decimals = decimals;
    if (labels.size() == units.size()) {
        m_labels = labels;
        m_unitGroups = UnitGroups(units);
    } else {
        qWarning() << "ParametersStatistics:" << labels.size() << "labels but" << units.size() << "units";
        m_labels.clear();
        m_unitGroups = UnitGroups();
    }
    setHeaders(m_unitGroups.units());
}

void ParametersStatistics::setHeaders(const QStringList &units)
{
    const QStringList titles{tr("最大值"), tr("最大值通道"), tr("最小值"), tr("最小值通道"), tr("平均值"),
                             tr("最大-最小"), tr("最大-平均"), tr("平均-最小"), tr("标准差")};
    QStringList headers{tr("采集时间")};
    for (const QString &unit : units) {
        for (const QString &title : titles)
            headers.append(title + QLatin1Char('(') + unit + QLatin1Char(')'));
    }
    m_model->setColumns(headers, m_labels, units.size(), m_decimals);
    m_columnFit.reset();
    tableWidget_Statistics->verticalHeader()->setVisible(false);
    tableWidget_Statistics->resizeColumnsToContents();
    tableWidget_Statistics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_Statistics->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void ParametersStatistics::addSample(const QDateTime &time, const QList<double> &values)
{
    if (m_labels.isEmpty() || values.size() != m_labels.size()) {
        qWarning() << "ParametersStatistics: sample skipped," << values.size() << "values for"
                   << m_labels.size() << "channels";
        return;
    }
    computeRow(time, values);
    m_columnFit.addedRow(tableWidget_Statistics, m_model->rowCount() - 1);
}

void ParametersStatistics::computeRow(const QDateTime &time, const QList<double> &values)
{
    QVector<ParametersStatisticsModel::GroupRow> groups;
    groups.reserve(m_unitGroups.count());
    for (int group = 0; group < m_unitGroups.count(); ++group)
        groups.append(groupFigures(values, m_unitGroups.members(group)));
    m_model->appendRow(time, groups);
    tableWidget_Statistics->scrollToBottom();
}

ParametersStatisticsModel::GroupRow ParametersStatistics::groupFigures(const QList<double> &values,
                                                                      const QVector<int> &channels)
{
    ParametersStatisticsModel::GroupRow figures;
    QList<double> members;
    members.reserve(channels.size());
    for (int channel : channels) {
        if (channel >= 0 && channel < values.size())
            members.append(values.at(channel));
    }
    if (members.isEmpty() || members.size() != channels.size())
        return figures; // not valid: the group's cells stay empty

    figures.maximum = figures.minimum = members.first();
    figures.maxChannel = figures.minChannel = channels.first();
    for (int k = 0; k < members.size(); ++k) {
        if (members.at(k) > figures.maximum) {
            figures.maximum = members.at(k);
            figures.maxChannel = channels.at(k);
        }
        if (members.at(k) < figures.minimum) {
            figures.minimum = members.at(k);
            figures.minChannel = channels.at(k);
        }
    }
    const double n = members.size();
    figures.mean = Tool::sum(members) / n;
    double squares = 0.0;
    for (double x : members)
        squares += (x - figures.mean) * (x - figures.mean);
    figures.deviation = std::sqrt(squares / n);
    figures.valid = true;
    return figures;
}
