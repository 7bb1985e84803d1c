#include "calibration/CalibrationWork.h"

#include "calibration/CoefficientFit.h"
#include "calibration/Criteria.h"
#include "calibration/CriteriaP710W.h"
#include "calibration/Field.h"
#include "comm/Collection.h"
#include "common/LogOutcome.h"
#include "common/Struct_System.h"
#include "common/WithReason.h"
#include "common/WorkerGuard.h"
#include "devices/AcquisitionDevice.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kManual = QStringLiteral("Other");
const QString kReferenceP710W = QStringLiteral("QN P710W");
const int kPointButtons = 9;
// How long a retry of a pending run waits for another program's write lock, in ms.
const int kRetryLockWaitMs = 50;

bool readsOwnReference(const QString &fieldModel)
{
    return fieldModel == QLatin1String("QNVA-R") || fieldModel == QLatin1String("QNLK-R");
}

void copyCoefficients(const Tool::Struct_CalibrationData &record, Struct_Channel &channel)
{
    channel.A = record.A;
    channel.B = record.B;
    channel.C = record.C;
    channel.D = record.D;
    channel.R0 = record.R0;
    channel.A4 = record.A4;
    channel.B4 = record.B4;
}

// A table in its own group: not editable, no selection, no row header.
QTableWidget *groupedTable(const QString &title, const char *groupName, const char *tableName, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(groupName));
    auto *layout = new QVBoxLayout(group);
    auto *table = new QTableWidget(group);
    table->setObjectName(QLatin1String(tableName));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->setVisible(false);
    layout->addWidget(table);
    return table;
}
}

CalibrationWork::CalibrationWork(QWidget *parent) : QDialog(parent), m_Timing(CalibrationTiming::get())
{
    qRegisterMetaType<Tool::Struct_Calibration>();
    qRegisterMetaType<QList<Tool::Struct_CalibrationData>>();
    m_Title = tr("提示");
    m_Retake = tr("重采");
    buildForm();

    // Emitted by the workers; delivered queued, in emission order, in the GUI thread.
    connect(this, &CalibrationWork::Save_signals, this, &CalibrationWork::Save_slots, Qt::QueuedConnection);
    connect(this, &CalibrationWork::SetButton_signals, this, &CalibrationWork::SetButton_slots, Qt::QueuedConnection);
    connect(this, &CalibrationWork::TableItem_signals, this, &CalibrationWork::TableItem_slots, Qt::QueuedConnection);
    connect(this, &CalibrationWork::MessageBox_signals, this, &CalibrationWork::MessageBox_slots,
            Qt::QueuedConnection);
    connect(this, &CalibrationWork::PlainTextEdit_signals, this, &CalibrationWork::PlainTextEdit_slots,
            Qt::QueuedConnection);
    connect(this, &CalibrationWork::TableWidgetDisplay_signals, this, &CalibrationWork::TableWidgetDisplay_slots,
            Qt::QueuedConnection);

    const char *const handlers[kPointButtons] = {SLOT(Temp1_Clicked()), SLOT(Temp2_Clicked()), SLOT(Temp3_Clicked()),
                                              SLOT(Temp4_Clicked()), SLOT(Temp5_Clicked()), SLOT(Temp6_Clicked()),
                                              SLOT(Temp7_Clicked()), SLOT(Temp8_Clicked()), SLOT(Temp9_Clicked())};
    for (int k = 0; k < kPointButtons; ++k)
        connect(m_Buttons.at(k), SIGNAL(clicked()), this, handlers[k]);
    connect(pushButton_Close, SIGNAL(clicked()), this, SLOT(Close_Clicked()));

    m_RetryTimer = new QTimer(this);
    connect(m_RetryTimer, &QTimer::timeout, this, &CalibrationWork::RetryPending);
}

CalibrationWork::~CalibrationWork()
{
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
    }
    // Deleted without closing (the window closing tries this and tells the user).
    KeepPending();
    for (Device *device : {static_cast<Device *>(m_Criteria), static_cast<Device *>(m_Field),
                           static_cast<Device *>(m_Collection)}) {
        if (device && device->IsOpen())
            device->Close();
    }
    delete m_Criteria;
    delete m_Field;
    delete m_Collection;
}

