#include "reports/VerificationReport.h"

#include "common/Struct_System.h"
#include "common/WorkerGuard.h"
#include "reports/ReportData.h"
#include "reports/SimpleDataExport.h"
#include "reports/TypedDateTimeEdit.h"
#include "reports/VerificationMerge.h"
#include "reports/VerificationReportData.h"
#include "reports/VerificationReportExcel.h"
#include "reports/VerificationReportExport.h"
#include "reports/VerificationReportPDF.h"
#include "widgets/QCustomPlotL.h"
#include "widgets/QWaiting.h"
#include "common/WithReason.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSqlDatabase>
#include <QTextCursor>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char *const kRangeFormat = "yyyy-MM-dd HH:mm:ss";

// The wait cursor while a project's rows are read in the GUI thread.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

void setChannelStates(QTreeWidgetItem *project, Qt::CheckState state)
{
    for (int c = 0; c < project->childCount(); ++c)
        project->child(c)->setCheckState(0, state);
}

} // namespace

VerificationReport::VerificationReport(QWidget *parent)
    : QWidget(parent)
{
    m_Information = tr("提示");
    m_Warning = tr("警告");
    setupUi();

    m_Menu = new QMenu(this);
    m_Menu->setObjectName(QStringLiteral("menu_Project"));
    m_ActionViewProject = m_Menu->addAction(tr("查看项目"));
    m_ActionViewData = m_Menu->addAction(tr("查看数据"));
    m_ActionSimpleExport = m_Menu->addAction(tr("简单导出"));
    m_ActionDelete = m_Menu->addAction(tr("删除项目"));
    m_ActionMerge = m_Menu->addAction(tr("项目合并"));
    connect(m_Menu, SIGNAL(triggered(QAction *)), this, SLOT(onGrpMenuTriggered(QAction *)));
    connect(this, SIGNAL(MessageBox_signals(bool,QString)), this, SLOT(MessageBox_slots(bool,QString)));

    LoadProjectTree(QString());
}

VerificationReport::~VerificationReport()
{
    // A running export finishes first; its result, still queued, goes with the page.
    if (m_ExportThread) {
        m_ExportThread->wait();
        delete m_ExportThread;
    }
}

