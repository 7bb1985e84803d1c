#include "calibration/CalibrationChannel.h"

#include "comm/Collection.h"
#include "common/Struct_System.h"
#include "common/WorkerGuard.h"
#include "devices/AcquisitionDevice.h"
#include "store/SystemSetKeys.h"
#include "widgets/QTableWidgetL.h"
#include "widgets/QWaiting.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

namespace {
const QString kManual = QStringLiteral("Other");
const QString kReferenceP710W = QStringLiteral("QN P710W");
const char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
const int kSetPoints = 9;
// The set points a run accepts, in ℃.
constexpr double kLowestSetPoint = -273.15;
constexpr double kHighestSetPoint = 10000.0;
}

CalibrationChannel::CalibrationChannel(QWidget *parent) : QDialog(parent)
{
    m_Title = tr("提示");
    buildForm();
    connect(this, SIGNAL(Channel_signals(bool,QString)), this, SLOT(Channel_slots(bool,QString)));
    InitTable();
    LoadSettings();
}

CalibrationChannel::~CalibrationChannel()
{
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
    }
    SaveSettings();
    delete m_Collection;
}

void CalibrationChannel::buildForm()
{
    setWindowTitle(tr("通道校准"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Calibration.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(1004, 558);

    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);

    auto *channelGroup = new QGroupBox(tr("通道信息"), splitter);
    channelGroup->setObjectName(QStringLiteral("groupBox_Channel"));
    auto *channelLayout = new QVBoxLayout(channelGroup);
    m_Table = new QTableWidgetL(channelGroup);
    m_Table->setObjectName(QStringLiteral("tableWidget"));
    channelLayout->addWidget(m_Table);
    splitter->addWidget(channelGroup);

    auto *right = new QSplitter(Qt::Vertical, splitter);
    right->setObjectName(QStringLiteral("splitter_2"));
    right->setChildrenCollapsible(false);
    splitter->addWidget(right);

    auto *parameterGroup = new QGroupBox(tr("校准参数"), right);
    parameterGroup->setObjectName(QStringLiteral("groupBox_Parameter"));
    auto *grid = new QGridLayout(parameterGroup);
    for (int i = 0; i < kSetPoints; ++i) {
        const int row = i / 3;
        const int column = i % 3;
        if (column == 0)
            grid->addWidget(new QLabel(tr("温度点："), parameterGroup), row, 0);
        grid->addWidget(new QLabel(QString::number(i + 1) + QStringLiteral("："), parameterGroup), row,
                        1 + 2 * column);
        auto *edit = new QLineEdit(parameterGroup);
        edit->setObjectName(QStringLiteral("lineEdit_Temp%1").arg(i + 1));
        grid->addWidget(edit, row, 2 + 2 * column);
        m_TempEdits.append(edit);
    }
    grid->addWidget(new QLabel(tr("稳定延迟："), parameterGroup), 3, 0);
    lineEdit_Delay = new QLineEdit(QStringLiteral("1"), parameterGroup);
    lineEdit_Delay->setObjectName(QStringLiteral("lineEdit_Delay"));
    grid->addWidget(lineEdit_Delay, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("min"), parameterGroup), 3, 3);
    right->addWidget(parameterGroup);

    auto *informationGroup = new QGroupBox(tr("校准信息"), right);
    informationGroup->setObjectName(QStringLiteral("groupBox_Information"));
    auto *informationLayout = new QVBoxLayout(informationGroup);
    plainTextEdit_Data = new QPlainTextEdit(informationGroup);
    plainTextEdit_Data->setObjectName(QStringLiteral("plainTextEdit_Data"));
    plainTextEdit_Data->setReadOnly(true);
    informationLayout->addWidget(plainTextEdit_Data);
    right->addWidget(informationGroup);

    auto *buttons = new QHBoxLayout;
    pushButton_All = new QPushButton(tr("全选"), this);
    pushButton_All->setObjectName(QStringLiteral("pushButton_All"));
    pushButton_All->setAutoDefault(false);
    pushButton_Next = new QPushButton(tr("下一步"), this);
    pushButton_Next->setObjectName(QStringLiteral("pushButton_Next"));
    pushButton_Next->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(pushButton_All);
    buttons->addWidget(pushButton_Next);
    layout->addLayout(buttons);
    connect(pushButton_All, SIGNAL(clicked()), this, SLOT(All_clicked()));
    connect(pushButton_Next, SIGNAL(clicked()), this, SLOT(Next_clicked()));
}

