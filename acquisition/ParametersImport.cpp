#include "acquisition/ParametersImport.h"

#include "acquisition/ParametersImportModel.h"
#include "comm/Collection.h"
#include "devices/AcquisitionDevice.h"
#include "common/Milliseconds.h"
#include "common/Struct_System.h"
#include "common/WorkerGuard.h"
#include "widgets/QWaiting.h"
#include "widgets/ReadOnlyTable.h"

#include <QDateTime>
#include <QDateTimeEdit>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
// Nearest sample to a thinning target is looked for within this distance.
const qint64 kMatchWindowMs = 2000;
// A thinning target past the end time still takes the last sample in range when it lies less
// than this after it: the editors show whole seconds, so the grid (with the start's hidden
// milliseconds) and the end (with the last sample's) differ by milliseconds nobody sees.
const qint64 kEndTieMs = 1000;
// Longest scan interval accepted (about 31 years); keeps the target arithmetic in range.
const qint64 kMaxIntervalMs = 1000000000000LL;
// Samples stored per insert batch inside the one save transaction.
const int kSaveBatch = 2000;
// Rows measured per column when the columns are fitted, and at most this many cells in all: a
// file with thousands of columns is fitted from its first rows instead of holding the window
// for seconds.
const int kFittedRows = 200;
const int kFittedCells = 20000;

const QDateTime &editorMinimum()
{
    static const QDateTime minimum(QDate(2020, 1, 1), QTime(0, 0, 0));
    return minimum;
}

// A finite number text. Plain decimals ("-21.37") are recognised directly; anything else
// (exponents, signs, spaces) goes through QString::toDouble.
bool isNumberText(const QString &text)
{
    const int size = text.size();
    if (size > 0 && size <= 15) {
        int i = text.at(0) == QLatin1Char('-') ? 1 : 0;
        int digits = 0;
        int points = 0;
        for (; i < size; ++i) {
            const QChar c = text.at(i);
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                ++digits;
            else if (c == QLatin1Char('.') && points == 0)
                ++points;
            else
                break;
        }
        if (i == size && digits > 0)
            return true;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && std::isfinite(number);
}

// The median of the steps between consecutive samples in file order, -1 when there is no step
// or the median is not positive. Of an even number of steps, the mean of the middle two, rounded.
qint64 medianStep(const QVector<Struct_ImportSample> &samples)
{
    if (samples.size() < 2)
        return -1;
    std::vector<qint64> steps;
    steps.reserve(size_t(samples.size() - 1));
    for (int i = 1; i < samples.size(); ++i)
        steps.push_back(samples.at(i).Time - samples.at(i - 1).Time);
    const auto upper = steps.begin() + steps.size() / 2;
    std::nth_element(steps.begin(), upper, steps.end());
    qint64 median = *upper;
    if (steps.size() % 2 == 0) {
        const qint64 lower = *std::max_element(steps.begin(), upper);
        median = qint64(std::llround((double(lower) + double(median)) / 2.0));
    }
    return median > 0 ? median : -1;
}

ParametersImport::FileChooser &fileChooser()
{
    static ParametersImport::FileChooser chooser;
    return chooser;
}

} // namespace

