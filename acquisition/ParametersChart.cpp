#include "acquisition/ParametersChart.h"

#include "acquisition/ParametersDataModel.h"
#include "widgets/QCustomPlotL.h"
#include "acquisition/TableColumnFit.h"
#include "acquisition/UnitGroups.h"
#include "common/Struct_System.h"

#include <QDebug>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

const QString ParametersChart::CheckedIcon = QStringLiteral(":/HKRQ5713/Image/Checkbox_checked.png");
const QString ParametersChart::UncheckedIcon = QStringLiteral(":/HKRQ5713/Image/Checkbox_unchecked.png");

ParametersChart::ParametersChart(QWidget *parent)
    : QWidget(parent)
{
    buildForm();

    tableWidget_Chart->setColumnCount(3);
    tableWidget_Chart->setShowGrid(false);
    tableWidget_Chart->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_Chart->setSelectionBehavior(QAbstractItemView::SelectItems);
    tableWidget_Chart->setColumnWidth(0, 13);
    tableWidget_Chart->setColumnWidth(1, 13);
    tableWidget_Chart->setColumnWidth(2, 60);
    tableWidget_Chart->horizontalHeader()->setStretchLastSection(true);
}

void ParametersChart::buildForm()
{
    setObjectName(QStringLiteral("ParametersChart"));
    resize(929, 704);
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *gridLayout_3 = new QGridLayout(this);
    gridLayout_3->setObjectName(QStringLiteral("gridLayout_3"));
    gridLayout_3->setSpacing(5);
    gridLayout_3->setContentsMargins(5, 5, 5, 5);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    gridLayout_3->addWidget(splitter, 0, 0);

    auto *groupBox = new QGroupBox(tr("实时数据"), splitter);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *gridLayout = new QGridLayout(groupBox);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(5);
    gridLayout->setContentsMargins(5, 5, 5, 5);
    tableWidget_Data = new QTableView(groupBox);
    tableWidget_Data->setObjectName(QStringLiteral("tableWidget_Data"));
    tableWidget_Data->setStyleSheet(QStringLiteral("font: 11pt \"宋体\";"));
    m_dataModel = new ParametersDataModel(this);
    tableWidget_Data->setModel(m_dataModel);
    gridLayout->addWidget(tableWidget_Data, 0, 0);
    splitter->addWidget(groupBox);

    auto *groupBox_2 = new QGroupBox(tr("趋势图"), splitter);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    auto *gridLayout_2 = new QGridLayout(groupBox_2);
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    gridLayout_2->setSpacing(0);
    gridLayout_2->setContentsMargins(5, 5, 5, 5);
    horizontalLayout_Chart = new QHBoxLayout();
    horizontalLayout_Chart->setObjectName(QStringLiteral("horizontalLayout_Chart"));
    horizontalLayout_Chart->setSpacing(0);
    horizontalLayout_Chart->setContentsMargins(0, 0, 0, 0);
    gridLayout_2->addLayout(horizontalLayout_Chart, 0, 0);
    auto *verticalLayout_Chart = new QVBoxLayout();
    verticalLayout_Chart->setObjectName(QStringLiteral("verticalLayout_Chart"));
    verticalLayout_Chart->setSpacing(1);
    tableWidget_Chart = new QTableWidget(groupBox_2);
    tableWidget_Chart->setObjectName(QStringLiteral("tableWidget_Chart"));
    tableWidget_Chart->setMaximumWidth(200);
    tableWidget_Chart->setStyleSheet(QStringLiteral("font: 10pt \"宋体\";"));
    tableWidget_Chart->horizontalHeader()->setVisible(false);
    tableWidget_Chart->verticalHeader()->setVisible(false);
    verticalLayout_Chart->addWidget(tableWidget_Chart);
    pushButton_All = new QPushButton(tr("全选"), groupBox_2);
    pushButton_All->setObjectName(QStringLiteral("pushButton_All"));
    verticalLayout_Chart->addWidget(pushButton_All);
    pushButton_Renovate = new QPushButton(tr("刷新中"), groupBox_2);
    pushButton_Renovate->setObjectName(QStringLiteral("pushButton_Renovate"));
    verticalLayout_Chart->addWidget(pushButton_Renovate);
    gridLayout_2->addLayout(verticalLayout_Chart, 0, 1);
    gridLayout_2->setColumnStretch(0, 8);
    gridLayout_2->setColumnStretch(1, 1);
    splitter->addWidget(groupBox_2);

    connect(tableWidget_Chart, &QTableWidget::cellClicked, this, &ParametersChart::Chart_clicked);
    connect(pushButton_Renovate, &QPushButton::clicked, this, &ParametersChart::Renovate_clicked);
    connect(pushButton_All, &QPushButton::clicked, this, &ParametersChart::All_clicked);
}