void CalibrationWork::buildForm()
{
    setWindowTitle(tr("校准"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Calibration.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(991, 647);

    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter);

    auto *left = new QSplitter(Qt::Vertical, splitter);
    left->setObjectName(QStringLiteral("splitter_2"));
    left->setChildrenCollapsible(false);
    splitter->addWidget(left);

    tableWidget_Data = groupedTable(tr("实时数据"), "groupBox_Data", "tableWidget_Data", left);
    left->addWidget(tableWidget_Data->parentWidget());

    auto *consoleGroup = new QGroupBox(tr("操作台"), left);
    consoleGroup->setObjectName(QStringLiteral("groupBox_Console"));
    auto *consoleLayout = new QHBoxLayout(consoleGroup);
    auto *buttons = new QVBoxLayout;
    for (int k = 0; k < kPointButtons; ++k) {
        auto *button = new QPushButton(tr("温度点") + QString::number(k + 1), consoleGroup);
        button->setObjectName(QStringLiteral("pushButton_Temp%1").arg(k + 1));
        button->setAutoDefault(false);
        button->setEnabled(false);
        buttons->addWidget(button);
        m_Buttons.append(button);
    }
    pushButton_Close = new QPushButton(tr("结束"), consoleGroup);
    pushButton_Close->setObjectName(QStringLiteral("pushButton_Close"));
    pushButton_Close->setAutoDefault(false);
    buttons->addWidget(pushButton_Close);
    consoleLayout->addLayout(buttons);
    plainTextEdit = new QPlainTextEdit(consoleGroup);
    plainTextEdit->setObjectName(QStringLiteral("plainTextEdit"));
    plainTextEdit->setReadOnly(true);
    consoleLayout->addWidget(plainTextEdit, 2);
    left->addWidget(consoleGroup);

    tableWidget_Dot = groupedTable(tr("校准温度点"), "groupBox_Dot", "tableWidget_Dot", splitter);
    tableWidget_Dot->setColumnCount(1);
    tableWidget_Dot->setHorizontalHeaderLabels({tr("温度点")});
    tableWidget_Dot->horizontalHeader()->setStretchLastSection(true);
    splitter->addWidget(tableWidget_Dot->parentWidget());
}

// ---------------------------------------------------------------------------------------------
// Start (GUI thread)

void CalibrationWork::Start(Struct_System *system)
{
    m_System = system;
    if (!system)
        return;
    m_Delay = system->CalibrationDelay;
    m_Calibration = system->Calibration;
    m_Data = system->CalibrationData;
    m_Device = system->CalibrationDevice;
    m_Temps = Tool::toDoubleList(system->CalibrationTemp);
    m_FieldSignalMode = system->FieldSignalMode;
    m_FieldSignal1 = system->FieldSignal1;
    m_FieldSignal2 = system->FieldSignal2;
    m_CriteriaSignalMode = system->CriteriaSignalMode;
    m_CriteriaSignal1 = system->CriteriaSignal1;
    m_CriteriaSignal2 = system->CriteriaSignal2;

    InitTable();
    InitDevice();
    m_Done = PointsTaken();

    if (m_Data.isEmpty() || m_Calibration.TimeName.isEmpty()) {
        qWarning() << "calibration run without channels or key";
        m_Ended = true;
        RefreshButtons();
        MessageBox_slots(m_Title, tr("项目信息异常!"));
        return;
    }
    if (!m_Auto) {
        startWorker("calibration opening", [this] { therad_Open(); });
        return;
    }
    if (m_Done < m_Temps.size()) {
        // Set here, not by the worker, so that a stop requested at once is never overwritten.
        m_State = true;
        startWorker("calibration run", [this] { therad_Calibration(); });
        return;
    }
    m_Ended = true;
    RefreshButtons();
    MessageBox_slots(m_Title, tr("校准温度点数大于设置温度点数，请退出重新设置!"));
}

void CalibrationWork::InitTable()
{
    tableWidget_Dot->setRowCount(m_Temps.size());
    for (int row = 0; row < m_Temps.size(); ++row) {
        auto *item = new QTableWidgetItem(QString::number(m_Temps.at(row), 'g', 6));
        item->setTextAlignment(Qt::AlignCenter);
        tableWidget_Dot->setItem(row, 0, item);
    }
    const QStringList headers = QStringList{tr("采集时间"), tr("标准器")} + m_Calibration.CHNumber;
    tableWidget_Data->setColumnCount(headers.size());
    tableWidget_Data->setHorizontalHeaderLabels(headers);
    tableWidget_Data->resizeColumnsToContents();
}

void CalibrationWork::InitDevice()
{
    m_Auto = m_System->FieldModel != kManual;
    m_HasCriteria = m_System->CriteriaModel != kManual;
    m_Collection = AcquisitionDevice::CreateCollection(m_Device.Model);
    if (!m_Collection)
        qWarning() << "no driver for the model" << m_Device.Model;
    if (m_Auto)
        m_Field = Field::Create(m_System->FieldModel);
    if (m_HasCriteria) {
        if (readsOwnReference(m_System->FieldModel) && m_Field) {
            m_Criteria = new Criteria(m_Field);
            m_CriteriaIsSource = true;
        } else if (m_System->CriteriaModel == kReferenceP710W) {
            m_Criteria = new CriteriaP710W;
        }
    }

    m_Channels.clear();
    for (const Tool::Struct_CalibrationData &record : qAsConst(m_Data)) {
        Struct_Channel channel;
        channel.Number = record.Number.toUInt(nullptr, 10);
        channel.Enabled = false;
        channel.Type = record.Type;
        channel.Function = record.Range;
        channel.Wire = record.Wire;
        channel.Unit = QStringLiteral("Ω");
        copyCoefficients(record, channel);
        channel.Offset_M = record.Offset_M.toFloat();
        channel.Offset_B = record.Offset_B.toFloat();
        channel.Parameter1 = record.Parameter1;
        channel.Parameter2 = record.Parameter2;
        m_Channels.append(channel);
    }
}

// ---------------------------------------------------------------------------------------------
// Device operations (workers)

bool CalibrationWork::OpenDevice(QString &error)
{
    if (!m_Collection) {
        error = QStringLiteral("Open Error");
        return false;
    }
    QString text;
    if (!m_Collection->Open(m_Device.SignalMode, m_Device.Signal1, m_Device.Signal2, text)) {
        error = text;
        return false;
    }
    if (text != m_Device.Serial) {
        // Another instrument on the registered address: it is closed at once, so that nothing is
        // written into it, and its run is neither fitted nor stored under this serial.
        qWarning() << "instrument on the registered address reports serial" << text << "not" << m_Device.Serial;
        m_Collection->Close();
        m_WrongInstrument = true;
        error = tr("序列号不匹配，请检查连接的设备是否为对应序列号的设备！");
        return false;
    }
    if (!m_Collection->GetChannelConfig(QStringList(), QStringList())) {
        error = tr("初始化通道信息失败！");
        return false;
    }
    if (!m_Collection->SetChannelConfig(m_Channels, error))
        return false;
    if (!m_Collection->EnableOnlyChannels(m_Channels)) {
        error = tr("设置通道开关失败！");
        return false;
    }
    if (!m_Collection->StartScan(m_Device.Rate)) {
        error = tr("设置扫描信息失败！");
        return false;
    }
    if (m_Auto) {
        if (!m_Field || !m_Field->Open(m_FieldSignalMode, m_FieldSignal1, m_FieldSignal2, text)) {
            error = tr("温场设备连接失败!");
            return false;
        }
        if (!m_Field->Init()) {
            error = tr("温场设备设置失败!");
            return false;
        }
        // The source's own reading needs no opening; a thermometer of its own does.
        return m_CriteriaIsSource || OpenReference(error);
    }
    return !m_HasCriteria || OpenReference(error);
}

bool CalibrationWork::OpenReference(QString &error)
{
    QString text;
    if (!m_Criteria || !m_Criteria->Open(m_CriteriaSignalMode, m_CriteriaSignal1, m_CriteriaSignal2, text)) {
        error = tr("标准设备连接失败!");
        return false;
    }
    if (!m_Criteria->Start()) {
        error = tr("标准设备设置失败!");
        return false;
    }
    return true;
}

bool CalibrationWork::Poll()
{
    QThread::msleep(ulong(m_Timing.PollMs));
    return m_State;
}

bool CalibrationWork::SetFieldTemp(int index, double temp, QString &error)
{
    if (!m_State) {
        qDebug() << "SetFieldTemp = !m_State";
        return true;
    }
    if (!m_Field->SetTemp(temp)) {
        error = withReason(tr("设置温场温度失败！"), LinkLost());
        return false;
    }
    emit TableItem_signals(index, false);
    const QString set = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
    emit PlainTextEdit_signals(set + tr("： 温场温度设置成功：") + QString::number(temp, 'g', 6) + QStringLiteral("℃"));
    emit PlainTextEdit_signals(set + tr("： 温场稳定等待中..."));

    for (bool stable = false; !stable;) {
        QElapsedTimer clock;
        clock.start();
        do {
            if (!Poll())
                return true;
        } while (clock.elapsed() < m_Timing.StabilityQueryMs);
        if (!m_Field->IsStable(stable)) {
            error = withReason(tr("获取温场稳定失败！"), LinkLost());
            return false;
        }
        if (!m_State)
            return true;
    }

    Log(tr("： 温场稳定延迟等待中 ") + QString::number(m_Delay) + tr("分钟"));
    QElapsedTimer clock;
    clock.start();
    const qint64 delayMs = qint64(m_Delay) * m_Timing.MinuteMs;
    do {
        if (!Poll())
            return true;
    } while (clock.elapsed() < delayMs);
    emit TableItem_signals(index, true);
    Log(tr("： 温场已稳定"));
    return true;
}

QString CalibrationWork::LinkLost() const
{
    return m_Field->IsOpen() ? QString() : tr("与温场的连接已断开。");
}

bool CalibrationWork::ReadPoint(double &ref, QList<double> &values, QString &error)
{
    if (m_HasCriteria && (!m_Criteria || !m_Criteria->ReadTemp(ref))) {
        error = tr("标准获取温度失败!");
        qWarning() << "标准获取温度失败！";
        return false;
    }
    values.clear();
    if (!m_Collection->getOneData(values) || values.size() < m_Data.size()) {
        // Fewer readings than channels cannot be matched to the channels.
        error = tr("采集器数据获取失败!");
        qWarning() << "采集器数据获取失败！" << values.size() << "readings for" << m_Data.size() << "channels";
        return false;
    }
    return true;
}

void CalibrationWork::AddPoint(int index, double ref, const QList<double> &values)
{
    const QString refText = QString::number(ref, 'f', 6);
    const QStringList texts = Tool::toStringList(8, values);
    for (int j = 0; j < m_Data.size(); ++j) {
        Tool::Struct_CalibrationData &record = m_Data[j];
        if (index < record.CList.size())
            record.CList[index] = refText;
        else
            record.CList.append(refText);
        if (index < record.DList.size())
            record.DList[index] = texts.at(j);
        else
            record.DList.append(texts.at(j));
        qDebug() << "通道" << j << ":" << refText << ";" << texts.at(j);
    }
}

void CalibrationWork::ShowPoint(int index)
{
    QStringList row{m_Data.first().CList.at(index)};
    for (const Tool::Struct_CalibrationData &record : qAsConst(m_Data))
        row.append(record.DList.at(index));
    emit TableWidgetDisplay_signals(row);
}

void CalibrationWork::WriteChannels()
{
    for (const Struct_Channel &channel : qAsConst(m_Channels)) {
        if (!m_Collection || !m_Collection->SetOneChannelParameter(channel)) {
            qWarning() << "coefficients of channel" << channel.Number << "not written to the instrument";
            Log(tr("： 通道%1系数写入失败！").arg(channel.Number));
        }
    }
}

void CalibrationWork::CloseDevices()
{
    if (m_Criteria && m_Criteria->IsOpen())
        m_Criteria->Close();
    if (m_Collection && m_Collection->IsOpen())
        m_Collection->Close();
    if (m_Field && m_Field->IsOpen())
        m_Field->Close();
}

void CalibrationWork::EmitSave()
{
    // The signal carries copies taken here, so the store never sees records being changed.
    emit Save_signals(m_Calibration, m_Data);
}

void CalibrationWork::Log(const QString &text)
{
    emit PlainTextEdit_signals(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + text);
}

// ---------------------------------------------------------------------------------------------
// Fits

void CalibrationWork::Calculate()
{
    for (int i = 0; i < m_Data.size(); ++i) {
        const QString &range = m_Data.at(i).Range;
        bool fitted = true;
        if (range == QLatin1String("R(T)"))
            fitted = FitRT(i);
        else if (range == QLatin1String("T(R)"))
            fitted = FitTR(i);
        else if (range == QLatin1String("ITS90"))
            fitted = FitITS90(i);
        else if (range == QLatin1String("CVD"))
            fitted = FitCVD(i);
        if (!fitted) {
            qWarning() << "channel" << m_Data.at(i).Number << "not fitted:" << m_Data.at(i).CList.size() << "points";
            Log(tr("： 通道%1未计算系数：温度点不满足%2校准要求！").arg(m_Data.at(i).Number, range)
                + CoefficientFit::refusal(m_Data.at(i)));
        }
    }
}

bool CalibrationWork::Fit(int index, bool (*method)(Tool::Struct_CalibrationData &))
{
    Tool::Struct_CalibrationData &record = m_Data[index];
    if (!method(record))
        return false;
    Struct_Channel &channel = m_Channels[index];
    copyCoefficients(record, channel);
    return true;
}

bool CalibrationWork::FitCVD(int index)
{
    return Fit(index, CoefficientFit::fitCVD);
}

bool CalibrationWork::FitRT(int index)
{
    return Fit(index, CoefficientFit::fitRT);
}

bool CalibrationWork::FitTR(int index)
{
    return Fit(index, CoefficientFit::fitTR);
}

bool CalibrationWork::FitITS90(int index)
{
    return Fit(index, CoefficientFit::fitITS90);
}

// ---------------------------------------------------------------------------------------------
// Workers

void CalibrationWork::startWorker(const char *name, const std::function<void()> &body)
{
    m_Busy = true;
    RefreshButtons();
    m_Worker = QThread::create([this, name, body] {
        if (runGuarded(name, body))
            return;
        // A fault inside a device operation: leave nothing open behind the run.
        runGuarded("calibration device close", [this] { CloseDevices(); });
        emit MessageBox_signals(m_Title, tr("校准结束退出!"));
    });
    connect(m_Worker, &QThread::finished, this, &CalibrationWork::Worker_finished, Qt::QueuedConnection);
    m_Worker->start();
}

void CalibrationWork::therad_Calibration()
{
    QString error = tr("校准结束退出!");
    Log(tr("： 设备连接中..."));
    if (!OpenDevice(error)) {
        emit MessageBox_signals(m_Title, error);
        CloseDevices();
        m_State = false;
        return;
    }
    Log(tr("： 设备连接成功！"));

    bool failed = false;
    for (int k = PointsTaken(); k < m_Temps.size(); ++k) {
        if (!SetFieldTemp(k, m_Temps.at(k), error)) {
            qWarning() << "温场设置异常！";
            failed = true;
            break;
        }
        if (!m_State)
            break;
        double ref = 0.0;
        QList<double> values;
        if (!ReadPoint(ref, values, error)) {
            failed = true;
            break;
        }
        AddPoint(k, ref, values);
        Log(tr("： 数据采集成功！"));
        ShowPoint(k);
        EmitSave();
    }

    if (!failed)
        WriteChannels();
    CloseDevices();
    if (failed) {
        emit MessageBox_signals(m_Title, error);
    } else {
        Calculate();
        EmitSave();
    }
    m_State = false;
}

void CalibrationWork::therad_Open()
{
    QString msg = tr("设备打开成功！");
    const bool opened = OpenDevice(msg);
    const QString time = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
    if (!opened) {
        if (m_WrongInstrument)
            msg += QLatin1Char('\n') + tr("该设备已断开：结束时不写入系数，也不保存数据。");
        emit MessageBox_signals(m_Title, msg);
        return;
    }
    emit PlainTextEdit_signals(time + QStringLiteral("： ") + msg);
    m_State = true;
    if (PointsTaken() > kPointButtons)
        emit MessageBox_signals(m_Title, tr("数据异常!"));
}

void CalibrationWork::therad_Collection(int index)
{
    Log(tr("： 开始采集温度点 ") + QString::number(index + 1));
    double ref = m_CriteriaTemp;
    QList<double> values;
    QString error;
    if (!ReadPoint(ref, values, error)) {
        emit MessageBox_signals(m_Title, error);
        return;
    }
    AddPoint(index, ref, values);
    ShowPoint(index);
    EmitSave();
}

void CalibrationWork::therad_Close()
{
    Calculate();
    EmitSave();
    WriteChannels();
    if (m_Collection) {
        m_Collection->Close();
        QThread::msleep(ulong(m_Timing.CloseSettleMs));
    }
    // The thermometer closes here, in the worker, not in the GUI thread's destructor.
    if (m_Criteria && m_Criteria->IsOpen())
        m_Criteria->Close();
    emit PlainTextEdit_signals(tr("设备断开成功！"));
    emit SetButton_signals();
}

// ---------------------------------------------------------------------------------------------
// GUI thread

void CalibrationWork::Worker_finished()
{
    if (m_Worker) {
        m_Worker->wait();
        delete m_Worker;
        m_Worker = nullptr;
    }
    m_Busy = false;
    if (m_Auto) {
        m_State = false;
        m_Ended = true;
    }
    m_Done = PointsTaken();
    RefreshButtons();
}

int CalibrationWork::PointsTaken() const
{
    return m_Data.isEmpty() ? 0 : m_Data.first().CList.size();
}

void CalibrationWork::RefreshButtons()
{
    const bool ready = !m_Auto && !m_Busy && m_State && !m_Ended && m_Done <= kPointButtons;
    for (int k = 0; k < kPointButtons; ++k) {
        QPushButton *button = m_Buttons.at(k);
        const bool taken = !m_Auto && !m_Ended && k < m_Done;
        button->setText(taken ? m_Retake : tr("温度点") + QString::number(k + 1));
        button->setEnabled(ready && k <= m_Done);
    }
    // An automatic run's "结束" is its stop request; a manual run's ends it once no worker runs.
    pushButton_Close->setEnabled(m_Auto ? m_Busy && m_State : !m_Busy && !m_Ended);
}

void CalibrationWork::TempClicked(int index)
{
    if (m_Auto) {
        MessageBox_slots(m_Title, tr("当前为自动模式，此按钮不可用!"));
        return;
    }
    // One device operation at a time, and only up to the next point.
    if (m_Busy || !m_State || m_Ended || index > m_Done)
        return;
    if (!m_HasCriteria) {
        bool ok = false;
        const double value =
            QInputDialog::getDouble(this, tr("标准"), tr("请输入标准温度："), 0.1, -120.0, 3000.0, 4, &ok);
        if (!ok)
            return;
        m_CriteriaTemp = value;
    }
    startWorker("calibration point", [this, index] { therad_Collection(index); });
}

void CalibrationWork::Temp1_Clicked() { TempClicked(0); }
void CalibrationWork::Temp2_Clicked() { TempClicked(1); }
void CalibrationWork::Temp3_Clicked() { TempClicked(2); }
void CalibrationWork::Temp4_Clicked() { TempClicked(3); }
void CalibrationWork::Temp5_Clicked() { TempClicked(4); }
void CalibrationWork::Temp6_Clicked() { TempClicked(5); }
void CalibrationWork::Temp7_Clicked() { TempClicked(6); }
void CalibrationWork::Temp8_Clicked() { TempClicked(7); }
void CalibrationWork::Temp9_Clicked() { TempClicked(8); }

void CalibrationWork::Close_Clicked()
{
    pushButton_Close->setEnabled(false);
    if (m_Auto) {
        m_State = false;
        return;
    }
    if (m_Busy || m_Ended)
        return;
    if (m_WrongInstrument) {
        // Nothing of another instrument is fitted, stored or written back.
        SetButton_slots();
        return;
    }
    startWorker("calibration closing", [this] { therad_Close(); });
}

void CalibrationWork::PlainTextEdit_slots(QString text)
{
    plainTextEdit->appendPlainText(text);
}

void CalibrationWork::MessageBox_slots(QString title, QString text)
{
    QMessageBox::information(this, title, text);
}

void CalibrationWork::TableItem_slots(int row, bool stable)
{
    if (row < 0 || row >= tableWidget_Dot->rowCount() || !tableWidget_Dot->item(row, 0))
        return;
    tableWidget_Dot->item(row, 0)->setForeground(stable ? QColor(0, 255, 0) : QColor(255, 0, 0));
}

void CalibrationWork::TableWidgetDisplay_slots(QStringList row)
{
    tableWidget_Data->insertRow(0);
    tableWidget_Data->setItem(0, 0, new QTableWidgetItem(
                                        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    const QStringList texts = Tool::toStringList(6, Tool::toDoubleList(row));
    for (int i = 0; i < texts.size() && i + 1 < tableWidget_Data->columnCount(); ++i)
        tableWidget_Data->setItem(0, i + 1, new QTableWidgetItem(texts.at(i)));
    tableWidget_Data->resizeColumnsToContents();
}

void CalibrationWork::Save_slots(Tool::Struct_Calibration run, QList<Tool::Struct_CalibrationData> records)
{
    // Every save holds the whole run, so a pending one is stored with this one.
    m_SaveRun = run;
    m_SaveRecords = records;
    m_LogState = LogState::None;   // a new state of the run, not yet in the log
    if (m_Pending && m_Locked) {
        // The last save met a locked database. Saves queued meanwhile are taken together in one
        // attempt once they are all in, so their short waits never follow one another.
        if (!m_StoreQueued) {
            m_StoreQueued = true;
            QTimer::singleShot(0, this, [this] {
                m_StoreQueued = false;
                if (m_Pending)
                    SaveLatest();
            });
        }
        return;
    }
    m_Pending = true;
    SaveLatest();
}

void CalibrationWork::SaveLatest()
{
    KeepPending();
    if (!m_Pending)
        return;
    // Another program's lock passes; any other failure (a full disk) names the database's reason,
    // and a log that could not take the run says so too.
    QString text = withReason(tr("数据库保存数据失败！"),
                              m_Locked ? tr("数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。") : m_StoreFailure);
    if (m_LogState == LogState::Failed)
        text = withReason(text, LogFailure());
    MessageBox_slots(m_Title, text);
}

bool CalibrationWork::StoreRun(int lockWaitMs)
{
    bool stored = false;
    {
        // The window waits for another program's write lock only briefly.
        const Tool::LockWait wait(lockWaitMs);
        stored = Tool::replaceCalibrationRun(m_SaveRun, m_SaveRecords);
    }
    m_Locked = !stored && Tool::lastFailureWasLock();
    if (!stored) {
        m_StoreFailure = Tool::lastFailureText();
        qWarning() << "calibration run" << m_SaveRun.TimeName << "not stored:" << m_StoreFailure
                   << (m_Locked ? "(the database is locked by another connection)" : "");
        // Tried again every few seconds while the window is open, without a word to the user.
        if (!m_RetryTimer->isActive())
            m_RetryTimer->start(m_Timing.PendingRetryMs);
        return false;
    }
    m_Pending = false;
    m_RetryTimer->stop();
    PlainTextEdit_slots(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + tr("： 校准数据保存成功！"));
    PlainTextEdit_slots(QString());
    return true;
}

bool CalibrationWork::KeepPending(int lockWaitMs)
{
    if (!m_Pending || StoreRun(lockWaitMs))
        return true;
    if (m_LogState != LogState::Written)
        LogRun();
    return m_LogState == LogState::Written;
}

void CalibrationWork::RetryPending()
{
    // Not while a save of the queued ones is due: that one tries at once.
    if (!m_Pending || m_StoreQueued)
        return;
    // A retry hardly waits for another program's lock: the next one comes a few seconds later,
    // and the window stays free meanwhile.
    KeepPending(kRetryLockWaitMs);
}

bool CalibrationWork::KeptOnClosing()
{
    if (!m_Pending)
        return true;
    if (KeepPending()) {
        if (m_Pending) {
            // The log holds the run: nothing is tried again once the window has gone.
            m_Pending = false;
            m_RetryTimer->stop();
            MessageBox_slots(m_Title, tr("数据库保存数据失败！") + QLatin1Char('\n')
                                          + tr("校准数据已完整写入日志文件：%1").arg(QDir::toNativeSeparators(m_LogFile)));
        }
        return true;
    }
    const QString reasons = withReason(Tool::withLockNote(tr("数据库：%1").arg(m_StoreFailure)), LogFailure());
    if (!m_CloseRefused) {
        // Refused once, so that the user can make room and close again (the retries go on and may
        // store the run meanwhile).
        m_CloseRefused = true;
        MessageBox_slots(m_Title, withReason(tr("校准数据未能保存，窗口没有关闭：请腾出空间后再次关闭窗口以重新保存；仍无法保存时窗口将关闭，数据丢失。"),
                                             reasons));
        return false;
    }
    qWarning() << "calibration run" << m_SaveRun.TimeName << "lost: neither the database nor the log took it";
    m_Pending = false;
    m_RetryTimer->stop();
    MessageBox_slots(m_Title, withReason(tr("校准数据未能保存，已丢失！"), reasons));
    return true;
}

QString CalibrationWork::LogFailure() const
{
    if (m_LogFile.isEmpty())
        return tr("日志文件：未写入。");
    return tr("日志文件%1：%2").arg(QDir::toNativeSeparators(m_LogFile), m_LogError);
}

namespace {
// A field of a logged run: "name=value", the value's backslashes, semicolons and line ends
// escaped with a backslash, so that every field reads back as it was.
QString logField(const char *name, const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';'))
            escaped += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else
            escaped += c;
    }
    return QLatin1String(name) + QLatin1Char('=') + escaped;
}
}