ParametersImport::ParametersImport(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("数据导入"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/Parameters.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    m_Information = tr("提示");
    m_Warning = tr("警告");

    dateTimeEdit_Start = new QDateTimeEdit(editorMinimum(), this);
    dateTimeEdit_Start->setObjectName(QStringLiteral("dateTimeEdit_Start"));
    dateTimeEdit_End = new QDateTimeEdit(editorMinimum(), this);
    dateTimeEdit_End->setObjectName(QStringLiteral("dateTimeEdit_End"));
    for (QDateTimeEdit *edit : {dateTimeEdit_Start, dateTimeEdit_End}) {
        edit->setMinimumDateTime(editorMinimum());
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }

    lineEdit_Interval = new QLineEdit(QStringLiteral("1"), this);
    lineEdit_Interval->setObjectName(QStringLiteral("lineEdit_Interval"));
    lineEdit_Interval->setMaxLength(32);
    lineEdit_Interval->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]+$")), lineEdit_Interval));

    pushButton_Set = new QPushButton(tr("设置"), this);
    pushButton_Set->setObjectName(QStringLiteral("pushButton_Set"));
    pushButton_Time = new QPushButton(tr("时间对齐"), this);
    pushButton_Time->setObjectName(QStringLiteral("pushButton_Time"));
    pushButton_Open = new QPushButton(tr("打开"), this);
    pushButton_Open->setObjectName(QStringLiteral("pushButton_Open"));
    pushButton_Save = new QPushButton(tr("保存"), this);
    pushButton_Save->setObjectName(QStringLiteral("pushButton_Save"));
    pushButton_Set->setEnabled(false);
    pushButton_Time->setEnabled(false);
    pushButton_Save->setEnabled(false);

    m_Model = new ParametersImportModel(this);
    tableWidget = makeReadOnlyTable(this, m_Model, kFittedRows);

    auto *settings = new QHBoxLayout;
    settings->addWidget(new QLabel(tr("开始时间："), this));
    settings->addWidget(dateTimeEdit_Start);
    settings->addWidget(new QLabel(tr("结束时间："), this));
    settings->addWidget(dateTimeEdit_End);
    settings->addStretch();
    // The interval and its buttons on a second row, so the dialog fits a small screen.
    auto *interval = new QHBoxLayout;
    interval->addWidget(new QLabel(tr("扫描间隔："), this));
    interval->addWidget(lineEdit_Interval);
    interval->addWidget(new QLabel(tr("秒"), this));
    interval->addWidget(pushButton_Set);
    interval->addWidget(pushButton_Time);
    interval->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(pushButton_Open);
    buttons->addWidget(pushButton_Save);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addLayout(interval);
    layout->addWidget(tableWidget);
    layout->addLayout(buttons);
    resize(1200, 700);

    connect(pushButton_Open, SIGNAL(clicked()), this, SLOT(Open_clicked()));
    connect(pushButton_Set, SIGNAL(clicked()), this, SLOT(Set_clicked()));
    connect(pushButton_Time, SIGNAL(clicked()), this, SLOT(Time_clicked()));
    connect(pushButton_Save, SIGNAL(clicked()), this, SLOT(Save_clicked()));
    connect(this, SIGNAL(Read_signals(int)), this, SLOT(Read_slots(int)));
}

ParametersImport::~ParametersImport()
{
    if (m_ReadThread) {
        m_ReadThread->wait();
        delete m_ReadThread;
    }
    delete m_Collection;
}

void ParametersImport::setParameters(Struct_System *system)
{
    m_ProjectName = system->ProjectNames.value(0);
    m_Device = system->ProjectDevices.value(0);
    delete m_Collection;
    m_Collection = AcquisitionDevice::CreateCollection(m_Device.Model);
    if (!m_Collection)
        qWarning() << "ParametersImport::setParameters: no driver for model" << m_Device.Model;
}

void ParametersImport::setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

void ParametersImport::warn(const QString &text)
{
    QMessageBox::information(this, m_Warning, text, QMessageBox::Ok);
}

// Forgets everything of the previous file, so nothing of it can be thinned or saved any more,
// and puts the editors back to their first state.
void ParametersImport::resetState()
{
    m_Interval = -1;
    m_FirstTime = 0;
    m_LastTime = 0;
    m_ChannelNumbers.clear();
    m_ChannelUnits.clear();
    m_Samples.clear();
    pushButton_Set->setEnabled(false);
    pushButton_Save->setEnabled(false);
    pushButton_Time->setEnabled(false);
    m_Model->setHeaders(QStringList());
    m_Model->setRows(QVector<Struct_ImportSample>());
    for (QDateTimeEdit *edit : {dateTimeEdit_Start, dateTimeEdit_End}) {
        edit->setMinimumDateTime(editorMinimum());
        edit->setDateTime(editorMinimum());
    }
    lineEdit_Interval->setText(QStringLiteral("1"));
}

