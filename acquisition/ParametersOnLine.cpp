#include "acquisition/ParametersOnLine.h"

#include "common/Milliseconds.h"
#include "common/WorkerGuard.h"

#include "acquisition/AlarmChecker.h"
#include "acquisition/ParametersDataWriter.h"
#include "acquisition/ParametersChart.h"
#include "acquisition/ParametersCsvWriter.h"
#include "acquisition/ParametersStatistics.h"
#include "comm/Collection.h"
#include "devices/AcquisitionDevice.h"
#include "widgets/QWaiting.h"
#include "common/Struct_System.h"
#include "common/WithReason.h"

#include <QCloseEvent>
#include <QDebug>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMutexLocker>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

namespace {
const char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
const QString kDaqConnection = QStringLiteral("DAQ");
const QString kDatabaseFile = QStringLiteral("DAQ.db3");
// Samples held at most while another program holds the write lock; older ones are given up.
const int kMaxHeldSamples = 100000;

void joinThread(QThread *&thread)
{
    if (!thread)
        return;
    thread->wait();
    delete thread;
    thread = nullptr;
}
} // namespace

ParametersOnLine::ParametersOnLine(QWidget *parent)
    : QDialog(parent)
    , m_Timing(AcquisitionTiming::get())
{
    buildForm();
    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    lineEdit_Information->setReadOnly(true);
    m_Title = tr("提示");

    // Emitted by the workers; always delivered queued, in emission order, in the GUI thread.
    connect(this, &ParametersOnLine::SetDialog_signals, this, &ParametersOnLine::SetDialog_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::Information_signals, this, &ParametersOnLine::Information_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::SaveAuditLog_signals, this, &ParametersOnLine::SaveAuditLog_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::MessageBox_signals, this, &ParametersOnLine::MessageBox_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::RunState_signals, this, &ParametersOnLine::RunState_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::WaitingStart_signals, this, &ParametersOnLine::WaitingStart_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::StoreRefused_signals, this, &ParametersOnLine::StoreRefused_slots,
            Qt::QueuedConnection);
    connect(this, &ParametersOnLine::ProjectGone_signals, this, &ParametersOnLine::ProjectGone_slots,
            Qt::QueuedConnection);
}

ParametersOnLine::~ParametersOnLine()
{
    // Ask every worker to end and wait for it: they use the dialog's state and the drivers.
    m_Stop = true;
    m_WaitUser = false;
    if (m_DisplayTimer)
        m_DisplayTimer->stop();
    joinThread(m_SetupThread);
    joinThread(m_AcquisitionThread);
    endOfRun();
    m_Csv.reset();    // waits for the writer and writes what it still holds
    m_Alarms.reset(); // waits for the alarm mails under way
    for (Collection *driver : qAsConst(m_Drivers)) {
        if (!driver)
            continue;
        if (driver->IsOpen())
            driver->Close();
        delete driver;
    }
    m_Drivers.clear();
}

void ParametersOnLine::buildForm()
{
    setObjectName(QStringLiteral("ParametersOnLine"));
    setWindowTitle(tr("数据采集"));
    resize(1235, 891);
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Parameters.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(5);
    verticalLayout->setContentsMargins(5, 5, 5, 5);

    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    verticalLayout->addWidget(tabWidget);

    horizontalLayout_OK = new QHBoxLayout();
    horizontalLayout_OK->setObjectName(QStringLiteral("horizontalLayout_OK"));
    horizontalLayout_OK->setSpacing(6);
    label_Information = new QLabel(tr("消息："), this);
    label_Information->setObjectName(QStringLiteral("label_Information"));
    horizontalLayout_OK->addWidget(label_Information);
    lineEdit_Information = new QLineEdit(this);
    lineEdit_Information->setObjectName(QStringLiteral("lineEdit_Information"));
    horizontalLayout_OK->addWidget(lineEdit_Information);
    horizontalLayout_OK->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pushButton_OK = new QPushButton(tr("停止"), this);
    pushButton_OK->setObjectName(QStringLiteral("pushButton_OK"));
    horizontalLayout_OK->addWidget(pushButton_OK);
    verticalLayout->addLayout(horizontalLayout_OK);

    connect(pushButton_OK, &QPushButton::clicked, this, &ParametersOnLine::OK_clicked);
}