void ParametersChart::setParameters(Struct_System *system, const QList<Struct_ParametersChannel> &channels)
{
    m_channelCount = channels.size();
    const int decimals = system ? system->DataAccuracy : 2;

    QStringList labels, units;
    for (const Struct_ParametersChannel &channel : channels) {
        labels.append(channel.label());
        units.append(channel.DisplayUnit);
    }
    const UnitGroups unitGroups(units);
    if (unitGroups.count() > ParametersDataModel::MaxGroups)
        qWarning() << "ParametersChart: more than two display units:" << unitGroups.units();

    QStringList headers{tr("采集时间")};
    for (int i = 0; i < m_channelCount; ++i)
        headers.append(labels.at(i) + QLatin1Char('(') + units.at(i) + QLatin1Char(')'));

    if (!m_chart) {
        m_chart = new QCustomPlotL;
        m_chart->setObjectName(QStringLiteral("chart"));
        horizontalLayout_Chart->addWidget(m_chart);
    }
    if (!m_chart->SetChannels(labels, unitGroups.units(), unitGroups.onFirstUnit(), false))
        qWarning() << "ParametersChart: the chart refused the channels" << labels << unitGroups.units();
    m_chart->SetDecimals(decimals);

    tableWidget_Chart->setRowCount(0);
    tableWidget_Chart->setRowCount(m_channelCount);
    m_curveVisible.clear();
    for (int row = 0; row < m_channelCount; ++row) {
        m_curveVisible.append(true);
        setCurveIcon(row, true);

        QColor colour;
        m_chart->GetChannelColor(row, colour);
        auto *swatchCell = new QWidget;
        auto *swatchLayout = new QHBoxLayout(swatchCell);
        swatchLayout->setContentsMargins(0, 0, 0, 0);
        auto *swatch = new QLabel(swatchCell);
        swatch->setObjectName(QStringLiteral("swatch"));
        swatch->setStyleSheet(QStringLiteral("QLabel{background-color:rgb(%1,%2,%3);}")
                                  .arg(colour.red()).arg(colour.green()).arg(colour.blue()));
        swatch->setMaximumSize(13, 3);
        swatchLayout->addWidget(swatch, 0, Qt::AlignCenter);
        tableWidget_Chart->setCellWidget(row, 1, swatchCell);

        auto *name = new QTableWidgetItem(labels.at(row));
        name->setFlags(Qt::NoItemFlags);
        tableWidget_Chart->setItem(row, 2, name);
    }
    tableWidget_Chart->resizeColumnsToContents();

    m_dataModel->setChannels(headers, unitGroups, decimals);
    m_columnFit.reset();
    tableWidget_Data->verticalHeader()->setVisible(false);
    tableWidget_Data->resizeColumnsToContents();
    tableWidget_Data->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_Data->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void ParametersChart::addSample(const QDateTime &time, const QList<double> &values)
{
    if (!m_dataModel->appendSample(time, values)) {
        qWarning() << "ParametersChart: sample skipped," << values.size() << "values for"
                   << m_channelCount << "channels";
        return;
    }
    tableWidget_Data->scrollToBottom();
    m_columnFit.addedRow(tableWidget_Data, m_dataModel->rowCount() - 1);
    if (m_chart)
        m_chart->AddPoints(time, values);
}

void ParametersChart::setCurveIcon(int row, bool visible)
{
    const QString path = visible ? CheckedIcon : UncheckedIcon;
    auto *item = new QTableWidgetItem(QIcon(path), QString());
    item->setData(Qt::UserRole, path);
    tableWidget_Chart->setItem(row, 0, item);
}

void ParametersChart::setCurveVisible(int row, bool visible)
{
    m_curveVisible[row] = visible;
    if (m_chart)
        m_chart->SetGraphVisible(row, visible);
    setCurveIcon(row, visible);
}

void ParametersChart::Chart_clicked(int row, int column)
{
    if (column != 0 || row < 0 || row >= m_curveVisible.size())
        return;
    setCurveVisible(row, !m_curveVisible.at(row));
}

void ParametersChart::All_clicked()
{
    const bool showAll = pushButton_All->text() == tr("全选");
    pushButton_All->setText(showAll ? tr("全不选") : tr("全选"));
    for (int row = 0; row < m_curveVisible.size(); ++row) {
        if (m_curveVisible.at(row) != showAll)
            setCurveVisible(row, showAll);
    }
}

void ParametersChart::Renovate_clicked()
{
    const QString current = pushButton_Renovate->text();
    bool autoTime = true, autoValue = true;
    QString next;
    if (current == tr("刷新中")) {
        next = tr("X轴刷新");
        autoValue = false;
    } else if (current == tr("X轴刷新")) {
        next = tr("Y轴刷新");
        autoTime = false;
    } else if (current == tr("Y轴刷新")) {
        next = tr("停止刷新");
        autoTime = autoValue = false;
    } else {
        next = tr("刷新中");
    }
    pushButton_Renovate->setText(next);
    if (m_chart)
        m_chart->SetInteractionFlags(autoTime, autoValue);
}