void ParametersImport::Open_clicked()
{
    if (m_ReadThread)
        return;
    const FileChooser &chooser = fileChooser();
    const QString path = chooser
        ? chooser(this)
        : QFileDialog::getOpenFileName(this, tr("选择文件"), QStringLiteral("./"), QStringLiteral("Text files (*.csv)"));
    if (path.isEmpty())
        return;

    resetState();
    if (!m_Collection) {
        warn(tr("未检测到通道！"));
        return;
    }

    m_ReadPath = path;
    m_ReadLine = 0;
    m_ReadChannels.clear();
    m_ReadSamples.clear();
    m_ReadThread = QThread::create([this, path] { readThread(path); });
    m_ReadThread->start();
    m_Waiting = new QWaiting(this);
    m_Waiting->show();
}

// Runs in the reading thread: only the driver and the m_Read* members are touched here.
void ParametersImport::readThread(const QString &path)
{
    int result = ReadStopped;
    const bool finished = runGuarded("ParametersImport reading thread", [&] {
        m_ReadLine = 1;
        if (!m_Collection->OpenCSVFile(path, m_ReadChannels) || m_ReadChannels.isEmpty())
            result = ReadNoChannels;
        else
            result = readRecordFile(m_ReadSamples, m_ReadFirst, m_ReadLast) ? ReadComplete : ReadMismatch;
    });
    runGuarded("ParametersImport closing the record file", [this] { m_Collection->CloseCSVFile(); });
    emit Read_signals(finished ? result : ReadStopped);
}

bool ParametersImport::readRecordFile(QVector<Struct_ImportSample> &samples, qint64 &first, qint64 &last)
{
    // Any sample time lies inside these bounds, however far the instrument's clock is off.
    first = std::numeric_limits<qint64>::max();
    last = std::numeric_limits<qint64>::min();
    const int channels = m_ReadChannels.size();
    QDateTime time;
    QStringList values;
    for (;;) {
        m_ReadLine = samples.size() + 2;
        if (!m_Collection->GetCSVData(time, values))
            return false;
        if (values.isEmpty())
            return true;
        // Only rows that can be stored are taken: one finite number per channel.
        if (!time.isValid() || values.size() != channels
            || !std::all_of(values.cbegin(), values.cend(), isNumberText))
            return false;
        const qint64 msecs = time.toMSecsSinceEpoch();
        samples.append(Struct_ImportSample::fromList(msecs, values));
        first = qMin(first, msecs);
        last = qMax(last, msecs);
    }
}

void ParametersImport::Read_slots(int result)
{
    if (m_ReadThread) {
        m_ReadThread->wait();
        delete m_ReadThread;
        m_ReadThread = nullptr;
    }
    if (m_Waiting) {
        m_Waiting->hide();
        delete m_Waiting;
        m_Waiting = nullptr;
    }

    if (result == ReadNoChannels) {
        m_ReadChannels.clear();
        warn(tr("未检测到通道！") + QLatin1Char('\n') + openFailure(m_ReadPath));
        return;
    }

    for (const Struct_Channel &channel : qAsConst(m_ReadChannels)) {
        m_ChannelNumbers.append(QString::number(channel.Number));
        m_ChannelUnits.append(channel.Unit);
    }
    m_ReadChannels.clear();
    m_Samples.swap(m_ReadSamples);
    m_ReadSamples.clear();

    SetHeaders();
    fillTable(m_Samples);

    // After a failed read the rows before the failing line stay listed to show where it
    // stopped; the editors keep their first state and nothing can be thinned or saved.
    if (result != ReadComplete) {
        const QString where = result == ReadStopped ? tr("读取在第 %1 行中断，详见日志。")
                                                    : tr("第 %1 行不符合记录文件格式。");
        warn(tr("采集数据不匹配，读取失败！") + QLatin1Char('\n') + where.arg(m_ReadLine));
        return;
    }
    if (!m_Samples.isEmpty()) {
        m_FirstTime = m_ReadFirst;
        m_LastTime = m_ReadLast;
        const QDateTime first = QDateTime::fromMSecsSinceEpoch(m_FirstTime);
        dateTimeEdit_Start->setMinimumDateTime(first);
        dateTimeEdit_End->setMinimumDateTime(first);
        dateTimeEdit_Start->setDateTime(first);
        dateTimeEdit_End->setDateTime(QDateTime::fromMSecsSinceEpoch(m_LastTime));
        pushButton_Set->setEnabled(true);
        pushButton_Save->setEnabled(true);
    }
    // The typical step of the file, robust against clock jitter and single gaps.
    m_Interval = medianStep(m_Samples);
    lineEdit_Interval->setText(intervalText());
    pushButton_Time->setEnabled(false);
    QMessageBox::information(this, m_Information, tr("数据读取成功！"), QMessageBox::Ok);
}