void VerificationReport::setupUi()
{
    setObjectName(QStringLiteral("VerificationReport"));
    setWindowTitle(QStringLiteral("VerificationReport"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(1133, 654);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    auto *left = new QSplitter(Qt::Vertical, splitter);
    left->setChildrenCollapsible(false);

    auto *groupProjects = new QGroupBox(tr("项目列表"), left);
    lineEdit_Query = new QLineEdit(groupProjects);
    lineEdit_Query->setObjectName(QStringLiteral("lineEdit_Query"));
    pushButton_Query = new QPushButton(tr("查询"), groupProjects);
    pushButton_Query->setObjectName(QStringLiteral("pushButton_Query"));
    treeWidget = new QTreeWidget(groupProjects);
    treeWidget->setObjectName(QStringLiteral("treeWidget"));
    auto *projectsLayout = new QGridLayout(groupProjects);
    projectsLayout->addWidget(lineEdit_Query, 0, 0);
    projectsLayout->addWidget(pushButton_Query, 0, 1);
    projectsLayout->addWidget(treeWidget, 1, 0, 1, 2);

    auto *groupInformation = new QGroupBox(tr("项目信息"), left);
    plainTextEdit_Information = new QPlainTextEdit(groupInformation);
    plainTextEdit_Information->setObjectName(QStringLiteral("plainTextEdit_Information"));
    plainTextEdit_Information->setReadOnly(true);
    pushButton_TimeOut = new QPushButton(tr("分段导出"), groupInformation);
    pushButton_TimeOut->setObjectName(QStringLiteral("pushButton_TimeOut"));
    pushButton_CalibrationReport = new QPushButton(tr("报表生成"), groupInformation);
    pushButton_CalibrationReport->setObjectName(QStringLiteral("pushButton_CalibrationReport"));
    for (QPushButton *button : {pushButton_TimeOut, pushButton_CalibrationReport}) {
        button->setIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/ValidationReport.png")));
        button->setIconSize(QSize(60, 60));
        button->setEnabled(false);
    }
    // One above the other, so the page fits a small screen in every language.
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(pushButton_TimeOut);
    buttons->addWidget(pushButton_CalibrationReport);
    auto *informationLayout = new QVBoxLayout(groupInformation);
    informationLayout->addWidget(plainTextEdit_Information);
    informationLayout->addLayout(buttons);

    auto *groupChart = new QGroupBox(tr("趋势图"), splitter);
    verticalLayout_Chart = new QVBoxLayout;
    verticalLayout_Chart->setObjectName(QStringLiteral("verticalLayout_Chart"));
    dateTimeEdit_Start = new TypedDateTimeEdit(groupChart);
    dateTimeEdit_Start->setObjectName(QStringLiteral("dateTimeEdit_Start"));
    dateTimeEdit_End = new TypedDateTimeEdit(groupChart);
    dateTimeEdit_End->setObjectName(QStringLiteral("dateTimeEdit_End"));
    for (TypedDateTimeEdit *edit : {dateTimeEdit_Start, dateTimeEdit_End})
        edit->setDisplayFormat(QLatin1String(kRangeFormat));
    pushButton_DisplayRange = new QPushButton(tr("设定"), groupChart);
    pushButton_DisplayRange->setObjectName(QStringLiteral("pushButton_DisplayRange"));
    auto *range = new QHBoxLayout;
    range->addWidget(new QLabel(tr("时间设置："), groupChart));
    range->addWidget(dateTimeEdit_Start);
    range->addWidget(new QLabel(QStringLiteral("-"), groupChart));
    range->addWidget(dateTimeEdit_End);
    range->addWidget(pushButton_DisplayRange);
    range->addStretch();
    auto *chartLayout = new QVBoxLayout(groupChart);
    chartLayout->addLayout(verticalLayout_Chart, 1);
    chartLayout->addLayout(range);

    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    treeWidget->setColumnCount(1);
    treeWidget->setHeaderLabel(tr("项目列表"));

    connect(pushButton_Query, SIGNAL(clicked()), this, SLOT(Query_clicked()));
    connect(pushButton_DisplayRange, SIGNAL(clicked()), this, SLOT(DisplayRange_clicked()));
    connect(treeWidget, SIGNAL(itemClicked(QTreeWidgetItem *, int)), this, SLOT(treeItemChanged(QTreeWidgetItem *, int)));
    connect(treeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem *, int)), this,
            SLOT(treeDoubleChanged(QTreeWidgetItem *, int)));
    connect(pushButton_TimeOut, SIGNAL(clicked()), this, SLOT(TimeOut_clicked()));
    connect(pushButton_CalibrationReport, SIGNAL(clicked()), this, SLOT(CalibrationReport_clicked()));
}

void VerificationReport::SetSystem(Struct_System *system)
{
    m_System = system;
    if (!system)
        return;
    if (!system->Switch_ExportADvanced)
        pushButton_TimeOut->hide();
    if (!m_Chart) {
        m_Chart = new QCustomPlotL;
        m_Chart->setObjectName(QStringLiteral("chart"));
        verticalLayout_Chart->addWidget(m_Chart);
    }
    m_Chart->SetDecimals(system->DataAccuracy);
}

void VerificationReport::inform(const QString &title, const QString &text)
{
    QMessageBox::information(this, title, text, QMessageBox::Ok);
}

// ---------------------------------------------------------------------------------------
// Project tree

void VerificationReport::Query_clicked()
{
    LoadProjectTree(lineEdit_Query->text());
}

void VerificationReport::LoadProjectTree(const QString &filter)
{
    m_Projects.clear();
    treeWidget->clear();
    treeWidget->setColumnCount(1);
    treeWidget->setHeaderLabel(tr("项目列表"));

    // The filter is matched as text, bound into the query.
    QList<Tool::Struct_Parameters> stored;
    if (!Tool::queryParameters(stored, filter)) {
        warnReadFailure();
        return;
    }
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    // The project stored last comes first.
    for (auto it = stored.crbegin(); it != stored.crend(); ++it) {
        m_Projects.append(*it);
        auto *project = new QTreeWidgetItem(treeWidget);
        project->setText(0, it->StartTime + QLatin1Char('\n') + it->Name);
        project->setFlags(flags);
        project->setCheckState(0, Qt::Unchecked);
        for (const QString &label : it->CHName) {
            auto *channel = new QTreeWidgetItem(project);
            channel->setText(0, label);
            channel->setFlags(flags);
            channel->setCheckState(0, Qt::Unchecked);
        }
    }
}