void CalibrationChannel::InitTable()
{
    m_Table->setColumnCount(6);
    m_Table->setHorizontalHeaderLabels({tr("状态"), tr("序号"), tr("通道编号"), tr("通道类型"), tr("通道功能"),
                                        tr("接线线制")});
    m_Table->verticalHeader()->setVisible(false);
    m_Table->resizeColumnsToContents();
    m_Table->setSelectionMode(QAbstractItemView::SingleSelection);

    lineEdit_Delay->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[1-9][0-9]+$")), lineEdit_Delay));
    for (QLineEdit *edit : qAsConst(m_TempEdits))
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9.]+$")), edit));
}

void CalibrationChannel::LoadSettings()
{
    // A missing row is added as it is read: never wait long for another program's write lock.
    const Tool::LockWait wait(Tool::GuiLockWaitMs);
    QString delay;
    Tool::getSystemSet(SystemSetKeys::CalibrationDelay, delay);
    lineEdit_Delay->setText(delay);
    QString temps;
    Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps);
    const QStringList parts = temps.split(QLatin1Char(','));
    for (int i = 0; i < parts.size() && i < kSetPoints; ++i)
        m_TempEdits.at(i)->setText(parts.at(i));
}

void CalibrationChannel::SaveSettings()
{
    // The dialog goes without waiting long for another program's write lock; lost defaults are
    // only the next run's suggestions, and the log says so.
    const Tool::LockWait wait(Tool::GuiLockWaitMs);
    if (!Tool::setSystemSet(SystemSetKeys::CalibrationDelay, lineEdit_Delay->text())
        || !Tool::setSystemSet(SystemSetKeys::CalibrationTemp, setPointTexts().join(QLatin1Char(','))))
        qWarning() << "the calibration defaults could not be saved: delay" << lineEdit_Delay->text() << "set points"
                   << setPointTexts().join(QLatin1Char(','));
}

QStringList CalibrationChannel::setPointTexts() const
{
    QStringList texts;
    for (const QLineEdit *edit : m_TempEdits) {
        if (edit->text().isEmpty())
            break;
        texts.append(edit->text());
    }
    return texts;
}

bool CalibrationChannel::SetParameters(Struct_System *system)
{
    m_System = system;
    if (!system)
        return false;
    m_Calibration = system->Calibration;
    m_Device = system->CalibrationDevice;
    m_Data.clear();
    m_Readable.clear();
    bool intact = !m_Calibration.TimeName.isEmpty();
    for (const QString &number : qAsConst(m_Calibration.CHNumber)) {
        Tool::Struct_CalibrationData record;
        // A continued run needs every channel's stored record: a missing one would be listed with
        // empty texts and its run stored over with nothing.
        if (!Tool::getCalibrationData(record, m_Calibration.TimeName, number) || record.Number != number)
            intact = false;
        m_Data.append(record);
        m_Readable.append(true);
    }
    ShowInformation();
    m_Collection = AcquisitionDevice::CreateCollection(m_Device.Model);

    if (system->FieldModel == kManual) {
        lineEdit_Delay->setEnabled(false);
        for (QLineEdit *edit : qAsConst(m_TempEdits))
            edit->setEnabled(false);
    }

    if (!intact) {
        qWarning() << "calibration run" << m_Calibration.TimeName << "has no complete stored record";
        m_Refused = true;
        information(tr("项目信息异常!"));
        return false;
    }

    if (m_Data.isEmpty()) {
        m_NewRun = true;
        m_Waiting = new QWaiting(this);
        m_Waiting->setText(tr("参数获取中，请稍等..."));
        m_Waiting->show();
        m_Reading = true;
        m_Worker = QThread::create([this] { therad_Channel(); });
        connect(m_Worker, &QThread::finished, this, &CalibrationChannel::ReadFinished_slots, Qt::QueuedConnection);
        m_Worker->start();
    } else {
        SetTable(true);
    }
    return true;
}

