#include "calibration/CalibrationScan.h"

#include "calibration/CriteriaP710W.h"
#include "calibration/Field.h"
#include "common/WithReason.h"
#include "common/WorkerGuard.h"
#include "comm/ToolComm.h"
#include "store/Tool.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace {
const QString kP710W = QStringLiteral("QN P710W");
const QString kOther = QStringLiteral("Other");

void selectText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
}
}

CalibrationScan::CalibrationScan(QWidget *parent)
    : QDialog(parent)
{
    m_BaudRates = QStringList{QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                              QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")};
    buildForm();
    connect(this, SIGNAL(MessageBox_signals(QString,QString)), this, SLOT(MessageBox_slots(QString,QString)));
}

CalibrationScan::~CalibrationScan()
{
    // Normally refused while a test runs; a test still running here is waited for.
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
    }
    delete m_Device;
}

void CalibrationScan::buildForm()
{
    setObjectName(QStringLiteral("CalibrationScan"));
    setWindowTitle(tr("通信设置"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Calibration.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *group = new QGroupBox(tr("操作区"), this);
    group->setObjectName(QStringLiteral("groupBox_Operation"));
    auto *grid = new QGridLayout(group);

    auto *labelCommunication = new QLabel(tr("通讯方式："), group);
    comboBox_Communication = new QComboBox(group);
    comboBox_Communication->setObjectName(QStringLiteral("comboBox_Communication"));
    grid->addWidget(labelCommunication, 0, 0);
    grid->addWidget(comboBox_Communication, 0, 1);

    label_Address = new QLabel(group);
    label_Address->setObjectName(QStringLiteral("label_Address"));
    comboBox_Address = new QComboBox(group);
    comboBox_Address->setObjectName(QStringLiteral("comboBox_Address"));
    lineEdit_Address = new QLineEdit(QStringLiteral("192.168.1.1"), group);
    lineEdit_Address->setObjectName(QStringLiteral("lineEdit_Address"));
    // A combo and a line edit share each row's cell; only one of them shows.
    grid->addWidget(label_Address, 1, 0);
    grid->addWidget(comboBox_Address, 1, 1);
    grid->addWidget(lineEdit_Address, 1, 1);

    label_Parameter = new QLabel(group);
    label_Parameter->setObjectName(QStringLiteral("label_Parameter"));
    comboBox_Parameter = new QComboBox(group);
    comboBox_Parameter->setObjectName(QStringLiteral("comboBox_Parameter"));
    lineEdit_Parameter = new QLineEdit(QStringLiteral("5980"), group);
    lineEdit_Parameter->setObjectName(QStringLiteral("lineEdit_Parameter"));
    lineEdit_Parameter->setMaxLength(6);
    grid->addWidget(label_Parameter, 2, 0);
    grid->addWidget(comboBox_Parameter, 2, 1);
    grid->addWidget(lineEdit_Parameter, 2, 1);
    // Room for a whole IP address, in the dialog's font.
    lineEdit_Address->ensurePolished();
    const int addressWidth = lineEdit_Address->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16;
    lineEdit_Address->setMinimumWidth(addressWidth);
    lineEdit_Parameter->setMinimumWidth(addressWidth);

    pushButton_Scan = new QPushButton(tr("测试"), group);
    pushButton_Scan->setObjectName(QStringLiteral("pushButton_Scan"));
    pushButton_OK = new QPushButton(tr("确定"), group);
    pushButton_OK->setObjectName(QStringLiteral("pushButton_OK"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(pushButton_Scan);
    buttons->addWidget(pushButton_OK);
    grid->addLayout(buttons, 3, 0, 1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    connect(comboBox_Communication, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { Communication_clicked(comboBox_Communication->itemText(index)); });
    connect(pushButton_Scan, SIGNAL(clicked()), this, SLOT(Scan_clicked()));
    connect(pushButton_OK, SIGNAL(clicked()), this, SLOT(OK_clicked()));
}

QStringList CalibrationScan::signalModes(const QString &model)
{
    if (model == kP710W)
        return QStringList{ToolComm::BleText};
    std::unique_ptr<Field> field(Field::Create(model));
    if (field)
        return field->GetSignalModeList();
    return QStringList{kOther};
}

Device *CalibrationScan::createDevice(const QString &model)
{
    if (model == kP710W)
        return new CriteriaP710W;
    return Field::Create(model);
}

void CalibrationScan::SetParameters(const Struct_Connection &connection)
{
    m_Connection = connection;
    delete m_Device;
    m_Device = createDevice(m_Connection.Model);

    QStringList shown;
    for (const QString &mode : signalModes(m_Connection.Model))
        shown.append(Tool::toDisplayText(mode));
    comboBox_Communication->clear();
    comboBox_Communication->addItems(shown);
    selectText(comboBox_Communication, Tool::toDisplayText(m_Connection.SignalMode));

    if (m_Connection.SignalMode == ToolComm::TcpText) {
        lineEdit_Address->setText(m_Connection.Signal1);
        lineEdit_Parameter->setText(m_Connection.Signal2);
    } else if (m_Connection.SignalMode == ToolComm::SerialText) {
        selectText(comboBox_Address, m_Connection.Signal1);
        selectText(comboBox_Parameter, m_Connection.Signal2);
    } else if (m_Connection.SignalMode == ToolComm::BleText) {
        selectText(comboBox_Address, m_Connection.Signal1);
    }
}

void CalibrationScan::Communication_clicked(QString type)
{
    const QString mode = Tool::fromDisplayText(type);
    if (mode == ToolComm::TcpText) {
        label_Address->setText(tr("IP地址："));
        label_Parameter->setText(tr("端口号："));
        label_Parameter->show();
        comboBox_Address->hide();
        comboBox_Parameter->hide();
        lineEdit_Address->show();
        lineEdit_Parameter->show();
        return;
    }
    comboBox_Address->clear();
    comboBox_Parameter->clear();
    lineEdit_Address->hide();
    lineEdit_Parameter->hide();
    comboBox_Address->show();
    if (mode == ToolComm::BleText) {
        label_Address->setText(tr("设备名："));
        label_Parameter->setText(tr("空："));
        label_Parameter->hide();
        comboBox_Parameter->hide();
        ToolComm search;
        comboBox_Address->addItems(search.BleStartSearch());
        return;
    }
    // Serial, and any type that needs no connection.
    label_Address->setText(tr("串口号："));
    label_Parameter->setText(tr("波特率："));
    label_Parameter->show();
    comboBox_Parameter->show();
    comboBox_Address->addItems(Tool::getSerialPortNames());
    comboBox_Parameter->addItems(m_BaudRates);
}

void CalibrationScan::readWidgets()
{
    m_Connection.SignalMode = Tool::fromDisplayText(comboBox_Communication->currentText());
    if (m_Connection.SignalMode == ToolComm::TcpText) {
        m_Connection.Signal1 = lineEdit_Address->text();
        m_Connection.Signal2 = lineEdit_Parameter->text();
    } else if (m_Connection.SignalMode == ToolComm::SerialText) {
        m_Connection.Signal1 = comboBox_Address->currentText();
        m_Connection.Signal2 = comboBox_Parameter->currentText();
    } else if (m_Connection.SignalMode == ToolComm::BleText) {
        m_Connection.Signal1 = comboBox_Address->currentText();
        m_Connection.Signal2.clear();
    }
}

void CalibrationScan::Scan_clicked()
{
    if (m_Worker)
        return;
    readWidgets();
    const QString mode = m_Connection.SignalMode;
    if (!m_Device
        || (mode != ToolComm::TcpText && mode != ToolComm::SerialText && mode != ToolComm::BleText)) {
        QMessageBox::information(this, tr("提示"), tr("当前模式无需测试！"), QMessageBox::Ok);
        return;
    }
    pushButton_Scan->setEnabled(false);
    pushButton_OK->setEnabled(false);
    m_TestPassed = false;
    const QString address = m_Connection.Signal1;
    const QString parameter = m_Connection.Signal2;
    m_Worker = QThread::create([this, mode, address, parameter] { therad_Scan(mode, address, parameter); });
    m_Worker->start();
}

// Runs in the worker: touches only the device object and m_TestPassed.
void CalibrationScan::therad_Scan(QString type, QString address, QString parameter)
{
    QString reason;
    const bool passed = runGuarded("CalibrationScan connection test", [&] {
        reason = unreachable(type, address);
        if (!reason.isEmpty())
            return false;
        QString text;
        if (!m_Device->Open(type, address, parameter, text)) {
            qDebug() << "CalibrationScan: connection test failed:" << text;
            reason = openFailure();
            return false;
        }
        m_Device->Close();
        return true;
    });
    m_TestPassed = passed;
    emit MessageBox_signals(tr("提示"), passed ? tr("测试成功！") : withReason(tr("设备连接失败！"), reason));
}

QString CalibrationScan::unreachable(const QString &type, const QString &address) const
{
    const bool noDevice = type == ToolComm::SerialText ? address.isEmpty()
                          : type == ToolComm::BleText  ? address.isEmpty() && ToolComm::BleConfigName().isEmpty()
                                                       : false;
    if (noDevice)
        return tr("未选择设备。");
    if (type == ToolComm::SerialText && QSerialPortInfo(address).isNull()
        && !QFileInfo::exists(address.startsWith(QLatin1Char('/')) ? address : QStringLiteral("/dev/") + address))
        return tr("找不到串口%1。").arg(address);
    return QString();
}

QString CalibrationScan::openFailure() const
{
    ToolComm *comm = nullptr;
    if (auto *field = qobject_cast<Field *>(m_Device))
        comm = field->Comm();
    else if (auto *thermometer = qobject_cast<CriteriaP710W *>(m_Device))
        comm = thermometer->Comm();
    // The link came up (or never failed) but the device did not answer in time.
    const QString words = comm ? comm->LastError() : QString();
    return words.isEmpty() ? tr("设备在等待时间内没有应答。") : tr("无法连接：%1").arg(words);
}

void CalibrationScan::MessageBox_slots(QString title, QString text)
{
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
        m_Worker = nullptr;
        m_Connection.Connected = m_TestPassed;
    }
    pushButton_Scan->setEnabled(true);
    pushButton_OK->setEnabled(true);
    QMessageBox::information(this, title, text, QMessageBox::Ok);
}

void CalibrationScan::OK_clicked()
{
    if (m_Worker)
        return;
    readWidgets();
    accept();
}

void CalibrationScan::reject()
{
    if (m_Worker)
        return;
    QDialog::reject();
}

void CalibrationScan::closeEvent(QCloseEvent *event)
{
    if (m_Worker) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