void VerificationReport::treeItemChanged(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    if (!item)
        return;
    QTreeWidgetItem *project = item->parent() ? item->parent() : item;

    // Only one project carries checks at a time.
    if (item->checkState(0) == Qt::Checked) {
        for (int i = 0; i < treeWidget->topLevelItemCount(); ++i) {
            QTreeWidgetItem *other = treeWidget->topLevelItem(i);
            if (other != project && other->checkState(0) != Qt::Unchecked) {
                other->setCheckState(0, Qt::Unchecked);
                setChannelStates(other, Qt::Unchecked);
            }
        }
    }
    if (project->childCount() == 0)
        return;

    if (item != project) {
        int checked = 0;
        for (int c = 0; c < project->childCount(); ++c) {
            if (project->child(c)->checkState(0) == Qt::Checked)
                ++checked;
        }
        project->setCheckState(0, checked == 0                      ? Qt::Unchecked
                                  : checked == project->childCount() ? Qt::Checked
                                                                     : Qt::PartiallyChecked);
    } else if (item->checkState(0) != Qt::PartiallyChecked) {
        setChannelStates(project, item->checkState(0));
    }
}

void VerificationReport::treeDoubleChanged(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(item)
    Q_UNUSED(column)
    LoadProject();
}

int VerificationReport::checkedProject() const
{
    for (int i = 0; i < treeWidget->topLevelItemCount() && i < m_Projects.size(); ++i) {
        if (treeWidget->topLevelItem(i)->checkState(0) != Qt::Unchecked)
            return i;
    }
    return -1;
}

bool VerificationReport::selectProject()
{
    const int index = checkedProject();
    if (index < 0)
        return false;
    m_Project = m_Projects.at(index);
    m_Visible.clear();
    const QTreeWidgetItem *project = treeWidget->topLevelItem(index);
    for (int c = 0; c < project->childCount(); ++c)
        m_Visible.append(project->child(c)->checkState(0) == Qt::Checked);
    return true;
}

std::shared_ptr<ProjectRows> VerificationReport::readRows()
{
    auto rows = std::make_shared<ProjectRows>(m_Project.CHName.size());
    ProjectRows *target = rows.get();
    bool read = false;
    {
        WaitCursor wait;
        read = Tool::readParametersData(m_Project.Name, [target](qint64 time, const QString &values) {
            target->appendJoined(time, values);
        });
    }
    if (!read) {
        warnReadFailure();
        return nullptr;
    }
    return rows;
}

void VerificationReport::warnReadFailure()
{
    const QString reason = Tool::lastFailureText();
    inform(m_Warning, withReason(tr("读取数据库失败！"), reason));
}

// ---------------------------------------------------------------------------------------
// Loading and showing

void VerificationReport::LoadProject()
{
    if (!selectProject())
        return;
    std::shared_ptr<ProjectRows> rows = readRows();
    if (!rows)
        return;
    if (rows->isEmpty()) {
        inform(m_Information, tr("当前项目没有采集的数据!"));
        return;
    }
    m_Loaded.Project = m_Project;
    m_Loaded.Visible = m_Visible;
    m_Loaded.Rows = std::move(rows);
    m_Loaded.Gone = false;
    ShowProjectInfo();
    LoadChart();
    GroupUnits();
    updateExportButtons();
}

void VerificationReport::ShowProjectInfo()
{
    const Tool::Struct_Parameters &p = m_Project;
    QStringList lines;
    lines << tr("项目名称:") + p.Name << tr("创建时间:") + p.CreateTime
          << tr("扫描间隔：") + p.Interval + QLatin1Char('s')
          << tr("通道数量：") + QString::number(m_Visible.size()) << QString() << tr("使用的采集设备");
    for (int i = 0; i < p.Model.size(); ++i) {
        lines << tr("型号：") + p.Model.at(i) << tr("序列号：") + p.Serial.value(i)
              << tr("通讯方式：") + Tool::toDisplayText(p.SignalMode.value(i))
              << QStringLiteral("Signal1：") + p.Signal1.value(i) << QStringLiteral("Signal2：") + p.Signal2.value(i)
              << tr("扫描速率：") + Tool::toDisplayText(p.Rate.value(i)) << QString();
    }
    plainTextEdit_Information->clear();
    for (const QString &line : qAsConst(lines))
        plainTextEdit_Information->appendPlainText(line);
    plainTextEdit_Information->moveCursor(QTextCursor::Start);
}