// ---------------------------------------------------------------------------------------
// Start

qint64 ParametersOnLine::sampleCount(const QDateTime &start, const QDateTime &end, int intervalMs)
{
    const qint64 span = start.msecsTo(end);
    if (span <= 0 || intervalMs <= 0)
        return INT_MAX;
    return span / intervalMs + 1 + (span % intervalMs > 0 ? 1 : 0);
}

int ParametersOnLine::toIntervalMs(double seconds)
{
    return secondsToIntervalMs(seconds);
}

void ParametersOnLine::start(Struct_System *system)
{
    m_System = system;
    m_DataSave = system->DataSave;
    m_Devices = system->ProjectDevices;
    m_ProjectNames = system->ProjectNames;
    m_Channels = system->ParametersChannels;

    m_Interval = system->Interval;
    m_IntervalMs = toIntervalMs(m_Interval);
    m_DeviceCount = m_Devices.size();
    m_ProjectCount = m_ProjectNames.size();
    m_ChannelCount = m_Channels.size();

    m_StartText = system->StartTime;
    m_StartTime = QDateTime::fromString(system->StartTime, QLatin1String(kTimeFormat));
    const QDateTime endTime = QDateTime::fromString(system->EndTime, QLatin1String(kTimeFormat));
    m_SampleCount = m_IntervalMs > 0 ? sampleCount(m_StartTime, endTime, m_IntervalMs) : 0;

    buildPages();
    m_Alarms.reset(new AlarmChecker(m_AuditLog, m_ProjectChannels, qint64(system->EmailInterval) * 60,
                                    system->EmailAutoTrigger, system->EmailAddress));

    if (refuseSetUp())
        return;

    m_Waiting = new QWaiting(this);
    m_Waiting->setText(tr("参数设置中，请稍等..."));
    m_Waiting->show();

    for (const Tool::Struct_Collection &device : qAsConst(m_Devices)) {
        Collection *driver = AcquisitionDevice::CreateCollection(device.Model);
        if (!driver)
            qWarning() << "no driver for the model" << device.Model;
        m_Drivers.append(driver);
        m_EnabledCounts.append(0);
    }

    m_SetupThread = QThread::create([this] {
        if (!runGuarded("acquisition set-up", [this] { setupThread(); }))
            emit SetDialog_signals(false, internalErrorText());
    });
    m_SetupThread->start();

    m_DisplayTimer = new QTimer(this);
    m_DisplayTimer->setInterval(m_Timing.DisplayTickMs);
    connect(m_DisplayTimer, &QTimer::timeout, this, &ParametersOnLine::Display_slots);
    m_DisplayTimer->start();
}

// An interval below 1 ms, a start time that is no time and a sample count beyond the int range
// cannot be run: the run is finished at once and the box tells why.
bool ParametersOnLine::refuseSetUp()
{
    QString reason;
    if (m_IntervalMs <= 0)
        reason = tr("采集间隔无效，间隔不能小于1毫秒！");
    else if (!m_StartTime.isValid())
        reason = tr("开始时间无效，请重新设置！");
    else if (m_SampleCount > INT_MAX)
        reason = tr("采集点数超出范围，请缩短采集时间或加大采集间隔！");
    if (reason.isEmpty())
        return false;
    qWarning() << "acquisition refused:" << reason << "interval" << m_Interval << "samples" << m_SampleCount;
    setRunState(Finished);
    lineEdit_Information->setText(reason);
    emit MessageBox_signals(m_Title, reason); // shown once the dialog runs
    return true;
}

void ParametersOnLine::buildPages()
{
    buildProjectChannels();
    for (int j = 0; j < m_ProjectCount; ++j) {
        const QList<Struct_ParametersChannel> &rows = m_ProjectChannels.at(j);
        QStringList labels;
        QStringList units;
        for (const Struct_ParametersChannel &row : rows) {
            labels.append(row.label());
            units.append(row.DisplayUnit);
        }
        const QString title = tr("项目") + QString::number(j + 1);

        auto *chart = new ParametersChart(this);
        chart->setParameters(m_System, rows);
        tabWidget->insertTab(2 * j, chart, title + tr("结果"));
        m_Charts.append(chart);

        auto *statistics = new ParametersStatistics(this);
        statistics->setParameters(m_System->DataAccuracy, labels, units);
        tabWidget->insertTab(2 * j + 1, statistics, title + tr("统计"));
        m_Statistics.append(statistics);
    }
}

