#include "calibration/Calibration.h"

#include "calibration/CalibrationChannel.h"
#include "calibration/CalibrationScan.h"
#include "calibration/CalibrationWork.h"
#include "calibration/CoefficientFit.h"
#include "calibration/CoefficientIni.h"
#include "common/Struct_System.h"
#include "widgets/QTableWidgetL.h"
#include "common/WithReason.h"

#include <QAction>
#include <QBluetoothLocalDevice>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDebug>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kP710W = QStringLiteral("QN P710W");
const QString kOther = QStringLiteral("Other");

Calibration::FileChooser &fileChooser()
{
    static Calibration::FileChooser chooser;
    return chooser;
}

std::optional<bool> &forcedP710W()
{
    static std::optional<bool> forced;
    return forced;
}

void setChildrenChecked(QTreeWidgetItem *run, Qt::CheckState state)
{
    for (int i = 0; i < run->childCount(); ++i)
        run->child(i)->setCheckState(0, state);
}
}

Calibration::Calibration(QWidget *parent)
    : QWidget(parent)
{
    m_Title = tr("提示");
    m_OfferP710W = isP710WOffered();
    buildForm();

    m_Menu = new QMenu(this);
    m_Menu->setObjectName(QStringLiteral("menu_Project"));
    auto addAction = [this](const QString &text, const char *name) {
        auto *action = new QAction(text, m_Menu);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_ActionShow = addAction(tr("查看项目"), "action_Show");
    m_ActionRecalculate = addAction(tr("重新计算"), "action_Recalculate");
    m_ActionDelete = addAction(tr("删除项目"), "action_Delete");
    m_ActionContinue = addAction(tr("继续校准"), "action_Continue");
    m_ActionExport = addAction(tr("Ini导出"), "action_Export");
    m_Menu->addActions({m_ActionShow, m_ActionDelete, m_ActionRecalculate, m_ActionContinue, m_ActionExport});
    connect(m_Menu, SIGNAL(triggered(QAction*)), this, SLOT(onGrpMenuTriggered(QAction*)));

    // Runs Criteria_clicked for the first reference; the source keeps no model until it is
    // chosen or its connection is set.
    fillCriteria(QStringList());
}

Calibration::~Calibration() = default;

void Calibration::buildForm()
{
    setObjectName(QStringLiteral("Calibration"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *setUp = new QGroupBox(tr("校准设置"), this);
    setUp->setObjectName(QStringLiteral("groupBox_Setting"));
    // Two rows (the instrument and the source, then the reference and the start), so the page
    // fits a small screen in every language.
    auto *rows = new QVBoxLayout(setUp);
    auto *row = new QHBoxLayout;
    rows->addLayout(row);
    auto addCombo = [&](const QString &label, const char *name) {
        row->addWidget(new QLabel(label, setUp));
        auto *combo = new QComboBox(setUp);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        row->addWidget(combo);
        return combo;
    };
    auto addButton = [&](const QString &text, const char *name) {
        auto *button = new QPushButton(text, setUp);
        button->setObjectName(QString::fromLatin1(name));
        row->addWidget(button);
        return button;
    };
    comboBox_Device = addCombo(tr("采集设备："), "comboBox_Device");
    comboBox_Field = addCombo(tr("温场："), "comboBox_Field");
    pushButton_FieldScan = addButton(tr("通信设置"), "pushButton_FieldScan");
    row->addStretch(1);
    row = new QHBoxLayout;
    rows->addLayout(row);
    comboBox_Criteria = addCombo(tr("标准："), "comboBox_Criteria");
    pushButton_CriteriaScan = addButton(tr("通信设置"), "pushButton_CriteriaScan");
    pushButton_Calibration = addButton(tr("校准"), "pushButton_Calibration");
    row->addStretch(1);

    auto *records = new QGroupBox(tr("校准记录"), this);
    records->setObjectName(QStringLiteral("groupBox_Records"));
    treeWidget = new QTreeWidget(records);
    treeWidget->setObjectName(QStringLiteral("treeWidget"));
    (new QVBoxLayout(records))->addWidget(treeWidget);

    auto *data = new QGroupBox(tr("校准数据"), this);
    data->setObjectName(QStringLiteral("groupBox_Data"));
    tableWidget = new QTableWidgetL(data);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    tableWidget->setColumnCount(ColumnCount);
    tableWidget->setHorizontalHeaderLabels({tr("通道序号"), tr("通道类型"), tr("通道功能"), tr("接线线制"),
                                            QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                            QStringLiteral("D"), QStringLiteral("R0"), QStringLiteral("A4"),
                                            QStringLiteral("B4"), tr("校准标准"), tr("校准数据")});
    tableWidget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidget->horizontalHeader()->setStretchLastSection(true);
    tableWidget->verticalHeader()->hide();
    (new QVBoxLayout(data))->addWidget(tableWidget);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(records);
    splitter->addWidget(data);
    splitter->setStretchFactor(1, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(setUp);
    layout->addWidget(splitter, 1);

    treeWidget->setColumnCount(1);
    treeWidget->setHeaderLabels({tr("项目列表")});

    addModels(comboBox_Field, {QStringLiteral("QNVA"), QStringLiteral("QNVA-R"), QStringLiteral("QNLK"),
                               QStringLiteral("QNLK-R"), kOther});
    auto onText = [this](QComboBox *combo, void (Calibration::*slot)(QString)) {
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [=](int index) {
            if (index >= 0)
                (this->*slot)(modelAt(combo, index));
        });
    };
    onText(comboBox_Field, &Calibration::Field_clicked);
    onText(comboBox_Criteria, &Calibration::Criteria_clicked);
    connect(pushButton_Calibration, SIGNAL(clicked()), this, SLOT(Calibration_clicked()));
    connect(pushButton_FieldScan, SIGNAL(clicked()), this, SLOT(FieldScan_clicked()));
    connect(pushButton_CriteriaScan, SIGNAL(clicked()), this, SLOT(CriteriaScan_clicked()));
    connect(treeWidget, SIGNAL(itemClicked(QTreeWidgetItem*,int)), this, SLOT(treeItemChanged(QTreeWidgetItem*,int)));
    connect(treeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem*,int)), this,
            SLOT(treeDoubleChanged(QTreeWidgetItem*,int)));
}

void Calibration::setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

bool Calibration::isP710WOffered()
{
    if (forcedP710W())
        return *forcedP710W();
    return !QBluetoothLocalDevice::allDevices().isEmpty();
}

void Calibration::forceP710WOffered(std::optional<bool> offered)
{
    forcedP710W() = offered;
}

void Calibration::SetSystem(Struct_System *system)
{
    m_System = system;
    m_Devices = system ? system->DeviceList : QList<Tool::Struct_Collection>();
    for (const Tool::Struct_Collection &device : qAsConst(m_Devices))
        comboBox_Device->addItem(device.Serial);
    LoadProjectTree();
}

void Calibration::information(const QString &text)
{
    QMessageBox::information(this, m_Title, text, QMessageBox::Ok);
}

// --- Source and reference ------------------------------------------------------------------

void Calibration::fillCriteria(const QStringList &first)
{
    QStringList items = first;
    items.append(kOther);
    if (m_OfferP710W)
        items.append(kP710W);
    comboBox_Criteria->clear();
    addModels(comboBox_Criteria, items);
}

void Calibration::addModels(QComboBox *combo, const QStringList &models)
{
    // "Other" is shown in the user's language; the model itself is kept as the item's data.
    for (const QString &model : models)
        combo->addItem(model == kOther ? tr("其他") : model, model);
}

QString Calibration::modelAt(const QComboBox *combo, int index)
{
    return combo->itemData(index).toString();
}

void Calibration::Field_clicked(QString text)
{
    m_Field.Model = text;
    m_Field.Connected = text == kOther;
    pushButton_FieldScan->setEnabled(text != kOther);
    // A source read as its own reference is offered as the reference first.
    const bool ownReference = text == QLatin1String("QNVA-R") || text == QLatin1String("QNLK-R");
    fillCriteria(ownReference ? QStringList{text} : QStringList());
}

void Calibration::Criteria_clicked(QString text)
{
    m_Criteria.Model = text;
    pushButton_CriteriaScan->setEnabled(text == kP710W);
    m_Criteria.Connected = text != kP710W;
}

void Calibration::editConnection(Struct_Connection &connection)
{
    CalibrationScan scan(this);
    scan.SetParameters(connection);
    scan.exec();
    connection = scan.GetParameters();
}

void Calibration::FieldScan_clicked()
{
    m_Field.Model = modelAt(comboBox_Field, comboBox_Field->currentIndex());
    editConnection(m_Field);
}

void Calibration::CriteriaScan_clicked()
{
    const QString model = modelAt(comboBox_Criteria, comboBox_Criteria->currentIndex());
    if (model != kP710W) {
        information(tr("当前标准无需设置通信信息!"));
        return;
    }
    m_Criteria.Model = model;
    editConnection(m_Criteria);
}

bool Calibration::CheckDevices()
{
    if (m_Field.Model != kOther && !m_Field.Connected) {
        information(tr("温场未连接!"));
        return false;
    }
    if (m_Criteria.Model == kP710W && !m_Criteria.Connected) {
        information(tr("标准未连接!"));
        return false;
    }
    if (m_Field.Model != kOther && m_Criteria.Model == kOther) {
        information(tr("当前温场不支持标准手动采集!"));
        return false;
    }
    if (!m_System)
        return false;
    m_System->FieldModel = m_Field.Model;
    m_System->FieldSignalMode = m_Field.SignalMode;
    m_System->FieldSignal1 = m_Field.Signal1;
    m_System->FieldSignal2 = m_Field.Signal2;
    m_System->CriteriaModel = m_Criteria.Model;
    m_System->CriteriaSignalMode = m_Criteria.SignalMode;
    m_System->CriteriaSignal1 = m_Criteria.Signal1;
    m_System->CriteriaSignal2 = m_Criteria.Signal2;
    return true;
}

// --- Runs ----------------------------------------------------------------------------------

void Calibration::Calibration_clicked()
{
    if (m_Devices.isEmpty()) {
        information(tr("未选择采集器!"));
        return;
    }
    if (!CheckDevices())
        return;
    const Tool::Struct_Collection device = m_Devices.value(qMax(0, comboBox_Device->currentIndex()));
    Tool::Struct_Calibration run;
    run.TimeName = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    run.Model = device.Model;
    run.Serial = device.Serial;
    RunProject(run);
}

void Calibration::ContinueProject()
{
    Tool::Struct_Calibration run;
    const int index = checkedRunIndex();
    if (index >= 0)
        run = m_Runs.at(index);
    if (CheckDevices())
        RunProject(run);
}

void Calibration::RunProject(Tool::Struct_Calibration run)
{
    if (!m_System)
        return;
    const Tool::Struct_Collection *device = nullptr;
    for (const Tool::Struct_Collection &candidate : qAsConst(m_Devices)) {
        if (candidate.Serial == run.Serial && candidate.Model == run.Model) {
            device = &candidate;
            break;
        }
    }
    if (run.TimeName.isEmpty()) {
        information(tr("项目信息异常!"));
        return;
    }
    if (!device) {
        information(tr("选择的采集器未连接!"));
        return;
    }
    m_System->Calibration = run;
    m_System->CalibrationDevice = *device;

    CalibrationChannel channels(this);
    channels.SetParameters(m_System);
    // A run that cannot be set up has told the user; its dialog then ends at once.
    if (channels.exec() != QDialog::Accepted)
        return;
    CalibrationWork work(this);
    work.Start(m_System);
    work.exec();
    LoadProjectTree();
}

// --- Run tree ------------------------------------------------------------------------------

void Calibration::LoadProjectTree()
{
    treeWidget->clear();
    treeWidget->setColumnCount(1);
    treeWidget->setHeaderLabels({tr("项目列表")});
    m_Runs.clear();
    QList<Tool::Struct_Calibration> stored;
    if (!Tool::getCalibration(stored, QString())) {
        // An empty tree must not pass for a store without runs: the database's reason follows.
        const QString reason = Tool::lastFailureText();
        information(withReason(tr("读取数据库失败！"), reason));
        return;
    }
    // The newest run first.
    for (auto it = stored.crbegin(); it != stored.crend(); ++it)
        m_Runs.append(*it);
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    for (const Tool::Struct_Calibration &run : qAsConst(m_Runs)) {
        auto *item = new QTreeWidgetItem(treeWidget, {run.TimeName + QLatin1Char('-') + run.Serial});
        item->setFlags(flags);
        item->setCheckState(0, Qt::Unchecked);
        for (const QString &number : run.CHNumber) {
            auto *child = new QTreeWidgetItem(item, {number});
            child->setFlags(flags);
            child->setCheckState(0, Qt::Unchecked);
        }
    }
}

void Calibration::treeItemChanged(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    QTreeWidgetItem *run = item->parent() ? item->parent() : item;
    if (item->checkState(0) == Qt::Checked) {
        // Only one run holds checks at a time.
        for (int i = 0; i < treeWidget->topLevelItemCount(); ++i) {
            QTreeWidgetItem *other = treeWidget->topLevelItem(i);
            if (other != run && other->checkState(0) != Qt::Unchecked) {
                other->setCheckState(0, Qt::Unchecked);
                setChildrenChecked(other, Qt::Unchecked);
            }
        }
    }
    if (item->parent()) {
        int checked = 0;
        for (int i = 0; i < run->childCount(); ++i)
            checked += run->child(i)->checkState(0) == Qt::Checked ? 1 : 0;
        run->setCheckState(0, checked == 0 ? Qt::Unchecked
                              : checked < run->childCount() ? Qt::PartiallyChecked : Qt::Checked);
    } else if (item->checkState(0) != Qt::PartiallyChecked) {
        setChildrenChecked(run, item->checkState(0));
    }
}

void Calibration::treeDoubleChanged(QTreeWidgetItem *, int)
{
    ShowProject();
}

int Calibration::checkedRunIndex() const
{
    for (int i = 0; i < treeWidget->topLevelItemCount() && i < m_Runs.size(); ++i) {
        if (treeWidget->topLevelItem(i)->checkState(0) != Qt::Unchecked)
            return i;
    }
    return -1;
}

bool Calibration::loadCheckedRecords()
{
    m_Records.clear();
    const int index = checkedRunIndex();
    if (index < 0)
        return false;
    m_Current = m_Runs.at(index);
    const QTreeWidgetItem *run = treeWidget->topLevelItem(index);
    for (int i = 0; i < run->childCount() && i < m_Current.CHNumber.size(); ++i) {
        if (run->child(i)->checkState(0) != Qt::Checked)
            continue;
        const Tool::Struct_CalibrationData record = LoadCalibrationData(m_Current.TimeName, m_Current.CHNumber.at(i));
        // A channel without a stored record is neither shown nor stored again.
        if (record.Name.isEmpty()) {
            qWarning() << "Calibration: no stored record of channel" << m_Current.CHNumber.at(i) << "of run"
                       << m_Current.TimeName;
            continue;
        }
        m_Records.append(record);
    }
    return true;
}

Tool::Struct_CalibrationData Calibration::LoadCalibrationData(QString name, QString number)
{
    Tool::Struct_CalibrationData record;
    if (!Tool::getCalibrationData(record, name, number))
        return Tool::Struct_CalibrationData();
    return record;
}

void Calibration::ShowProject()
{
    if (loadCheckedRecords())
        ShowCalibrationData();
}

void Calibration::ShowCalibrationData()
{
    tableWidget->setRowCount(0);
    for (const Tool::Struct_CalibrationData &r : qAsConst(m_Records)) {
        const int row = tableWidget->rowCount();
        tableWidget->insertRow(row);
        const QStringList cells{r.Number, r.Type, r.Range, r.Wire, r.A, r.B, r.C, r.D, r.R0, r.A4, r.B4,
                                r.CList.join(QLatin1Char(',')), r.DList.join(QLatin1Char(','))};
        for (int column = 0; column < cells.size(); ++column)
            tableWidget->setCellItem(row, column, cells.at(column), false);
    }
    tableWidget->resizeColumnsToContents();
}

// --- Menu ----------------------------------------------------------------------------------

void Calibration::fit(int index, bool (*function)(Tool::Struct_CalibrationData &))
{
    if (index >= 0 && index < m_Records.size())
        function(m_Records[index]);
}

void Calibration::FitCVD(int index) { fit(index, CoefficientFit::fitCVD); }
void Calibration::FitRT(int index) { fit(index, CoefficientFit::fitRT); }
void Calibration::FitTR(int index) { fit(index, CoefficientFit::fitTR); }
void Calibration::FitITS90(int index) { fit(index, CoefficientFit::fitITS90); }

void Calibration::Recalculate()
{
    if (!loadCheckedRecords())
        return;
    for (int i = 0; i < m_Records.size(); ++i)
        fit(i, CoefficientFit::fitRecord);

    // Each channel's row is replaced, all of them or none; another program's write lock holds
    // the window for a moment only.
    bool stored = false;
    {
        const Tool::LockWait wait(Tool::GuiLockWaitMs);
        Tool::Transaction transaction;
        stored = transaction.isActive();
        for (const Tool::Struct_CalibrationData &record : qAsConst(m_Records)) {
            if (!stored)
                break;
            stored = Tool::deleteCalibrationData(record.Name, record.Number) && Tool::addCalibrationData(record);
        }
        stored = stored && transaction.commit();
    }
    if (!stored) {
        const QString failure = Tool::withLockNote(tr("数据库保存数据失败！"));
        // Show (and export) only what is stored.
        loadCheckedRecords();
        ShowCalibrationData();
        information(failure);
        return;
    }
    ShowCalibrationData();
}

void Calibration::DeleteProject()
{
    const int index = checkedRunIndex();
    if (index < 0) {
        information(tr("请先选择需要删除的项目!"));
        return;
    }
    const Tool::Struct_Calibration run = m_Runs.at(index);
    // The run goes with all its channels, or nothing goes.
    bool deleted = false;
    {
        const Tool::LockWait wait(Tool::GuiLockWaitMs);
        Tool::Transaction transaction;
        deleted = transaction.isActive() && Tool::deleteCalibration(run.TimeName);
        for (const QString &number : run.CHNumber) {
            if (!deleted)
                break;
            deleted = Tool::deleteCalibrationData(run.TimeName, number);
        }
        deleted = deleted && transaction.commit();
    }
    if (!deleted) {
        information(Tool::withLockNote(tr("删除数据失败!")));
        return;
    }
    m_Records.clear();
    LoadProjectTree();
    ShowCalibrationData();
}

void Calibration::ExportIni()
{
    if (m_Records.isEmpty()) {
        information(tr("请先选择需要导出的通道!"));
        return;
    }
    const FileChooser &chooser = fileChooser();
    QString path = chooser ? chooser(this)
                           : QFileDialog::getSaveFileName(this, tr("保存文件"), QString(),
                                                          QStringLiteral("Config Files (*.ini)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive))
        path += QStringLiteral(".ini");
    QString reason;
    if (CoefficientIni::write(m_Records, path, &reason))
        information(tr("数据导出成功！"));
    else
        information(withReason(tr("数据导出失败！"), reason));
}

void Calibration::onGrpMenuTriggered(QAction *action)
{
    if (action == m_ActionShow)
        ShowProject();
    else if (action == m_ActionRecalculate)
        Recalculate();
    else if (action == m_ActionDelete)
        DeleteProject();
    else if (action == m_ActionContinue)
        ContinueProject();
    else if (action == m_ActionExport)
        ExportIni();
}

void Calibration::contextMenuEvent(QContextMenuEvent *event)
{
    const bool overTree = treeWidget->rect().contains(treeWidget->mapFromGlobal(event->globalPos()));
    if (treeWidget->topLevelItemCount() == 0 || !overTree || !treeWidget->currentItem()) {
        event->ignore();
        return;
    }
    m_Menu->exec(event->globalPos());
    event->accept();
}
