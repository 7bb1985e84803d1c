#include "acquisition/ParametersChannel.h"

#include "widgets/QTableWidgetL.h"
#include "common/Struct_System.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <cmath>

namespace {
const char *const kNumberPattern = "[-+0-9.Ee]+$";
}

ParametersChannel::ParametersChannel(QWidget *parent)
    : QDialog(parent)
    , m_title(tr("警告"))
{
    buildForm();
    connect(m_table, SIGNAL(cellClicked(int,int)), this, SLOT(tw_cellClicked(int,int)));
    connect(pushButton_Low, SIGNAL(clicked()), this, SLOT(Low_clicked()));
    connect(pushButton_Hight, SIGNAL(clicked()), this, SLOT(Hight_clicked()));
    connect(pushButton_OK, SIGNAL(clicked()), this, SLOT(OK_clicked()));
}

void ParametersChannel::buildForm()
{
    setWindowTitle(tr("通道配置"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Parameters.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(1100, 600);

    auto *layout = new QVBoxLayout(this);
    verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    layout->addLayout(verticalLayout_2);

    auto makeButton = [this](const char *name, const QString &text) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    pushButton_Low = makeButton("pushButton_Low", tr("下限全选"));
    pushButton_Hight = makeButton("pushButton_Hight", tr("上限全选"));
    pushButton_OK = makeButton("pushButton_OK", tr("下一步"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(pushButton_Low);
    buttons->addWidget(pushButton_Hight);
    buttons->addStretch();
    buttons->addWidget(pushButton_OK);
    layout->addLayout(buttons);

    m_table = new QTableWidgetL(this);
    m_table->setObjectName(QStringLiteral("tableWidget"));
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setStretchLastSection(true);
    verticalLayout_2->addWidget(m_table);
}

void ParametersChannel::SetTable(Struct_System *system)
{
    m_system = system;
    if (!system)
        return;
    m_notification = system->Switch_Notification;
    m_projectNames = system->ProjectNames;
    pushButton_Low->setVisible(m_notification);
    pushButton_Hight->setVisible(m_notification);

    QStringList headers = {tr("设备序号"), tr("设备类型"), tr("通道序号"), tr("通道单位"),
                           tr("项目"),     tr("显示单位"), QStringLiteral("Mx+B(M)"), QStringLiteral("Mx+B(B)")};
    if (m_notification)
        headers << tr("下限通知") << tr("下限") << tr("上限通知") << tr("上限");
    m_table->setRowCount(0);
    m_table->setColumnCount(headers.size());
    m_table->setHorizontalHeaderLabels(headers);

    const QString firstProject = m_projectNames.value(0);
    for (int d = 0; d < system->ProjectDevices.size(); ++d) {
        const Tool::Struct_Collection &device = system->ProjectDevices.at(d);
        for (int j = 0; j < device.CHSerial.size(); ++j) {
            // A unit list shorter than the channel list leaves the missing units empty.
            const QString unit = device.CHUnit.value(j);
            const int row = m_table->rowCount();
            m_table->insertRow(row);
            m_table->setCellItem(row, ColDevice, QString::number(d + 1), false);
            m_table->setCellItem(row, ColModel, device.Model, false);
            m_table->setCellItem(row, ColChannel, device.CHSerial.at(j), false);
            m_table->setCellItem(row, ColUnit, unit, false);
            m_table->setCellItem(row, ColProject, firstProject, true);
            m_table->setCellItem(row, ColDisplayUnit, unit, true);
            m_table->setCellItem(row, ColM, QStringLiteral("1"), true);
            m_table->setCellItem(row, ColB, QStringLiteral("0"), true);
            if (m_notification) {
                m_table->setCellCheckBox(row, ColLowEnabled, false, true);
                m_table->setCellItem(row, ColLow, QStringLiteral("0"), true);
                m_table->setCellCheckBox(row, ColHighEnabled, false, true);
                m_table->setCellItem(row, ColHigh, QStringLiteral("100"), true);
            }
        }
    }
    m_table->resizeColumnsToContents();
}

bool ParametersChannel::isNumber(const QString &text, double *value)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    if (value)
        *value = number;
    return true;
}

QString ParametersChannel::cellText(int row, int column) const
{
    const QTableWidgetItem *item = m_table->item(row, column);
    return item ? item->text() : QString();
}

bool ParametersChannel::isChecked(int row, int column) const
{
    const QCheckBox *box = m_table->cellCheckBox(row, column);
    return box && box->isChecked();
}

void ParametersChannel::tw_cellClicked(int row, int column)
{
    CopyColumn();
    if (row < 0 || row >= m_table->rowCount() || column < 0 || column >= m_table->columnCount())
        return;
    m_editRow = row;
    m_editColumn = column;
    switch (column) {
    case ColProject:
        m_table->setCellComboBox(row, column, m_projectNames);
        break;
    case ColDisplayUnit:
        m_table->setCellLineEdit(row, column, QString());
        break;
    case ColM:
    case ColB:
    case ColLow:
    case ColHigh:
        m_table->setCellLineEdit(row, column, QLatin1String(kNumberPattern));
        break;
    default:
        break;
    }
}

void ParametersChannel::CopyColumn()
{
    m_table->commitCellWidget(-1, -1);
    static const QSet<int> filled = {ColProject, ColDisplayUnit, ColM, ColB, ColLow, ColHigh};
    if (m_editRow >= 0 && m_editRow < m_table->rowCount() && filled.contains(m_editColumn)
        && m_editColumn < m_table->columnCount()) {
        const QString text = cellText(m_editRow, m_editColumn);
        for (int row = m_editRow + 1; row < m_table->rowCount(); ++row) {
            if (QTableWidgetItem *item = m_table->item(row, m_editColumn))
                item->setText(text);
            else
                m_table->setCellItem(row, m_editColumn, text, true);
        }
    }
    m_editRow = -1;
    m_editColumn = -1;
}

void ParametersChannel::toggleAll(QPushButton *button, const QString &selectText, int column)
{
    const bool select = button->text() == selectText;
    button->setText(select ? tr("取消全选") : selectText);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (QCheckBox *box = m_table->cellCheckBox(row, column))
            box->setChecked(select);
    }
}

void ParametersChannel::Low_clicked()
{
    toggleAll(pushButton_Low, tr("下限全选"), ColLowEnabled);
}

void ParametersChannel::Hight_clicked()
{
    toggleAll(pushButton_Hight, tr("上限全选"), ColHighEnabled);
}

void ParametersChannel::showMessage(const QString &text)
{
    QMessageBox::information(this, m_title, text, QMessageBox::Ok);
}

bool ParametersChannel::checkRows()
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QString unit = cellText(row, ColDisplayUnit);
        QString failure;
        if (unit.isEmpty())
            failure = tr("单位不能为空！");
        else if (unit.contains(QLatin1Char(',')))
            // The display units are stored as one list joined with ",".
            failure = tr("显示单位不能包含逗号！");
        else if (unit.contains(QLatin1Char('"')))
            // The CSV files would have to quote it, and their reader splits at every comma.
            failure = tr("显示单位不能包含双引号！");
        else if (!isNumber(cellText(row, ColM)))
            failure = tr("输入的M参数异常！");
        else if (!isNumber(cellText(row, ColB)))
            failure = tr("输入的B参数异常！");
        else if (m_notification && !isNumber(cellText(row, ColLow)))
            failure = tr("输入的下限温度异常！");
        else if (m_notification && !isNumber(cellText(row, ColHigh)))
            failure = tr("输入的上限温度异常！");
        else if (!m_projectNames.contains(cellText(row, ColProject)))
            failure = tr("第%1行的项目不在项目列表中！").arg(row + 1);
        if (!failure.isEmpty()) {
            showMessage(failure + QLatin1Char('\n')
                        + tr("第%1行：设备序号%2，通道序号%3")
                              .arg(QString::number(row + 1), cellText(row, ColDevice), cellText(row, ColChannel)));
            return false;
        }
    }
    return true;
}