// The channel rows of each project, in channel-table order. Rows of no project of this run
// belong to no list (the set-up refuses them).
void ParametersOnLine::buildProjectChannels()
{
    m_ProjectChannels.clear();
    for (int j = 0; j < m_ProjectCount; ++j) {
        QList<Struct_ParametersChannel> rows;
        for (const Struct_ParametersChannel &row : qAsConst(m_Channels)) {
            if (row.ProjectIndex == j)
                rows.append(row);
        }
        m_ProjectChannels.append(rows);
    }
}

// ---------------------------------------------------------------------------------------
// Device set-up (worker thread)

void ParametersOnLine::setupThread()
{
    const QString failure = setupInstruments();
    if (!failure.isEmpty()) {
        emit SetDialog_signals(false, failure);
        return;
    }

    emit Information_signals(tr("开始等待中...") + tr(" 计划开始时间：") + m_StartText);
    emit WaitingStart_signals();
    QThread::msleep(m_Timing.SetupPollMs);
    while (QDateTime::currentDateTime().msecsTo(m_StartTime) >= 0) {
        if (m_Stop) {
            emit SetDialog_signals(false, tr("手动停止采集！"));
            return;
        }
        QThread::msleep(m_Timing.SetupPollMs);
    }
    emit SetDialog_signals(true, QStringLiteral("Set OK"));
}

// Opens and configures every instrument in order; the first failure ends the set-up and its
// message is returned (empty on success). Fills Type, Function and Wire of the channel rows.
QString ParametersOnLine::setupInstruments()
{
    emit Information_signals(tr("采集设备信息设置中..."));

    const QString noConnection = tr("设备连接失败,请退出重试！");
    const QString mismatch = tr("通道参数与设备不匹配!");
    for (int i = 0; i < m_DeviceCount; ++i) {
        if (!m_Drivers.at(i))
            return withReason(noConnection, tr("该型号没有可用的驱动：") + m_Devices.at(i).Model);
    }
    for (const Struct_ParametersChannel &row : qAsConst(m_Channels)) {
        if (row.ProjectIndex < 0 || row.ProjectIndex >= m_ProjectCount || row.DeviceIndex < 0
            || row.DeviceIndex >= m_DeviceCount)
            return mismatch;
    }

    int r = 0;
    for (int i = 0; i < m_DeviceCount; ++i) {
        const Tool::Struct_Collection &device = m_Devices.at(i);
        Collection *driver = m_Drivers.at(i);

        QString text;
        if (!driver->Open(device.SignalMode, device.Signal1, device.Signal2, text)) {
            qWarning() << "instrument" << i + 1 << device.Model << device.Serial << "did not open:" << text;
            return withReason(noConnection, text);
        }
        if (text != device.Serial)
            return tr("序列号不匹配，请检查连接的设备是否为对应序列号的设备！");
        if (!driver->GetChannelConfig(device.CHSerial, device.CHUnit))
            return tr("获取通道信息失败,请退出重试!");

        // Every registered channel must be enabled, and the channel table must hold exactly
        // this instrument's channels in the same order, or readings would land on other rows.
        const QList<Struct_Channel> enabled = driver->GetEnabledChannels();
        int rowsOfDevice = 0;
        for (const Struct_ParametersChannel &row : qAsConst(m_Channels)) {
            if (row.DeviceIndex == i)
                ++rowsOfDevice;
        }
        if (enabled.size() != device.CHSerial.size() || enabled.size() != rowsOfDevice)
            return mismatch;
        for (int k = 0; k < enabled.size(); ++k) {
            const Struct_Channel &channel = enabled.at(k);
            bool isNumber = false;
            const uint number = device.CHSerial.at(k).toUInt(&isNumber, 10);
            if (!isNumber || channel.Number != number || k >= device.CHUnit.size()
                || channel.Unit != device.CHUnit.at(k) || r >= m_ChannelCount)
                return mismatch;
            Struct_ParametersChannel &row = m_Channels[r];
            if (row.DeviceIndex != i || row.Channel != device.CHSerial.at(k))
                return mismatch;
            row.Type = channel.Type;
            row.Function = channel.Function;
            row.Wire = channel.Wire;
            ++r;
        }
        m_EnabledCounts[i] = enabled.size();

        if (!driver->StartScan(device.Rate))
            return tr("通道设置失败,请退出重试!");
    }
    return QString();
}