int CalibrationChannel::exec()
{
    if (m_Refused) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

Tool::Struct_CalibrationData CalibrationChannel::recordOf(const Struct_Channel &channel) const
{
    Tool::Struct_CalibrationData record;
    record.Name = m_Calibration.TimeName;
    record.Number = QString::number(channel.Number);
    record.Type = channel.Type;
    record.Range = channel.Function;
    record.Wire = channel.Wire;
    record.A = channel.A;
    record.B = channel.B;
    record.C = channel.C;
    record.D = channel.D;
    record.R0 = channel.R0;
    record.A4 = channel.A4;
    record.B4 = channel.B4;
    // Nine significant digits hold every float exactly, so writing them back changes nothing.
    record.Offset_M = QString::number(double(channel.Offset_M), 'g', 9);
    record.Offset_B = QString::number(double(channel.Offset_B), 'g', 9);
    record.Parameter1 = channel.Parameter1;
    record.Parameter2 = channel.Parameter2;
    return record;
}

void CalibrationChannel::therad_Channel()
{
    QString msg;
    QList<Struct_Channel> channels;
    int read = 0;
    const bool ok = runGuarded("calibration channel read", [&]() {
        if (!m_Collection) {
            msg = QStringLiteral("Open Error");
            return false;
        }
        QString text;
        bool success = m_Collection->Open(m_Device.SignalMode, m_Device.Signal1, m_Device.Signal2, text);
        if (!success) {
            msg = text;
        } else if (text != m_Device.Serial) {
            qWarning() << "instrument on the registered address reports serial" << text << "not" << m_Device.Serial;
            msg = tr("序列号不匹配，请检查连接的设备是否为对应序列号的设备！");
            success = false;
        } else if (!m_Collection->GetChannelConfig(QStringList(), QStringList())) {
            msg = tr("参数获取失败！");
            success = false;
        } else {
            channels = m_Collection->GetEnabledChannels();
            for (; read < channels.size(); ++read) {
                Struct_Channel channel = channels.at(read);
                if (!m_Collection->GetOneChannelParameter(channel)) {
                    msg = tr("参数获取失败！");
                    success = false;
                    break;
                }
                channels[read] = channel;
            }
        }
        m_Collection->Close();
        return success;
    });
    if (ok)
        msg = tr("参数获取成功！");
    else if (msg.isEmpty())
        msg = tr("参数获取失败！");

    QList<Tool::Struct_CalibrationData> data;
    QList<bool> readable;
    for (int i = 0; i < channels.size(); ++i) {
        data.append(recordOf(channels.at(i)));
        readable.append(i < read);
    }
    m_Data = data;
    m_Readable = readable;
    emit Channel_signals(ok, msg);
}

void CalibrationChannel::Channel_slots(bool ok, QString text)
{
    if (m_Waiting) {
        m_Waiting->close();
        delete m_Waiting;
        m_Waiting = nullptr;
    }
    if (!ok)
        information(text);
    SetTable(false);
}

void CalibrationChannel::ReadFinished_slots()
{
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
        m_Worker = nullptr;
    }
    m_Reading = false;
}

bool CalibrationChannel::isCalibrationMethod(const QString &range)
{
    return range == QLatin1String("ITS90") || range == QLatin1String("CVD") || range == QLatin1String("R(T)")
        || range == QLatin1String("T(R)");
}

void CalibrationChannel::SetTable(bool locked)
{
    m_Table->setRowCount(0);
    for (int i = 0; i < m_Data.size(); ++i) {
        const Tool::Struct_CalibrationData &record = m_Data.at(i);
        m_Table->insertRow(i);
        const bool choosable = !locked && isCalibrationMethod(record.Range) && m_Readable.value(i);
        m_Table->setCellCheckBox(i, ColState, locked, choosable);
        m_Table->setCellItem(i, ColIndex, QString::number(i + 1), false);
        m_Table->setCellItem(i, ColNumber, record.Number, false);
        m_Table->setCellItem(i, ColType, Tool::toDisplayText(record.Type), false);
        m_Table->setCellItem(i, ColRange, record.Range, false);
        m_Table->setCellItem(i, ColWire, Tool::toDisplayText(record.Wire), false);
    }
    m_Table->resizeColumnsToContents();
}

void CalibrationChannel::All_clicked()
{
    const bool select = pushButton_All->text() == tr("全选");
    pushButton_All->setText(select ? tr("取消全选") : tr("全选"));
    for (int row = 0; row < m_Table->rowCount(); ++row) {
        QCheckBox *box = m_Table->cellCheckBox(row, ColState);
        if (box && box->isEnabled())
            box->setChecked(select);
    }
}

bool CalibrationChannel::checkAutomaticSetUp(int &delay, QStringList &temps)
{
    const QString delayText = lineEdit_Delay->text();
    if (delayText.isEmpty()) {
        information(tr("稳定延时未设置！"));
        return false;
    }
    bool ok = false;
    const double minutes = delayText.toDouble(&ok);
    // The delay becomes whole minutes that an int holds (the run's wait is 64-bit milliseconds).
    if (!ok || !std::isfinite(minutes) || minutes < 0.0 || minutes >= double(INT_MAX) + 1.0) {
        information(tr("稳定延时设置无效：%1").arg(delayText));
        return false;
    }
    temps = setPointTexts();
    if (temps.isEmpty()) {
        information(tr("校准温度未设置！"));
        return false;
    }
    for (int k = 0; k < temps.size(); ++k) {
        const QString &text = temps.at(k);
        // "nan" and "inf" read as numbers; neither may reach the temperature source.
        const double t = text.toDouble(&ok);
        if (!ok || !std::isfinite(t)) {
            information(tr("校准温度设置无效：%1").arg(text));
            return false;
        }
        // Below absolute zero, or beyond what any source reaches.
        if (t < kLowestSetPoint || t > kHighestSetPoint) {
            information(tr("温度点%1超出范围（-273.15℃～10000℃）：%2").arg(k + 1).arg(text));
            return false;
        }
    }
    delay = int(minutes);
    return true;
}