bool ParametersChannel::checkProjects()
{
    for (int i = 0; i < m_projectNames.size(); ++i) {
        const QString number = QString::number(i + 1);
        QSet<QString> units;
        bool found = false;
        for (int row = 0; row < m_table->rowCount(); ++row) {
            if (cellText(row, ColProject) != m_projectNames.at(i))
                continue;
            found = true;
            units.insert(cellText(row, ColDisplayUnit));
        }
        if (!found) {
            showMessage(tr("项目") + number + tr(":未选择通道！"));
            return false;
        }
        if (units.size() > 2) {
            showMessage(tr("项目") + number + tr(":通道单位最多为两类！"));
            return false;
        }
    }
    return true;
}

void ParametersChannel::OK_clicked()
{
    CopyColumn();
    if (!m_system || !checkRows() || !checkProjects())
        return;

    m_system->ParametersChannels.clear();
    for (int row = 0; row < m_table->rowCount(); ++row)
        readChannelRow(row);
    if (!m_system->ParametersChannels.isEmpty())
        accept();
}

void ParametersChannel::readChannelRow(int row)
{
    if (!m_system)
        return;
    Struct_ParametersChannel channel;
    channel.DeviceIndex = cellText(row, ColDevice).toInt() - 1;
    channel.Channel = cellText(row, ColChannel);
    channel.Type = QStringLiteral("Auto");
    channel.Function = QStringLiteral("Auto");
    channel.Wire = QStringLiteral("Auto");
    channel.Unit = cellText(row, ColUnit);
    channel.ProjectIndex = m_projectNames.indexOf(cellText(row, ColProject));
    channel.M = cellText(row, ColM).toDouble();
    channel.B = cellText(row, ColB).toDouble();
    channel.DisplayUnit = cellText(row, ColDisplayUnit);
    if (m_notification) {
        channel.LowEnabled = isChecked(row, ColLowEnabled);
        channel.Low = cellText(row, ColLow).toDouble();
        channel.HighEnabled = isChecked(row, ColHighEnabled);
        channel.High = cellText(row, ColHigh).toDouble();
    }
    m_system->ParametersChannels.append(channel);
}