// ---------------------------------------------------------------------------------------
// End of the set-up (GUI thread)

void ParametersOnLine::SetDialog_slots(bool ok, QString text)
{
    if (m_Waiting) {
        m_Waiting->close();
        delete m_Waiting;
        m_Waiting = nullptr;
    }
    // The set-up thread has emitted its last signal; let it end before another thread uses
    // the drivers.
    joinThread(m_SetupThread);

    if (!ok) {
        failSetUp(text);
        return;
    }

    // The set-up has filled Type, Function and Wire of the rows: the records carry them.
    buildProjectChannels();
    if (!writeProjectRecords()) {
        // The database's reason (a full disk) on a second line; a lock says so.
        failSetUp(Tool::withFailureReason(tr("项目信息保存失败，采集未开始！")));
        return;
    }
    createCsvFiles();

    setRunState(Acquiring);
    m_AcquisitionThread = QThread::create([this] { acquisitionThread(); });
    m_AcquisitionThread->start();
}

// The run ends before its first sample: the information line keeps the reason, the box shows it.
void ParametersOnLine::failSetUp(const QString &text)
{
    setRunState(Finished);
    lineEdit_Information->setText(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    QMessageBox::information(this, m_Title, text);
}

// One Parameters row per project, every one listing all instruments of the run; all rows are
// stored in one transaction, so a failure leaves none of them.
bool ParametersOnLine::writeProjectRecords()
{
    QStringList models, serials, modes, signals1, signals2, rates;
    for (const Tool::Struct_Collection &device : qAsConst(m_Devices)) {
        models.append(device.Model);
        serials.append(device.Serial);
        modes.append(device.SignalMode);
        signals1.append(device.Signal1);
        signals2.append(device.Signal2);
        rates.append(device.Rate);
    }

    m_Records.clear();
    const QString created = QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
    for (int j = 0; j < m_ProjectCount; ++j) {
        Tool::Struct_Parameters record;
        record.Name = m_ProjectNames.at(j);
        record.CreateTime = created;
        record.StartTime = m_StartText;
        record.Model = models;
        record.Serial = serials;
        record.SignalMode = modes;
        record.Signal1 = signals1;
        record.Signal2 = signals2;
        record.Rate = rates;
        record.Interval = QString::number(m_Interval, 'g', 6);
        for (const Struct_ParametersChannel &row : m_ProjectChannels.at(j)) {
            record.CHName.append(row.label());
            record.CHType.append(row.Type);
            record.CHFunction.append(row.Function);
            record.CHWire.append(row.Wire);
            record.CHUnit.append(row.Unit);
            record.CHM.append(QString::number(row.M, 'f', 5));
            record.CHB.append(QString::number(row.B, 'f', 5));
            record.CHDisplayUnit.append(row.DisplayUnit);
        }
        m_Records.append(record);
    }

    const Tool::LockWait wait(Tool::GuiLockWaitMs);
    Tool::Transaction transaction;
    if (!transaction.isActive())
        return false;
    for (const Tool::Struct_Parameters &record : qAsConst(m_Records)) {
        // The names were new when the set-up was accepted; another program may have stored one
        // since (the run starts at its planned time): a taken name is refused here, at the store.
        if (!Tool::addNewParameters(record)) {
            qWarning() << "project record not stored:" << record.Name;
            return false; // rolled back
        }
    }
    return transaction.commit();
}

// ---------------------------------------------------------------------------------------
// Acquisition (worker thread)

void ParametersOnLine::acquisitionThread()
{
    QString information;
    bool storeStopped = false; // the run's box has said so
    const bool ok = runGuarded("acquisition", [&] { information = acquire(storeStopped); });
    m_Writer = nullptr; // gone with acquire(), also when it ended by an exception
    runGuarded("acquisition end", [this] { closeInstruments(); });
    if (!ok || storeStopped)
        information = internalErrorText();
    if (!ok)
        emit MessageBox_signals(m_Title, information);
    if (!information.isEmpty())
        emit Information_signals(information);
    emit RunState_signals(Finished); // the thread's last use of the dialog
}

// The sampling loop; returns the text the information line ends with. The samples are stored by
// a writer thread with the connection "DAQ" of its own, so no read waits for the disk or for
// another program's lock. Should that thread stop, the run ends (storeStopped is set): no read
// is taken that nothing would store.
QString ParametersOnLine::acquire(bool &storeStopped)
{
    ParametersDataWriter::Settings settings;
    settings.DatabasePath = kDatabaseFile;
    settings.ConnectionName = kDaqConnection;
    settings.LockWaitMs = m_Timing.StoreLockWaitMs;
    settings.RetryMs = m_Timing.StoreRetryMs;
    settings.FinalLockWaitMs = Tool::BusyTimeoutMs;
    settings.MaxHeldSamples = kMaxHeldSamples;
    settings.BeforeStore = m_Timing.BeforeStore;
    QList<ParametersDataWriter::Project> projects;
    for (const Tool::Struct_Parameters &record : qAsConst(m_Records))
        projects.append({record.Name, record.CreateTime});
    ParametersDataWriter writer(settings, projects);
    writer.onRefused = [this](int count, bool last) {
        // The box of the first refusal promises that the run goes on: not once it has ended.
        if (m_FailedSamples.fetch_add(count) == 0 && !last)
            emit MessageBox_signals(tr("警告"), tr("采集数据写入数据库失败，采集继续进行，请检查磁盘空间或数据库是否被其他程序占用！"));
        emit StoreRefused_signals();
    };
    writer.onProjectGone = [this](const QString &project) { emit ProjectGone_signals(project); };
    // The last store may wait seconds for another program's lock: the information line says why.
    writer.onFinalWait = [this] {
        emit Information_signals(endText() + tr(" 正在保存暂存的样本：数据库正被其他程序占用，最多等待 %1 秒……")
                                                 .arg(Tool::BusyTimeoutMs / 1000));
    };
    if (!writer.start())
        return tr("打开数据库失败！");
    m_Writer = &writer;

    m_AcquiringText = QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat)) + tr(" 采集中...");
    showAcquiring();

    // Reads are due at base, base + interval, ...: targets advance from the previous target,
    // so a late read is caught up without drift.
    m_Clock.start();
    qint64 base = m_Clock.elapsed();
    for (qint64 i = 0; i < m_SampleCount; ++i) {
        qint64 target = base + m_IntervalMs;
        base = target;
        QDateTime time = QDateTime::currentDateTime();
        if (m_Stop || writer.stopped())
            break;

        QList<double> values;
        bool ok = readAllInstruments(values);
        if (!ok) {
            qint64 readStart = 0;
            ok = recover(values, time, readStart);
            if (!ok)
                break;
            // The schedule starts again at the recovered read: the next read is due one
            // interval after it (not at once after a recovery longer than the interval).
            target = readStart + m_IntervalMs;
            base = target;
        }
        storeSample(time, values);

        while (!m_Stop && !writer.stopped() && m_Clock.elapsed() < target)
            QThread::msleep(1);
    }

    // What is still held gets the store's full wait for another program's lock; what that
    // refuses is counted, and the box says so now that the run has ended. A store that stopped
    // ends the run as an internal error does, the samples it lost counted in the same box.
    m_Writer = nullptr;
    const int refused = writer.finish();
    storeStopped = writer.stopped();
    const QString reason = storeStopped ? internalErrorText() : writer.lastFailure();
    if (refused > 0)
        emit MessageBox_signals(tr("警告"), withReason(tr("采集已结束，%1 个样本未能写入数据库！").arg(m_FailedSamples), reason));
    else if (storeStopped)
        emit MessageBox_signals(m_Title, reason);
    return endText();
}