QString ParametersImport::openFailure(const QString &path) const
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return tr("%1 不是普通文件。").arg(QDir::toNativeSeparators(path));
    if (!info.isFile() || !info.isReadable())
        return tr("无法打开文件 %1。").arg(QDir::toNativeSeparators(path));
    return tr("第 %1 行不符合记录文件格式。").arg(1);
}

void ParametersImport::SetHeaders()
{
    QStringList headers{tr("序号"), tr("时间")};
    for (const QString &number : qAsConst(m_ChannelNumbers))
        headers.append(QStringLiteral("CH") + number);
    m_Model->setHeaders(headers);
}

void ParametersImport::fillTable(const QVector<Struct_ImportSample> &samples)
{
    m_Model->setRows(samples);
    const int columns = qMax(1, m_Model->columnCount());
    tableWidget->horizontalHeader()->setResizeContentsPrecision(qBound(1, kFittedCells / columns, kFittedRows));
    tableWidget->resizeColumnsToContents();
    // The columns are fitted to the first rows; the number column must hold the last number.
    if (!samples.isEmpty()) {
        const int last = tableWidget->sizeHintForIndex(m_Model->index(samples.size() - 1, 0)).width() + 1;
        if (last > tableWidget->columnWidth(0))
            tableWidget->setColumnWidth(0, last);
    }
}

void ParametersImport::Set_clicked()
{
    bool ok = false;
    const qint64 step = secondsToMilliseconds(lineEdit_Interval->text().toDouble(&ok));
    if (!ok || step < 1 || step > kMaxIntervalMs) {
        warn(tr("扫描间隔设置错误！"));
        return;
    }
    const qint64 start = dateTimeEdit_Start->dateTime().toMSecsSinceEpoch();
    const qint64 end = dateTimeEdit_End->dateTime().toMSecsSinceEpoch();
    if (end < start) {
        warn(tr("开始时间不能大于结束时间！"));
        return;
    }

    QVector<int> candidates;
    for (int i = 0; i < m_Samples.size(); ++i) {
        const qint64 t = m_Samples.at(i).Time;
        if (t >= start && t <= end)
            candidates.append(i);
    }
    if (candidates.isEmpty()) {
        warn(tr("时间范围异常！"));
        return;
    }

    // Each target of the grid start, start + step, ... up to the end takes the candidate nearest
    // to it within the match window: one exactly on it first, of two at equal distance the one
    // before it. Candidates between targets are dropped; so is a target past the end, unless
    // the last sample in range ties with it.
    const qint64 lastCandidate = m_Samples.at(candidates.last()).Time;
    QVector<Struct_ImportSample> result;
    qint64 target = start;
    int p = 0;
    while (p < candidates.size() && (target <= end || target - lastCandidate < kEndTieMs)) {
        int best = -1;
        qint64 bestDistance = 0;
        for (int i = p; i < candidates.size(); ++i) {
            const qint64 d = target - m_Samples.at(candidates.at(i)).Time; // > 0: before the target
            if (d > kMatchWindowMs)
                continue;
            if (d >= 1) {
                best = i;
                bestDistance = d;
                continue;
            }
            if (d == 0) {
                best = i;
                break;
            }
            if (d >= -kMatchWindowMs && (best < 0 || -d < bestDistance))
                best = i;
            break;
        }
        if (best < 0) {
            // Where the gap begins: the last sample taken, or the first target.
            const qint64 gap = result.isEmpty() ? target : result.last().Time;
            warn(ParametersImportModel::timeText(gap) + tr(":时间间隔异常，请检查！"));
            return;
        }
        result.append(m_Samples.at(candidates.at(best)));
        p = best + 1;
        target += step;
    }

    m_FirstTime = start;
    m_LastTime = end;
    m_Interval = step;
    lineEdit_Interval->setText(intervalText());
    pushButton_Time->setEnabled(true);
    fillTable(result);
}

