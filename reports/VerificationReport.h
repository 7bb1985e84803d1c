#pragma once

#include "reports/ProjectRows.h"
#include "reports/Struct_Export.h"
#include "store/Tool.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QContextMenuEvent;
class QCustomPlotL;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QWaiting;
class TypedDateTimeEdit;
struct Struct_System;

// The reports page: a searchable tree of the stored projects with a check box per project and
// per channel, the information of the selected project, a trend chart of the loaded project's
// checked channels over a settable time range, the tree's menu (view project, view data, simple
// export, delete, merge) and the two report buttons.
//
// Menu entries, double clicks and buttons act on the project that carries the checks. Only a
// load that finds rows replaces the loaded project (record, channel flags, rows, export options,
// chart); viewing the data of another project or exporting it works on its own rows.
//
// The exports run one at a time on a worker thread the page owns, behind the busy dialog; the
// worker works on copies made here and reports through MessageBox_signals. The page waits for a
// running export before it goes.
class VerificationReport : public QWidget
{
    Q_OBJECT
public:
    // The project shown in the chart and exported by the report buttons.
    struct LoadedProject {
        Tool::Struct_Parameters Project;
        QList<bool> Visible;                     // per channel: checked when it was loaded
        std::shared_ptr<const ProjectRows> Rows; // null until a project is loaded
        bool Gone = false;                       // deleted or merged away since it was loaded
    };

    explicit VerificationReport(QWidget *parent = nullptr);
    ~VerificationReport() override;

    void SetSystem(Struct_System *system);

    const LoadedProject &Loaded() const { return m_Loaded; }
    const Struct_Export &ExportOptions() const { return m_Export; }
    QCustomPlotL *Chart() const { return m_Chart; }
    QMenu *Menu() const { return m_Menu; }

    void LoadProjectTree(const QString &filter);
    void LoadProject();
    void ShowProjectInfo();
    void LoadChart();
    void GroupUnits();
    void ShowData();
    void DeleteProject();
    void SimpleExport();
    // Writes the samples of a project to a one-sheet workbook at path: the current project, or
    // (ranged) the loaded one within the display range.
    void DataExport(const QString &path, bool ranged);
    bool isExporting() const { return m_ExportThread != nullptr; }

signals:
    // reason: for a failure of the file itself, its path and the system's reason.
    void MessageBox_signals(bool ok, QString reason);

public slots:
    void Query_clicked();
    void DisplayRange_clicked();
    void CalibrationReport_clicked();
    void TimeOut_clicked();
    void onGrpMenuTriggered(QAction *action);
    void treeItemChanged(QTreeWidgetItem *item, int column);
    void treeDoubleChanged(QTreeWidgetItem *item, int column);
    void MessageBox_slots(bool ok, QString reason = QString());

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // What a segmented export needs, copied in the GUI thread before the worker starts.
    struct ReportJob {
        Tool::Struct_Parameters Project;
        std::shared_ptr<const ProjectRows> Rows;
        QList<bool> Visible;
        Struct_Export Options;
        QImage Chart;
        int Precision = 2;
        QString Version;
    };
    // The worker's body: rows thinned to the print interval, then the chosen writer. On failure,
    // reason gets the writer's file error (path and system reason), when the file failed.
    static bool therad_Export(const ReportJob &job, QString &reason);
    static bool ExportExcel(const ReportJob &job, ProjectRows rows, QString &reason);
    static bool ExportPDF(const ReportJob &job, ProjectRows rows, QString &reason);
    template <class Writer>
    static void SetReportData(Writer &writer, const ReportJob &job, ProjectRows rows);
    // Shows the busy dialog and runs body on the export thread; its result reaches
    // MessageBox_slots with the reason body gave, a failure also when the thread cannot be started.
    void startExport(const std::function<bool(QString &reason)> &body);

    void setupUi();
    // Index of the first project item that is checked or partially checked; -1 when none is.
    int checkedProject() const;
    // The checked project becomes the current project with its channel flags; false when none.
    bool selectProject();
    // The current project's rows, read afresh; null when the query fails (which is reported).
    std::shared_ptr<ProjectRows> readRows();
    // The store could not be read: a warning with the database's reason on a second line.
    void warnReadFailure();
    // Ends typing in the display-range edits: false when a typed time was refused.
    bool finishRangeTyping();
    // True when a project is loaded and still stored, so the report buttons may export it.
    bool exportable() const;
    void updateExportButtons();
    void inform(const QString &title, const QString &text);

    QString m_Information;
    QString m_Warning;
    Struct_System *m_System = nullptr;

    QLineEdit *lineEdit_Query = nullptr;
    QPushButton *pushButton_Query = nullptr;
    QTreeWidget *treeWidget = nullptr;
    QPlainTextEdit *plainTextEdit_Information = nullptr;
    QPushButton *pushButton_TimeOut = nullptr;
    QPushButton *pushButton_CalibrationReport = nullptr;
    QVBoxLayout *verticalLayout_Chart = nullptr;
    TypedDateTimeEdit *dateTimeEdit_Start = nullptr;
    TypedDateTimeEdit *dateTimeEdit_End = nullptr;
    QPushButton *pushButton_DisplayRange = nullptr;
    QCustomPlotL *m_Chart = nullptr;

    QMenu *m_Menu = nullptr;
    QAction *m_ActionViewProject = nullptr;
    QAction *m_ActionViewData = nullptr;
    QAction *m_ActionSimpleExport = nullptr;
    QAction *m_ActionDelete = nullptr;
    QAction *m_ActionMerge = nullptr;

    QList<Tool::Struct_Parameters> m_Projects; // entry k belongs to top-level item k
    Tool::Struct_Parameters m_Project;         // the current (last selected) project
    QList<bool> m_Visible;                     // its channel flags
    LoadedProject m_Loaded;
    Struct_Export m_Export;
    QThread *m_ExportThread = nullptr;
    QWaiting *m_Waiting = nullptr;
};