QString ParametersOnLine::internalErrorText()
{
    return tr("程序内部错误，采集已终止，详情见日志！");
}

// How the run ended, for the information line.
QString ParametersOnLine::endText() const
{
    return m_Stop ? tr("提前终止采集。") : tr("采集结束。");
}

// After a stop the information line keeps "提前终止采集。".
void ParametersOnLine::showAcquiring()
{
    if (!m_Stop)
        emit Information_signals(m_AcquiringText);
}

QString ParametersOnLine::failedSamplesText() const
{
    const int failed = m_FailedSamples;
    return failed ? tr(" 数据库保存失败样本数：%1").arg(failed) : QString();
}

// Triggers and reads every instrument, then corrects each reading with its row's M and B.
// An instrument giving another number of values than it has enabled channels fails the read.
bool ParametersOnLine::readAllInstruments(QList<double> &values)
{
    for (Collection *driver : qAsConst(m_Drivers)) {
        if (m_Stop)
            break;
        if (!driver->WriteOneScan())
            return false;
    }
    QList<double> readings;
    for (int i = 0; i < m_Drivers.size(); ++i) {
        if (m_Stop)
            break;
        QList<double> scan;
        if (!m_Drivers.at(i)->ReadOneScan(scan))
            return false;
        if (scan.size() != m_EnabledCounts.at(i)) {
            qWarning() << "instrument" << i + 1 << "gave" << scan.size() << "values for"
                       << m_EnabledCounts.at(i) << "channels";
            return false;
        }
        readings.append(scan);
    }
    const int count = qMin(readings.size(), m_Channels.size());
    for (int n = 0; n < count; ++n)
        values.append(m_Channels.at(n).M * readings.at(n) + m_Channels.at(n).B);
    return true;
}