bool CalibrationChannel::claimRunKey()
{
    // The key of a new run is the time to the second. Two runs in one second, a clock set back or
    // the repeated hour at the end of daylight saving can meet a stored run, whose rows the new
    // run's first save would replace. The current second is taken instead when it is free.
    const QStringList candidates = {m_Calibration.TimeName,
                                    QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat))};
    for (const QString &key : candidates) {
        QList<Tool::Struct_Calibration> stored;
        if (!Tool::getCalibration(stored, key)) {
            information(tr("数据库读取数据失败！"));
            return false;
        }
        if (stored.isEmpty()) {
            m_Calibration.TimeName = key;
            return true;
        }
    }
    qWarning() << "a stored calibration run already has the key" << m_Calibration.TimeName;
    information(tr("已有同一时间的校准项目，请稍后再试！"));
    return false;
}

void CalibrationChannel::Next_clicked()
{
    if (refuseWhileReading() || !m_System)
        return;
    m_System->CalibrationTemp.clear();

    QList<Tool::Struct_CalibrationData> chosen;
    for (int row = 0; row < m_Table->rowCount() && row < m_Data.size(); ++row) {
        const QCheckBox *box = m_Table->cellCheckBox(row, ColState);
        if (box && box->isChecked())
            chosen.append(m_Data.at(row));
    }
    if (chosen.isEmpty()) {
        information(tr("请先选择通道！"));
        return;
    }

    const bool automatic = m_System->FieldModel != kManual;
    int delay = 0;
    QStringList temps;
    if (automatic && !checkAutomaticSetUp(delay, temps))
        return;
    if (m_NewRun && !claimRunKey())
        return;

    if (automatic) {
        m_System->CalibrationDelay = delay;
        m_System->CalibrationTemp = temps;
    }
    m_Calibration.CHNumber.clear();
    for (Tool::Struct_CalibrationData &record : chosen) {
        record.Name = m_Calibration.TimeName;
        m_Calibration.CHNumber.append(record.Number);
    }
    m_System->Calibration = m_Calibration;
    m_System->CalibrationData = chosen;
    // Kept now, not only when the dialog goes after the run: a run killed part-way is continued
    // with the set points it was started with.
    SaveSettings();
    accept();
}

void CalibrationChannel::ShowInformation()
{
    const auto line = [this](const QString &text) { plainTextEdit_Data->appendPlainText(text); };
    line(tr("采集器"));
    line(tr("型号:") + m_Device.Model);
    line(tr("序列号:") + m_Device.Serial);
    line(tr("采集速率:") + m_Device.Rate);
    line(tr("通信方式:") + m_Device.SignalMode);
    line(tr("IP/COM:") + m_Device.Signal1);
    line(tr("Port/BaudRate:") + m_Device.Signal2);
    line(QString());

    line(tr("温场"));
    line(tr("型号:") + m_System->FieldModel);
    if (m_System->FieldModel != kManual) {
        line(tr("通信方式:") + m_System->FieldSignalMode);
        line(tr("IP/COM:") + m_System->FieldSignal1);
        line(tr("Port/BaudRate:") + m_System->FieldSignal2);
    }
    line(QString());

    line(tr("标准"));
    line(tr("型号:") + m_System->CriteriaModel);
    if (m_System->CriteriaModel == kReferenceP710W) {
        line(tr("通信方式:") + m_System->CriteriaSignalMode);
        line(tr("Name:") + m_System->CriteriaSignal1);
    }
    line(QString());

    line(tr("校准需求"));
    line(tr("只支持热敏电阻 R(T)/T(R)、铂电阻 CVD/ITS90 校准"));
    line(tr("R(T)/T(R)校准不能少于4个温度点"));
    line(tr("CVD校准不能少于3个温度点"));
    line(tr("ITS90校准必须为3个或5个温度点，3个温度点为1个0℃、2个正温/2个负温，") + tr("5个温度点为1个0℃、2个正温、2个负温"));
}

bool CalibrationChannel::refuseWhileReading()
{
    if (!m_Reading)
        return false;
    information(tr("参数获取中，请稍等..."));
    return true;
}

void CalibrationChannel::reject()
{
    if (!refuseWhileReading())
        QDialog::reject();
}

void CalibrationChannel::closeEvent(QCloseEvent *event)
{
    if (refuseWhileReading()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CalibrationChannel::information(const QString &text)
{
    QMessageBox::information(this, m_Title, text);
}