void VerificationReport::LoadChart()
{
    const ProjectRows *rows = m_Loaded.Rows.get();
    if (!rows || rows->isEmpty())
        return;
    dateTimeEdit_Start->setDateTime(rows->dateTime(0));
    dateTimeEdit_End->setDateTime(rows->dateTime(rows->rowCount() - 1));
    if (!m_Chart)
        return;

    m_Chart->clearGraphs();
    const Tool::Struct_Parameters &p = m_Loaded.Project;
    // Distinct units of the channels in channel order: the first channel's unit goes on the left
    // axis. A stored unit beyond the last channel belongs to no channel.
    QStringList units;
    for (const QString &unit : p.CHDisplayUnit.mid(0, p.CHName.size())) {
        if (!units.contains(unit))
            units.append(unit);
    }
    QStringList names;
    QList<bool> onLeft;
    QList<int> channels;
    for (int channel = 0; channel < p.CHName.size(); ++channel) {
        if (!m_Loaded.Visible.value(channel, false))
            continue;
        names.append(p.CHName.at(channel));
        onLeft.append(p.CHDisplayUnit.value(channel) == units.value(0));
        channels.append(channel);
    }
    // More than two units, or no channel shown: the chart refuses and stays empty.
    if (!m_Chart->SetChannels(names, units, onLeft, true)) {
        m_Chart->replot();
        return;
    }

    // Only rows with one value per channel are drawn. The keys are the same whatever the time
    // zone; UTC times give them without a local-time conversion per point.
    QList<QDateTime> times;
    QVector<int> complete;
    times.reserve(rows->rowCount());
    complete.reserve(rows->rowCount());
    for (int r = 0; r < rows->rowCount(); ++r) {
        if (rows->isComplete(r)) {
            times.append(QDateTime::fromMSecsSinceEpoch(rows->time(r), Qt::UTC));
            complete.append(r);
        }
    }
    // Filled while hidden, the chart rescales and draws once when shown again, not once per graph.
    const bool shown = m_Chart->isVisibleTo(this);
    m_Chart->hide();
    for (int k = 0; k < channels.size(); ++k) {
        QList<double> values;
        values.reserve(complete.size());
        for (int r : qAsConst(complete)) {
            const double value = rows->value(r, channels.at(k));
            // An infinite value has no place on the axis and would stop its rescaling: a gap.
            values.append(std::isfinite(value) ? value : qQNaN());
        }
        m_Chart->SetAllData(k, times, values);
    }
    m_Chart->setVisible(shown);
}

void VerificationReport::GroupUnits()
{
    const ProjectRows *rows = m_Loaded.Rows.get();
    if (!rows || rows->isEmpty())
        return;
    // The unit groups of the shown channels, as the report writers form them.
    const QStringList displayUnits = m_Loaded.Project.CHDisplayUnit.mid(0, m_Loaded.Project.CHName.size());
    const QStringList units = ReportData::groupUnits(displayUnits, m_Loaded.Visible);
    QStringList distinct;
    int shown = 0;
    int group1 = 0;
    for (int c = 0; c < displayUnits.size(); ++c) {
        if (!m_Loaded.Visible.value(c, true))
            continue;
        const QString &unit = displayUnits.at(c);
        ++shown;
        group1 += unit == units.value(0) ? 1 : 0;
        if (!distinct.contains(unit))
            distinct.append(unit);
    }
    m_Export.ScanInterval = m_Loaded.Project.Interval;
    m_Export.Unit1 = units.value(0);
    m_Export.Unit2 = units.value(1);
    m_Export.Count1 = group1;
    m_Export.Count2 = shown - group1;
    m_Export.UnitCount = distinct.size();
    m_Export.Segments = QStringLiteral("1");
    m_Export.StartTime = rows->dateTime(0);
    m_Export.EndTime = rows->dateTime(rows->rowCount() - 1);
}

bool VerificationReport::finishRangeTyping()
{
    return dateTimeEdit_Start->finishTyping() && dateTimeEdit_End->finishTyping();
}

void VerificationReport::DisplayRange_clicked()
{
    if (!finishRangeTyping())
        return;
    if (m_Chart)
        m_Chart->SetTimeRange(dateTimeEdit_Start->dateTime(), dateTimeEdit_End->dateTime());
}