// One retry, then an automatic reconnection after the reconnection delay, then manual
// reconnections that the user drives. True with fresh values (time and readStart, on the
// acquisition clock, set to when their read began), false when stop was requested.
bool ParametersOnLine::recover(QList<double> &values, QDateTime &time, qint64 &readStart)
{
    values.clear();
    if (m_Stop)
        return false;
    emit SaveAuditLog_signals(tr("数据获取失败。"));
    time = QDateTime::currentDateTime();
    readStart = m_Clock.elapsed();
    if (readAllInstruments(values))
        return true;

    emit SaveAuditLog_signals(tr("设备重新连接。"));
    emit Information_signals(tr("通讯异常，设备自动重连中..."));
    closeInstruments();
    if (!sleepChecked(m_Timing.ReconnectDelayMs))
        return false;

    bool reconnected = true;
    for (int i = 0; i < m_Drivers.size(); ++i) {
        if (m_Stop)
            return false;
        if (!reconnectInstrument(i)) {
            reconnected = false;
            break;
        }
    }
    if (reconnected) {
        emit SaveAuditLog_signals(tr("设备连接成功。"));
        values.clear();
        time = QDateTime::currentDateTime();
        readStart = m_Clock.elapsed();
        if (readAllInstruments(values)) {
            showAcquiring();
            return true;
        }
    }

    for (;;) {
        emit SaveAuditLog_signals(tr("进入手动重连模式！"));
        emit Information_signals(tr("通讯异常，手动重连中..."));
        closeInstruments();
        m_WaitUser = true;
        emit RunState_signals(WaitingForUser);
        emit MessageBox_signals(tr("提示"), tr("通讯异常，请设备关机重试！"));
        while (m_WaitUser) {
            if (m_Stop)
                return false;
            QThread::msleep(m_Timing.RecoveryPollMs);
        }
        if (m_Stop)
            return false;

        bool all = true;
        for (int i = 0; i < m_Drivers.size(); ++i) {
            if (!reconnectInstrument(i)) {
                all = false;
                break;
            }
        }
        values.clear();
        if (all) {
            emit RunState_signals(Acquiring);
            time = QDateTime::currentDateTime();
            readStart = m_Clock.elapsed();
            if (readAllInstruments(values)) {
                emit SaveAuditLog_signals(tr("手动重连成功！"));
                showAcquiring();
                return true;
            }
            values.clear();
        }
        if (m_Stop)
            return false;
    }
}

// Reopens one instrument with the texts of its last opening; another serial number than the
// registered one is a failed reconnection.
bool ParametersOnLine::reconnectInstrument(int index)
{
    QString text;
    if (!m_Drivers.at(index)->Reconnect(text))
        return false;
    if (text != m_Devices.at(index).Serial) {
        qWarning() << "reconnected instrument" << index + 1 << "reports serial number" << text
                   << "instead of" << m_Devices.at(index).Serial;
        return false;
    }
    return true;
}

