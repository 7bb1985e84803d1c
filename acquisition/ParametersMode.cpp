#include "acquisition/ParametersMode.h"

#include "common/Milliseconds.h"

#include "acquisition/ParametersCsvWriter.h"
#include "drivers/CollectionRecordFile.h"
#include "common/Struct_System.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

const QString ParametersMode::ModeOnLine = QStringLiteral("在线");
const QString ParametersMode::ModeImport = QStringLiteral("导入");

namespace {
const char *const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
}

ParametersMode::ParametersMode(QWidget *parent)
    : QDialog(parent)
    , m_title(tr("警告"))
    , m_modeList{tr("在线"), tr("导入")}
{
    buildForm();
    m_deviceBoxes = {findChild<QComboBox *>(QStringLiteral("comboBox_Device1")),
                     findChild<QComboBox *>(QStringLiteral("comboBox_Device2")),
                     findChild<QComboBox *>(QStringLiteral("comboBox_Device3"))};

    lineEdit_Interval->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[0-9.]+$")), lineEdit_Interval));
    const QDateTime now = QDateTime::currentDateTime();
    dateTimeEdit_Start->setDateTime(now);
    dateTimeEdit_End->setDateTime(now);

    connect(pushButton_OK, SIGNAL(clicked()), this, SLOT(OK_clicked()));
    connect(comboBox_Device, SIGNAL(currentIndexChanged(QString)), this, SLOT(Device_clicked(QString)));
    connect(comboBox_Project, SIGNAL(currentIndexChanged(QString)), this, SLOT(Project_clicked(QString)));
    connect(comboBox_Mode, SIGNAL(currentIndexChanged(QString)), this, SLOT(Mode_clicked(QString)));
}