void ParametersImport::Time_clicked()
{
    if (m_Interval < 0)
        return;
    // The grid starts at the start time as its editor shows it, in whole seconds.
    const qint64 shownStart = m_FirstTime - (m_FirstTime % 1000 + 1000) % 1000;
    m_Model->alignTimes(shownStart, m_Interval);
}

void ParametersImport::Save_clicked()
{
    const QVector<Struct_ImportSample> &rows = m_Model->rows();
    if (rows.isEmpty() || m_ChannelNumbers.isEmpty())
        return;

    bool ok = false;
    {
        const Tool::LockWait wait(Tool::GuiLockWaitMs);
        Tool::Transaction transaction;
        // A name another program stored since the set-up's check is refused here, at the store.
        ok = transaction.isActive() && Tool::addNewParameters(buildParameters());
        QList<Tool::Struct_ParametersData> batch;
        for (int i = 0; ok && i < rows.size(); ++i) {
            Tool::Struct_ParametersData record;
            record.Name = m_ProjectName;
            record.Time = QDateTime::fromMSecsSinceEpoch(rows.at(i).Time);
            record.Data = rows.at(i).valueList();
            batch.append(record);
            if (batch.size() == kSaveBatch || i == rows.size() - 1) {
                ok = Tool::addParametersDataList(batch);
                batch.clear();
            }
        }
        ok = ok && transaction.commit(); // otherwise the transaction rolls back here
    }
    if (!ok) {
        // The database's reason (a full disk, a damaged file) on a second line; a lock says so.
        warn(Tool::withFailureReason(tr("数据保存失败！")));
        return;
    }
    QMessageBox::information(this, m_Information, tr("数据保存成功！"), QMessageBox::Ok);
    accept();
}

// Without a known interval (a single sample, or no positive step, and no thinning) "0".
QString ParametersImport::intervalText() const
{
    return m_Interval > 0 ? QString::number(m_Interval / 1000.0, 'g', 6) : QStringLiteral("0");
}

Tool::Struct_Parameters ParametersImport::buildParameters() const
{
    const QString automatic = QStringLiteral("Auto");
    const int channels = m_ChannelNumbers.size();
    Tool::Struct_Parameters record;
    record.Name = m_ProjectName;
    record.CreateTime = QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
    record.StartTime = QDateTime::fromMSecsSinceEpoch(m_FirstTime).toString(QLatin1String(kTimeFormat));
    record.Model = QStringList{m_Device.Model};
    record.Serial = QStringList{m_Device.Serial};
    record.SignalMode = QStringList{QStringLiteral("导入")};
    record.Signal1 = QStringList{automatic};
    record.Signal2 = QStringList{automatic};
    record.Rate = QStringList{automatic};
    record.Interval = intervalText();
    record.CHName = m_ChannelNumbers;
    for (int i = 0; i < channels; ++i) {
        record.CHType.append(automatic);
        record.CHFunction.append(automatic);
        record.CHWire.append(automatic);
        record.CHM.append(QStringLiteral("1"));
        record.CHB.append(QStringLiteral("0"));
    }
    record.CHUnit = m_ChannelUnits;
    record.CHDisplayUnit = m_ChannelUnits;
    return record;
}