void VerificationReport::ShowData()
{
    if (!selectProject())
        return;
    // The loaded project's rows serve as they are; any other project is read on its own.
    std::shared_ptr<const ProjectRows> rows;
    if (m_Loaded.Rows && !m_Loaded.Gone && m_Loaded.Project.Name == m_Project.Name)
        rows = m_Loaded.Rows;
    else
        rows = readRows();
    if (!rows)
        return;
    if (rows->isEmpty()) {
        inform(m_Information, tr("当前项目没有采集的数据!"));
        return;
    }
    ShowProjectInfo();
    VerificationReportData dialog;
    dialog.SetData(m_System, m_Project, m_Visible, rows);
    dialog.open();
    dialog.exec();
}

// ---------------------------------------------------------------------------------------
// Menu

void VerificationReport::contextMenuEvent(QContextMenuEvent *event)
{
    if (treeWidget->topLevelItemCount() == 0 || !treeWidget->currentItem()
        || !treeWidget->rect().contains(treeWidget->mapFromGlobal(event->globalPos())))
        return;
    m_Menu->exec(event->globalPos());
    event->accept();
}

void VerificationReport::onGrpMenuTriggered(QAction *action)
{
    if (action == m_ActionViewProject) {
        LoadProject();
    } else if (action == m_ActionViewData) {
        ShowData();
    } else if (action == m_ActionSimpleExport) {
        SimpleExport();
    } else if (action == m_ActionDelete) {
        DeleteProject();
    } else if (action == m_ActionMerge) {
        const int index = checkedProject();
        if (index < 0)
            return;
        VerificationMerge dialog;
        // Modal from the start: exec() cannot make a dialog modal that is already shown.
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.SetProject(index, m_Projects);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (m_Loaded.Rows && dialog.MergedNames().contains(m_Loaded.Project.Name)) {
            m_Loaded.Gone = true;
            updateExportButtons();
        }
        LoadProjectTree(QString());
    }
}

void VerificationReport::DeleteProject()
{
    const int index = checkedProject();
    if (index < 0) {
        inform(m_Information, tr("请先选择需要删除的项目!"));
        return;
    }
    // The record and its samples go together or not at all.
    const QString name = m_Projects.at(index).Name;
    bool deleted = false;
    {
        // Another program's write lock is waited for a moment only: the window waits with it.
        const Tool::LockWait wait(Tool::GuiLockWaitMs);
        deleted = Tool::deleteProject(name);
    }
    if (!deleted) {
        inform(m_Warning, Tool::withFailureReason(tr("删除数据失败!")));
    } else if (m_Loaded.Rows && m_Loaded.Project.Name == name) {
        // The chart and the information keep showing it, but it can no longer be exported.
        m_Loaded.Gone = true;
        updateExportButtons();
    }
    LoadProjectTree(QString());
}

// ---------------------------------------------------------------------------------------
// Exports

bool VerificationReport::exportable() const
{
    return m_Loaded.Rows && !m_Loaded.Gone;
}

void VerificationReport::updateExportButtons()
{
    pushButton_TimeOut->setEnabled(exportable());
    pushButton_CalibrationReport->setEnabled(exportable());
}

void VerificationReport::SimpleExport()
{
    if (!selectProject())
        return;
    ShowProjectInfo();
    const QString path = VerificationReportExport::ChooseSavePath(this, QStringLiteral("Image Files (*.xls)"));
    if (!path.isEmpty())
        DataExport(path, false);
}

void VerificationReport::CalibrationReport_clicked()
{
    if (!exportable() || m_ExportThread || !finishRangeTyping())
        return;
    const QString path = VerificationReportExport::ChooseSavePath(this, QStringLiteral("Image Files (*.xls)"));
    if (!path.isEmpty())
        DataExport(path, true);
}

void VerificationReport::DataExport(const QString &path, bool ranged)
{
    if (m_ExportThread)
        return;
    // Project, channels and range are copied here; the worker reads the samples itself.
    const int precision = m_System ? m_System->DataAccuracy : 2;
    auto writer = ranged ? std::make_shared<SimpleDataExport>(m_Loaded.Project, m_Loaded.Visible, precision)
                         : std::make_shared<SimpleDataExport>(m_Project, m_Visible, precision);
    // The range is the loaded project's display range, as the edits show it now.
    if (ranged)
        writer->SetRange(dateTimeEdit_Start->dateTime(), dateTimeEdit_End->dateTime());
    const QString database = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).databaseName();
    startExport([writer, path, database](QString &reason) {
        const bool written = writer->Write(path, database);
        // Not the file: the reading failed, in the database's words (this thread's last failure).
        reason = written ? QString() : writer->fileError().isEmpty() ? Tool::lastFailureText() : writer->fileError();
        return written;
    });
}