void CalibrationWork::LogRun()
{
    // Everything the store would have held, one line for the run and one per channel, so that the
    // run can be entered again by hand. The lines count only once the file has taken them all.
    const QString comma(QLatin1Char(','));
    LogOutcome::start();
    qWarning().noquote() << "calibration run not stored, kept in this log:"
                         << QStringList({logField("TimeName", m_SaveRun.TimeName), logField("Model", m_SaveRun.Model),
                                         logField("Serial", m_SaveRun.Serial),
                                         logField("CHNumber", m_SaveRun.CHNumber.join(comma))})
                                .join(QLatin1String("; "));
    for (const Tool::Struct_CalibrationData &r : qAsConst(m_SaveRecords)) {
        qWarning().noquote()
            << "calibration record not stored:"
            << QStringList({logField("Name", r.Name), logField("Number", r.Number), logField("Type", r.Type),
                            logField("Range", r.Range), logField("Wire", r.Wire), logField("A", r.A),
                            logField("B", r.B), logField("C", r.C), logField("D", r.D), logField("R0", r.R0),
                            logField("A4", r.A4), logField("B4", r.B4), logField("Offset_M", r.Offset_M),
                            logField("Offset_B", r.Offset_B), logField("Parameter1", r.Parameter1),
                            logField("Parameter2", r.Parameter2), logField("CList", r.CList.join(comma)),
                            logField("DList", r.DList.join(comma))})
                   .join(QLatin1String("; "));
    }
    const LogOutcome::Count count = LogOutcome::count();
    m_LogFile = count.file;
    m_LogError = count.error;
    m_LogState = count.failed == 0 && count.written == 1 + m_SaveRecords.size() ? LogState::Written : LogState::Failed;
}

void CalibrationWork::SetButton_slots()
{
    m_Ended = true;
    m_State = false;
    RefreshButtons();
    pushButton_Close->setEnabled(false);
}

bool CalibrationWork::RefuseClose()
{
    if (!(m_Collection && m_Collection->IsOpen()) && !m_State && !m_Busy)
        return false;
    MessageBox_slots(m_Title, tr("正在校准中，不能退出!"));
    return true;
}

void CalibrationWork::reject()
{
    if (RefuseClose() || !KeptOnClosing())
        return;
    QDialog::reject();
}

void CalibrationWork::closeEvent(QCloseEvent *event)
{
    if (RefuseClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