void ParametersOnLine::closeInstruments()
{
    for (Collection *driver : qAsConst(m_Drivers)) {
        if (driver && driver->IsOpen())
            driver->Close();
    }
}

// Sleeps ms in steps of the recovery poll, false as soon as stop is requested.
bool ParametersOnLine::sleepChecked(int ms)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_Stop)
            return false;
        const qint64 left = ms - waited.elapsed();
        if (left <= 0)
            return true;
        QThread::msleep(ulong(qMin<qint64>(left, m_Timing.RecoveryPollMs)));
    }
}

// Splits the corrected values by project, hands the sample to the writer thread and queues it
// for the display tick. A sample the database refuses still reaches the pages, the limit check
// and the CSV files.
void ParametersOnLine::storeSample(const QDateTime &time, const QList<double> &values)
{
    if (m_Stop)
        return;
    if (values.size() != m_ChannelCount)
        return;

    Struct_Sample sample;
    sample.Time = time;
    for (int j = 0; j < m_ProjectCount; ++j)
        sample.Values.append(QList<double>());
    for (int n = 0; n < values.size(); ++n)
        sample.Values[m_Channels.at(n).ProjectIndex].append(values.at(n));

    m_Writer->add(sample);
    QMutexLocker lock(&m_QueueMutex);
    m_Queue.append(sample);
}

// ---------------------------------------------------------------------------------------
// GUI thread

void ParametersOnLine::Information_slots(QString text)
{
    m_Information = text;
    showInformation();
}

// The information line: the latest text, then the projects no longer stored and the count of
// samples the database refused, once there are any.
void ParametersOnLine::showInformation()
{
    QString text = m_Information;
    if (!m_GoneProjects.isEmpty())
        text += tr(" 项目已不在数据库中：%1").arg(m_GoneProjects.join(QStringLiteral(", ")));
    lineEdit_Information->setText(text + failedSamplesText());
}

void ParametersOnLine::StoreRefused_slots()
{
    showInformation();
}

// A project deleted or merged away by another program while it is recorded: told once; its
// samples still reach the pages and the CSV files.
void ParametersOnLine::ProjectGone_slots(QString project)
{
    if (m_GoneProjects.contains(project))
        return;
    m_GoneProjects.append(project);
    showInformation();
    const QString text = tr("项目 %1 已不在数据库中（被其他程序删除或合并），其后的采样数据不再保存到数据库！").arg(project);
    QMessageBox::information(this, tr("警告"), m_DataSave ? withReason(text, tr("CSV文件照常保存。")) : text);
}

void ParametersOnLine::SaveAuditLog_slots(QString text)
{
    m_AuditLog.add(tr("通讯异常"), text);
}

void ParametersOnLine::MessageBox_slots(QString title, QString text)
{
    QMessageBox::information(this, title, text);
}

void ParametersOnLine::RunState_slots(int state)
{
    // Every sample is shown and on disk before the button reads "结束".
    if (state == Finished)
        endOfRun();
    setRunState(RunState(state));
}

// The set-up now only waits for the start time: the busy dialog goes, so the user can stop.
void ParametersOnLine::WaitingStart_slots()
{
    if (m_Waiting)
        m_Waiting->hide();
}

void ParametersOnLine::setRunState(RunState state)
{
    m_State = state;
    switch (state) {
    case SettingUp:
    case Acquiring:
        pushButton_OK->setText(tr("停止"));
        break;
    case WaitingForUser:
        pushButton_OK->setText(tr("继续"));
        break;
    case Finished:
        pushButton_OK->setText(tr("结束"));
        break;
    }
}

void ParametersOnLine::Display_slots()
{
    QList<Struct_Sample> batch;
    {
        QMutexLocker lock(&m_QueueMutex);
        if (m_Queue.isEmpty())
            return;
        batch.swap(m_Queue);
    }

    checkLimits(batch);

    const Struct_Sample &newest = batch.constLast();
    if (newest.Values.size() == m_ProjectCount) {
        for (int j = 0; j < m_ProjectCount; ++j) {
            m_Charts.at(j)->addSample(newest.Time, newest.Values.at(j));
            m_Statistics.at(j)->addSample(newest.Time, newest.Values.at(j));
        }
    }

    if (m_DataSave)
        handOverToCsv(batch);
}