void VerificationReport::TimeOut_clicked()
{
    if (!exportable() || m_ExportThread)
        return;
    // The chart as it is displayed, range included; pictures are made in the GUI thread.
    const QImage chart = m_Chart ? m_Chart->grab().toImage() : QImage();
    VerificationReportExport dialog;
    dialog.SetParameters(&m_Export);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto job = std::make_shared<ReportJob>();
    job->Project = m_Loaded.Project;
    job->Rows = m_Loaded.Rows;
    job->Visible = m_Loaded.Visible;
    job->Options = m_Export;
    job->Chart = chart;
    job->Precision = m_System ? m_System->DataAccuracy : 2;
    job->Version = m_System ? m_System->Version : QString();
    startExport([job](QString &reason) { return therad_Export(*job, reason); });
}

void VerificationReport::startExport(const std::function<bool(QString &reason)> &body)
{
    m_Waiting = new QWaiting(this);
    m_Waiting->setText(tr("数据导出中，请稍等..."));
    m_Waiting->show();
    m_ExportThread = QThread::create([this, body] {
        QString reason;
        const bool ok = runGuarded("report export", [&] { return body(reason); });
        emit MessageBox_signals(ok, ok ? QString() : reason);
    });
    m_ExportThread->start();
    // A thread that could not be started neither runs nor has finished.
    if (!m_ExportThread->isRunning() && !m_ExportThread->isFinished()) {
        qWarning() << "The export thread could not be started";
        MessageBox_slots(false);
    }
}

void VerificationReport::MessageBox_slots(bool ok, QString reason)
{
    if (m_ExportThread) {
        m_ExportThread->wait();
        delete m_ExportThread;
        m_ExportThread = nullptr;
    }
    if (m_Waiting) {
        m_Waiting->hide();
        delete m_Waiting;
        m_Waiting = nullptr;
    }
    // A file that could not be written names its path and the system's reason on a second line.
    inform(m_Information, ok ? tr("报表生成成功!")
                             : withReason(tr("数据异常，生成报表失败!"), reason));
}

bool VerificationReport::therad_Export(const ReportJob &job, QString &reason)
{
    // Every step-th row from the first; the dialog accepted only whole steps of at least 1.
    const int step = qMax(1, VerificationReportExport::PrintStep(job.Options.ScanInterval, job.Options.PrintInterval));
    ProjectRows rows = job.Rows ? job.Rows->thinned(step) : ProjectRows(job.Project.CHName.size());
    return job.Options.Format == QLatin1String("PDF") ? ExportPDF(job, std::move(rows), reason)
                                                      : ExportExcel(job, std::move(rows), reason);
}

template <class Writer>
void VerificationReport::SetReportData(Writer &writer, const ReportJob &job, ProjectRows rows)
{
    const Struct_Export &o = job.Options;
    // The sections in the order of the options; the first Segments entries of the segment lists.
    const QList<bool> include = {o.WorkData, o.Horizontal1, o.Vertical1, o.Horizontal2, o.Vertical2};
    const int n = qMax(0, o.Segments.toInt());
    writer.SetData(job.Precision, include, job.Project, std::move(rows), job.Visible, o.SegmentStart.mid(0, n),
                   o.SegmentEnd.mid(0, n), o.SegmentRemark.mid(0, n), job.Version);
}

bool VerificationReport::ExportExcel(const ReportJob &job, ProjectRows rows, QString &reason)
{
    VerificationReportExcel writer(job.Options.Path);
    SetReportData(writer, job, std::move(rows));
    const bool written = writer.WriteCover() && writer.WriteChart(job.Chart) && writer.WriteAnalysis() && writer.Save();
    reason = writer.fileError();
    return written;
}

bool VerificationReport::ExportPDF(const ReportJob &job, ProjectRows rows, QString &reason)
{
    VerificationReportPDF writer(job.Options.Path);
    SetReportData(writer, job, std::move(rows));
    const bool written = writer.WriteCover() && writer.WriteAnalysis() && writer.WriteChart(job.Chart);
    // The document is always ended: complete, it replaces the file; otherwise nothing changes.
    const bool ended = writer.EndDocument();
    reason = writer.fileError();
    return written && ended;
}
