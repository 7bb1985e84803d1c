#include "reports/VerificationReportExport.h"

#include "common/Milliseconds.h"
#include "reports/TypedDateTimeEdit.h"
#include "store/Tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const char *const kPdf = "PDF";

VerificationReportExport::FileChooser &fileChooser()
{
    static VerificationReportExport::FileChooser chooser;
    return chooser;
}

// True when earlier lies a whole second or more before later (the difference in milliseconds
// divided by 1000, truncated toward zero): parts of a second never count.
bool wholeSecondBefore(const QDateTime &earlier, const QDateTime &later)
{
    return earlier.msecsTo(later) / 1000 >= 1;
}

} // namespace

VerificationReportExport::VerificationReportExport(QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    setModal(true);
    checkBox_WorkData->setChecked(true);
    checkBox_WorkData->setEnabled(false);
    lineEdit_PrintInterval->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]+$")), lineEdit_PrintInterval));
    m_Ready = false;
}

void VerificationReportExport::setupUi()
{
    setObjectName(QStringLiteral("VerificationReportExport"));
    setWindowTitle(tr("报表生成"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/ValidationReport.png")));
    setStyleSheet(QStringLiteral("font: 12pt \"宋体\";"));
    resize(722, 408);

    auto *groupData = new QGroupBox(tr("导出数据"), this);
    checkBox_WorkData = new QCheckBox(tr("数据表"), groupData);
    checkBox_Horizontal1 = new QCheckBox(groupData);
    checkBox_Vertical1 = new QCheckBox(groupData);
    checkBox_Horizontal2 = new QCheckBox(groupData);
    checkBox_Vertical2 = new QCheckBox(groupData);
    const QList<QPair<QCheckBox *, const char *>> boxes = {
        {checkBox_WorkData, "checkBox_WorkData"},       {checkBox_Horizontal1, "checkBox_Horizontal1"},
        {checkBox_Vertical1, "checkBox_Vertical1"},     {checkBox_Horizontal2, "checkBox_Horizontal2"},
        {checkBox_Vertical2, "checkBox_Vertical2"}};
    // The second unit group's analyses on a row of their own, below the first's, so the dialog
    // fits a small screen in every language.
    auto *sheets = new QGridLayout;
    sheets->addWidget(new QLabel(tr("功能表页："), groupData), 0, 0);
    for (int i = 0; i < boxes.size(); ++i) {
        boxes.at(i).first->setObjectName(QLatin1String(boxes.at(i).second));
        sheets->addWidget(boxes.at(i).first, i < 3 ? 0 : 1, i < 3 ? i + 1 : i - 1);
    }
    sheets->setColumnStretch(4, 1);
    comboBox_Format = new QComboBox(groupData);
    comboBox_Format->setObjectName(QStringLiteral("comboBox_Format"));
    comboBox_Format->addItems({tr("PDF"), tr("Excel")});
    auto *format = new QHBoxLayout;
    format->addWidget(new QLabel(tr("导出格式:"), groupData));
    format->addWidget(comboBox_Format);
    format->addStretch();
    auto *dataLayout = new QVBoxLayout(groupData);
    dataLayout->addLayout(sheets);
    dataLayout->addLayout(format);

    auto *groupSegments = new QGroupBox(tr("多段统计"), this);
    auto *segments = new QGridLayout(groupSegments);
    for (int k = 0; k < MaxSegments; ++k) {
        auto *start = new TypedDateTimeEdit(groupSegments);
        start->setObjectName(QStringLiteral("dateTimeEdit_Start%1").arg(k + 1));
        auto *end = new TypedDateTimeEdit(groupSegments);
        end->setObjectName(QStringLiteral("dateTimeEdit_End%1").arg(k + 1));
        for (TypedDateTimeEdit *edit : {start, end})
            edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        auto *remark = new QLineEdit(groupSegments);
        remark->setObjectName(QStringLiteral("lineEdit_Remark%1").arg(k + 1));
        segments->addWidget(new QLabel(tr("时间段："), groupSegments), k, 0);
        segments->addWidget(start, k, 1);
        segments->addWidget(new QLabel(QStringLiteral("-"), groupSegments), k, 2);
        segments->addWidget(end, k, 3);
        segments->addWidget(new QLabel(tr("备注："), groupSegments), k, 4);
        segments->addWidget(remark, k, 5);
        m_Starts.append(start);
        m_Ends.append(end);
        m_Remarks.append(remark);
    }
    segments->setColumnStretch(5, 1);

    comboBox_Segments = new QComboBox(this);
    comboBox_Segments->setObjectName(QStringLiteral("comboBox_Segments"));
    for (int k = 1; k <= MaxSegments; ++k)
        comboBox_Segments->addItem(QString::number(k));
    lineEdit_PrintInterval = new QLineEdit(this);
    lineEdit_PrintInterval->setObjectName(QStringLiteral("lineEdit_PrintInterval"));
    auto *counts = new QHBoxLayout;
    counts->addWidget(new QLabel(tr("统计段数："), this));
    counts->addWidget(comboBox_Segments);
    counts->addWidget(new QLabel(tr("打印间隔："), this));
    counts->addWidget(lineEdit_PrintInterval);
    counts->addStretch();

    lineEdit_Path = new QLineEdit(this);
    lineEdit_Path->setObjectName(QStringLiteral("lineEdit_Path"));
    lineEdit_Path->setEnabled(false);
    pushButton_Route = new QPushButton(tr("选择"), this);
    pushButton_Route->setObjectName(QStringLiteral("pushButton_Route"));
    pushButton_OK = new QPushButton(tr("确定"), this);
    pushButton_OK->setObjectName(QStringLiteral("pushButton_OK"));
    auto *path = new QHBoxLayout;
    path->addWidget(new QLabel(tr("保存路径："), this));
    path->addWidget(lineEdit_Path, 1);
    path->addWidget(pushButton_Route);
    path->addWidget(pushButton_OK);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(groupData);
    layout->addWidget(groupSegments, 1);
    layout->addLayout(counts);
    layout->addLayout(path);

    connect(pushButton_OK, SIGNAL(clicked()), this, SLOT(OK_clicked()));
    connect(comboBox_Segments, SIGNAL(activated(int)), this, SLOT(Segment_clicked(int)));
    connect(pushButton_Route, SIGNAL(clicked()), this, SLOT(Route_clicked()));
    const char *const endSlots[MaxSegments] = {
        SLOT(dateTimeChanged1_clicked(QDateTime)), SLOT(dateTimeChanged2_clicked(QDateTime)),
        SLOT(dateTimeChanged3_clicked(QDateTime)), SLOT(dateTimeChanged4_clicked(QDateTime)),
        SLOT(dateTimeChanged5_clicked(QDateTime)), SLOT(dateTimeChanged6_clicked(QDateTime))};
    for (int k = 0; k < MaxSegments; ++k)
        connect(m_Ends.at(k), SIGNAL(dateTimeChanged(QDateTime)), this, endSlots[k]);
}

void VerificationReportExport::SetParameters(Struct_Export *record)
{
    m_Export = record;
    if (!record)
        return;
    m_Ready = false;
    lineEdit_PrintInterval->setText(record->ScanInterval);
    const int count = qBound(1, record->Segments.toInt(), int(MaxSegments));
    comboBox_Segments->setCurrentIndex(count - 1);
    for (int k = 0; k < MaxSegments; ++k) {
        // One segment spans the project; several are the previous export's, remarks included.
        const bool previous = count > 1 && k < count;
        m_Starts.at(k)->setDateTime(previous ? record->SegmentStart.value(k, record->StartTime) : record->StartTime);
        m_Ends.at(k)->setDateTime(previous ? record->SegmentEnd.value(k, record->EndTime) : record->EndTime);
        m_Remarks.at(k)->setText(previous ? record->SegmentRemark.value(k) : QString());
    }
    enableRows(count);
    m_Ready = true;
    SetAnalysisLabels();
}

void VerificationReportExport::SetAnalysisLabels()
{
    QCheckBox *horizontal[2] = {checkBox_Horizontal1, checkBox_Horizontal2};
    QCheckBox *vertical[2] = {checkBox_Vertical1, checkBox_Vertical2};
    const QString units[2] = {m_Export->Unit1, m_Export->Unit2};
    const int counts[2] = {m_Export->Count1, m_Export->Count2};
    for (int g = 0; g < 2; ++g) {
        const QString quantity = units[g].isEmpty() ? QString() : Tool::unitToQuantity(units[g]);
        horizontal[g]->setVisible(!units[g].isEmpty());
        vertical[g]->setVisible(!units[g].isEmpty());
        horizontal[g]->setEnabled(counts[g] >= 2);
        horizontal[g]->setText(quantity + tr("横向分析表"));
        vertical[g]->setText(quantity + tr("竖向分析表"));
    }
    // Group 2 holds every channel not of unit 1; with several units its figures would mix them.
    if (m_Export->UnitCount > 2) {
        checkBox_Horizontal2->setEnabled(false);
        checkBox_Vertical2->setEnabled(false);
    }
}

void VerificationReportExport::enableRows(int count)
{
    for (int k = 0; k < MaxSegments; ++k) {
        m_Starts.at(k)->setEnabled(k < count);
        m_Ends.at(k)->setEnabled(k < count);
        m_Remarks.at(k)->setEnabled(k < count);
    }
}

void VerificationReportExport::Segment_clicked(int index)
{
    enableRows(index + 1);
}

void VerificationReportExport::endChanged(int row, const QDateTime &end)
{
    if (m_Ready && row + 1 < MaxSegments)
        m_Starts.at(row + 1)->setDateTime(end);
}

void VerificationReportExport::dateTimeChanged1_clicked(const QDateTime &end) { endChanged(0, end); }
void VerificationReportExport::dateTimeChanged2_clicked(const QDateTime &end) { endChanged(1, end); }
void VerificationReportExport::dateTimeChanged3_clicked(const QDateTime &end) { endChanged(2, end); }
void VerificationReportExport::dateTimeChanged4_clicked(const QDateTime &end) { endChanged(3, end); }
void VerificationReportExport::dateTimeChanged5_clicked(const QDateTime &end) { endChanged(4, end); }
void VerificationReportExport::dateTimeChanged6_clicked(const QDateTime &end) { endChanged(5, end); }

void VerificationReportExport::Route_clicked()
{
    const bool pdf = comboBox_Format->currentIndex() == 0;
    const QString path = ChooseSavePath(this, pdf ? QStringLiteral("Image Files (*.pdf)") : QStringLiteral("Image Files (*.xls)"));
    if (!path.isEmpty())
        lineEdit_Path->setText(path);
}

QString VerificationReportExport::ChooseSavePath(QWidget *parent, const QString &filter)
{
    if (const FileChooser &chooser = fileChooser())
        return chooser(parent, filter);
    return QFileDialog::getSaveFileName(parent, tr("打开文件"), QString(), filter);
}

void VerificationReportExport::setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

int VerificationReportExport::PrintStep(const QString &scanSeconds, const QString &printSeconds)
{
    // A text that is no number reads as 0 and is refused with the rest.
    const int scan = secondsToIntervalMs(scanSeconds.toDouble());
    const int print = secondsToIntervalMs(printSeconds.toDouble());
    if (scan < 1 || print < scan || print % scan != 0)
        return 0;
    return print / scan;
}

QString VerificationReportExport::check() const
{
    const QString path = lineEdit_Path->text();
    if (!path.endsWith(comboBox_Format->currentIndex() == 0 ? QLatin1String(".pdf") : QLatin1String(".xls")))
        return tr("路径设置错误!");
    const int count = comboBox_Segments->currentIndex() + 1;
    QList<QDateTime> times;
    for (int k = 0; k < count; ++k) {
        times << m_Starts.at(k)->dateTime() << m_Ends.at(k)->dateTime();
        if (m_Remarks.at(k)->text().isEmpty())
            return tr("备注信息不能为空!");
    }
    if (wholeSecondBefore(times.constFirst(), m_Export->StartTime))
        return tr("开始时间小于开始采集时间!");
    if (wholeSecondBefore(m_Export->EndTime, times.constLast()))
        return tr("结束时间大于结束采集时间!");
    for (int i = 1; i < times.size(); ++i) {
        if (wholeSecondBefore(times.at(i), times.at(i - 1)))
            return tr("分段时间错误!");
    }
    if (PrintStep(m_Export->ScanInterval, lineEdit_PrintInterval->text()) < 1)
        return tr("采集间隔设置错误!");
    return QString();
}

void VerificationReportExport::OK_clicked()
{
    if (!m_Export)
        return;
    // A time still being typed counts as typed; a refused one was said and keeps the dialog open.
    for (int k = 0; k < MaxSegments; ++k) {
        if (!m_Starts.at(k)->finishTyping() || !m_Ends.at(k)->finishTyping())
            return;
    }
    const QString failure = check();
    if (!failure.isEmpty()) {
        inform(failure);
        return;
    }
    const int count = comboBox_Segments->currentIndex() + 1;
    Struct_Export &e = *m_Export;
    e.Segments = QString::number(count);
    e.PrintInterval = lineEdit_PrintInterval->text();
    e.SegmentStart.clear();
    e.SegmentEnd.clear();
    e.SegmentRemark.clear();
    for (int k = 0; k < count; ++k) {
        e.SegmentStart.append(m_Starts.at(k)->dateTime());
        e.SegmentEnd.append(m_Ends.at(k)->dateTime());
        e.SegmentRemark.append(m_Remarks.at(k)->text());
    }
    e.WorkData = checkBox_WorkData->isChecked();
    e.Horizontal1 = checkBox_Horizontal1->isChecked();
    e.Vertical1 = checkBox_Vertical1->isChecked();
    e.Horizontal2 = checkBox_Horizontal2->isChecked();
    e.Vertical2 = checkBox_Vertical2->isChecked();
    // Stored untranslated: the worker compares it with "PDF".
    e.Format = comboBox_Format->currentIndex() == 0 ? QLatin1String(kPdf) : QStringLiteral("Excel");
    e.Path = lineEdit_Path->text();
    accept();
}

void VerificationReportExport::inform(const QString &text)
{
    QMessageBox::information(this, tr("提示"), text, QMessageBox::Ok);
}