// The limit check: each sample of the tick in order until the first alarm (then no sample is
// checked until the e-mail interval has passed).
void ParametersOnLine::checkLimits(const QList<Struct_Sample> &batch)
{
    if (m_Alarms)
        m_Alarms->checkSamples(batch);
}

// Hands the tick's samples to the CSV writer, which appends them once per flush interval.
void ParametersOnLine::handOverToCsv(const QList<Struct_Sample> &batch)
{
    if (!m_Csv)
        return;
    m_Csv->addSamples(batch);
    reportCsvFailure();
}

// Creates the day's CSV files of a saved project, after the project records are stored.
void ParametersOnLine::createCsvFiles()
{
    if (!m_DataSave)
        return;
    m_Csv.reset(new ParametersCsvWriter(m_Records, m_System));
    m_Csv->createCsvFiles();
    reportCsvFailure();
}

// The first CSV file that cannot be written is shown once per run; the writer keeps its rows
// and tries again at each flush.
void ParametersOnLine::reportCsvFailure()
{
    const QString failure = m_Csv->takeFailure();
    if (failure.isEmpty() || m_CsvWarned)
        return;
    m_CsvWarned = true;
    emit MessageBox_signals(tr("警告"), withReason(tr("CSV文件写入失败，未写入的数据将在下次写入时重试！"), failure));
}

// Once per run, after the last sample: what is still queued goes through the tick, and every
// CSV row not yet written is written out. Rows that still cannot be written are named in a box
// of their own, even after the box of the first failure: that one promised a retry.
void ParametersOnLine::endOfRun()
{
    if (m_RunEnded)
        return;
    m_RunEnded = true;
    Display_slots();
    if (!m_Csv)
        return;
    m_Csv->flushAll();
    const int unwritten = m_Csv->pendingRowCount();
    if (unwritten == 0) {
        reportCsvFailure();
        return;
    }
    m_CsvWarned = true;
    emit MessageBox_signals(tr("警告"), withReason(tr("采集结束时仍有 %1 行数据未能写入CSV文件！").arg(unwritten),
                                                   m_Csv->takeFailure()));
}

void ParametersOnLine::OK_clicked()
{
    switch (m_State) {
    case Finished:
        accept();
        return;
    case SettingUp:
    case Acquiring: {
        QMessageBox box(QMessageBox::Warning, m_Title, tr("是否停止数据采集？"), QMessageBox::NoButton, this);
        // One role for all buttons keeps them in this order on every platform.
        QPushButton *confirm = box.addButton(tr("确定"), QMessageBox::ActionRole);
        QPushButton *cancel = box.addButton(tr("取消"), QMessageBox::ActionRole);
        box.setEscapeButton(cancel);
        box.setDefaultButton(cancel); // Enter must not stop a run
        box.exec();
        // The run may have ended while the box was open.
        if (box.clickedButton() != confirm || m_State == Finished)
            return;
        m_Stop = true;
        Information_slots(tr("提前终止采集。"));
        return;
    }
    case WaitingForUser: {
        QMessageBox box(QMessageBox::Warning, m_Title, tr("是否终止项目？"), QMessageBox::NoButton, this);
        QPushButton *stop = box.addButton(tr("终止"), QMessageBox::ActionRole);
        QPushButton *resume = box.addButton(tr("继续"), QMessageBox::ActionRole);
        QPushButton *cancel = box.addButton(tr("取消"), QMessageBox::ActionRole);
        box.setEscapeButton(cancel);
        box.setDefaultButton(cancel); // Enter must not stop a run
        box.exec();
        if (box.clickedButton() == stop && m_State != Finished) {
            m_Stop = true;
            Information_slots(tr("提前终止采集。"));
        } else if (box.clickedButton() == resume && m_State == WaitingForUser) {
            m_WaitUser = false;
        }
        return;
    }
    }
}

void ParametersOnLine::closeEvent(QCloseEvent *event)
{
    if (m_State == Finished) {
        QDialog::closeEvent(event);
        return;
    }
    QMessageBox::information(this, m_Title, tr("正在采集中，请先结束！"));
    event->ignore();
}

void ParametersOnLine::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}