void ParametersMode::buildForm()
{
    setWindowTitle(tr("采集参数"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Parameters.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString &label, QWidget *field, QWidget *extra = nullptr) {
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(field, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
    };
    auto makeCombo = [this](const char *name) {
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto makeLine = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    auto makeTime = [this](const char *name) {
        auto *edit = new QDateTimeEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setMinimumDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0, 0)));
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return edit;
    };

    comboBox_Mode = makeCombo("comboBox_Mode");
    addRow(tr("采集方式："), comboBox_Mode);

    comboBox_Device = makeCombo("comboBox_Device");
    comboBox_Device->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    addRow(tr("采集器个数："), comboBox_Device);
    for (const char *name : {"comboBox_Device1", "comboBox_Device2", "comboBox_Device3"})
        addRow(tr("采集器："), makeCombo(name));

    comboBox_Project = makeCombo("comboBox_Project");
    comboBox_Project->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    addRow(tr("项目个数："), comboBox_Project);
    lineEdit_Name1 = makeLine("lineEdit_Name1");
    lineEdit_Name2 = makeLine("lineEdit_Name2");
    lineEdit_Name3 = makeLine("lineEdit_Name3");
    for (QLineEdit *edit : {lineEdit_Name1, lineEdit_Name2, lineEdit_Name3})
        addRow(tr("项目名称："), edit);

    dateTimeEdit_Start = makeTime("dateTimeEdit_Start");
    addRow(tr("采集开始时间："), dateTimeEdit_Start);
    dateTimeEdit_End = makeTime("dateTimeEdit_End");
    addRow(tr("采集结束时间："), dateTimeEdit_End);

    lineEdit_Interval = makeLine("lineEdit_Interval");
    lineEdit_Interval->setText(QStringLiteral("1"));
    addRow(tr("采集间隔："), lineEdit_Interval, new QLabel(QStringLiteral("S"), this));

    checkBox_Save = new QCheckBox(tr("数据保存"), this);
    checkBox_Save->setObjectName(QStringLiteral("checkBox_Save"));
    grid->addWidget(checkBox_Save, row++, 1);

    pushButton_OK = new QPushButton(tr("下一步"), this);
    pushButton_OK->setObjectName(QStringLiteral("pushButton_OK"));
    pushButton_OK->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(pushButton_OK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    // Only the first instrument and the first name are asked for until the counts grow.
    findChild<QComboBox *>(QStringLiteral("comboBox_Device2"))->setEnabled(false);
    findChild<QComboBox *>(QStringLiteral("comboBox_Device3"))->setEnabled(false);
    lineEdit_Name2->setEnabled(false);
    lineEdit_Name3->setEnabled(false);
}

const QStringList &ParametersMode::importModelList()
{
    // The models whose record files the record-file driver reads.
    static const QStringList models = CollectionRecordFile::Models();
    return models;
}

QString ParametersMode::deviceLabel(const Tool::Struct_Collection &record)
{
    return record.Model + QLatin1Char('_') + record.Serial;
}

bool ParametersMode::isUsableProjectName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.front().isSpace() || name.back().isSpace())
        return false;
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|,");
    for (const QChar c : name) {
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool ParametersMode::fitsFileName(const QString &name)
{
    return ParametersCsvWriter::fileName(name, QDate::currentDate()).toUtf8().size() <= 255;
}

bool ParametersMode::isUsableInterval(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        return false;
    return secondsToIntervalMs(seconds) > 0;
}

void ParametersMode::setParameters(Struct_System *system)
{
    m_system = system;
    m_candidates = system ? system->DeviceList : QList<Tool::Struct_Collection>();
    // The first item becomes current and fills the instrument boxes through Mode_clicked.
    comboBox_Mode->addItem(m_modeList.at(0), ModeOnLine);
    comboBox_Mode->addItem(m_modeList.at(1), ModeImport);
}

bool ParametersMode::isOnLine() const
{
    return comboBox_Mode->currentData().toString() != ModeImport;
}

void ParametersMode::Mode_clicked(const QString &mode)
{
    for (QComboBox *box : qAsConst(m_deviceBoxes))
        box->clear();
    m_candidates.clear();

    bool enable = true;
    if (mode == m_modeList.at(0)) {
        if (m_system)
            m_candidates = m_system->DeviceList;
    } else {
        QList<Tool::Struct_Collection> registered;
        if (!Tool::getCollection(registered)) {
            qWarning() << "ParametersMode::Mode_clicked: reading the registered instruments failed";
            return;
        }
        for (const Tool::Struct_Collection &record : qAsConst(registered)) {
            if (importModelList().contains(record.Model, Qt::CaseSensitive))
                m_candidates.append(record);
        }
        comboBox_Device->setCurrentText(QStringLiteral("1"));
        comboBox_Project->setCurrentText(QStringLiteral("1"));
        enable = false;
    }

    for (QWidget *w : std::initializer_list<QWidget *>{comboBox_Device, comboBox_Project, dateTimeEdit_Start,
                                                        dateTimeEdit_End, lineEdit_Interval, checkBox_Save})
        w->setEnabled(enable);

    QStringList labels;
    for (const Tool::Struct_Collection &record : qAsConst(m_candidates))
        labels.append(deviceLabel(record));
    for (QComboBox *box : qAsConst(m_deviceBoxes))
        box->addItems(labels);
}

void ParametersMode::Device_clicked(const QString &count)
{
    const int n = count.toInt();
    for (int i = 0; i < m_deviceBoxes.size(); ++i)
        m_deviceBoxes.at(i)->setEnabled(i < n);
}

void ParametersMode::Project_clicked(const QString &count)
{
    if (count == QLatin1String("1")) {
        lineEdit_Name2->setEnabled(false);
        lineEdit_Name3->setEnabled(false);
    } else if (count == QLatin1String("2")) {
        lineEdit_Name2->setEnabled(true);
        lineEdit_Name3->setEnabled(false);
    } else if (count == QLatin1String("3")) {
        lineEdit_Name2->setEnabled(true);
        lineEdit_Name3->setEnabled(true);
    }
}

QLineEdit *ParametersMode::nameEdit(int index) const
{
    switch (index) {
    case 0: return lineEdit_Name1;
    case 1: return lineEdit_Name2;
    default: return lineEdit_Name3;
    }
}

int ParametersMode::checkDevices(int count) const
{
    const int n = qBound(0, count, int(m_deviceBoxes.size()));
    QStringList texts;
    for (int i = 0; i < n; ++i)
        texts.append(m_deviceBoxes.at(i)->currentText());
    for (int i = 0; i < texts.size(); ++i) {
        for (int j = i + 1; j < texts.size(); ++j) {
            if (texts.at(i) == texts.at(j))
                return DeviceSame;
        }
    }
    for (const QString &text : qAsConst(texts)) {
        if (text.isEmpty())
            return DeviceMissing;
    }
    return CheckOk;
}

int ParametersMode::checkProjects(int count) const
{
    const int n = qBound(0, count, 3);
    QStringList earlier;
    for (int i = 0; i < n; ++i) {
        const QString name = nameEdit(i)->text();
        if (name.isEmpty())
            return ProjectEmpty;
        if (!isUsableProjectName(name))
            return ProjectNameInvalid;
        if (!fitsFileName(name))
            return ProjectNameTooLong;
        if (name == QLatin1String("NULL"))
            return ProjectNameReserved;
        if (earlier.contains(name))
            return ProjectSame;
        Tool::Struct_Parameters stored;
        if (!Tool::getParameters(stored, name))
            return ProjectLookupFailed;
        if (stored.Name != QLatin1String("NULL"))
            return ProjectExists;
        earlier.append(name);
    }
    return CheckOk;
}

void ParametersMode::showMessage(const QString &text)
{
    QMessageBox::information(this, m_title, text, QMessageBox::Ok);
}

QString ParametersMode::checkMessage(int result)
{
    switch (result) {
    case DeviceMissing: return tr("未选择采集设备！");
    case DeviceSame: return tr("采集设备不能相同！");
    case ProjectEmpty: return tr("项目信息未设置！");
    case ProjectNameInvalid:
        return tr("项目名称不能包含 / \\ : * ? \" < > | , 或控制字符，不能为 . 或 ..，首尾不能有空格！");
    case ProjectNameReserved: return tr("项目名称不能为NULL！");
    case ProjectNameTooLong: return tr("项目名称过长，数据文件名不能超过255字节！");
    case ProjectSame: return tr("项目名称相同！");
    case ProjectLookupFailed: return tr("数据库连接失败！");
    case ProjectExists: return tr("项目名称已存在！");
    default: return QString();
    }
}

void ParametersMode::OK_clicked()
{
    const int projectCount = comboBox_Project->currentText().toInt();
    const int deviceCount = comboBox_Device->currentText().toInt();

    int result = checkDevices(deviceCount);
    if (result == CheckOk)
        result = checkProjects(projectCount);
    if (result != CheckOk) {
        showMessage(checkMessage(result));
        return;
    }

    // The run paces its samples by this interval in whole milliseconds.
    if (isOnLine() && !isUsableInterval(lineEdit_Interval->text())) {
        showMessage(tr("采集间隔设置错误!"));
        return;
    }

    if (deviceCount != 1)
        showMessage(tr("采集设备参数将以第一台设备为准！"));

    fillParameters(deviceCount, projectCount);
    accept();
}

void ParametersMode::fillParameters(int deviceCount, int projectCount)
{
    if (!m_system)
        return;
    m_system->DataSave = checkBox_Save->isChecked();
    m_system->Interval = lineEdit_Interval->text().toDouble();
    m_system->Mode = comboBox_Mode->currentText();
    m_system->ModeKey = isOnLine() ? ModeOnLine : ModeImport;
    m_system->StartTime = dateTimeEdit_Start->dateTime().toString(QLatin1String(kTimeFormat));
    m_system->EndTime = dateTimeEdit_End->dateTime().toString(QLatin1String(kTimeFormat));

    m_system->ProjectNames.clear();
    for (int i = 0; i < qBound(0, projectCount, 3); ++i)
        m_system->ProjectNames.append(nameEdit(i)->text());

    m_system->ProjectDevices.clear();
    for (int i = 0; i < qBound(0, deviceCount, int(m_deviceBoxes.size())); ++i) {
        const int index = m_deviceBoxes.at(i)->currentIndex();
        if (index >= 0 && index < m_candidates.size())
            m_system->ProjectDevices.append(m_candidates.at(index));
    }
}
