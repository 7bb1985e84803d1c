#pragma once

#include "acquisition/AcquisitionTiming.h"
#include "common/Struct_ParametersChannel.h"
#include "acquisition/Struct_Sample.h"
#include "store/AuditLogQueue.h"
#include "store/Tool.h"

#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class AlarmChecker;
class Collection;
class ParametersDataWriter;
class ParametersCsvWriter;
class ParametersChart;
class ParametersStatistics;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QThread;
class QTimer;
class QVBoxLayout;
class QWaiting;
struct Struct_System;

// The modal dialog that runs one on-line acquisition: it sets up the chosen instruments in a
// worker thread, stores the project records, then reads all instruments once per interval in
// an acquisition thread that corrects and splits every sample, hands it to the writer thread
// that stores it (ParametersDataWriter, so no read waits for the disk) and queues it. A display
// tick in the GUI thread drains the queue into the limit check, the live pages and the CSV batch.
//
// Workers reach the dialog only through the queued *_signals / *_slots pairs; the run state
// (and the button text that shows it) changes only in the GUI thread. Every worker is finished
// before the dialog is destroyed, and an exception that escapes a worker ends its work as a
// failure the user is told of. A sample the database refuses still reaches the pages, the limit
// check and the CSV files; the information line counts such samples and a box warns once per
// run. Audit-log entries are queued, so a database locked by another program never holds the
// window.
class ParametersOnLine : public QDialog
{
    Q_OBJECT

public:
    enum RunState { SettingUp, Acquiring, WaitingForUser, Finished };
    Q_ENUM(RunState)

    explicit ParametersOnLine(QWidget *parent = nullptr);
    ~ParametersOnLine() override;

    // Takes the set-up, builds the pages, starts the set-up thread and the display tick.
    void start(Struct_System *system);

    // Samples of a run from start to end at the interval: the whole span in steps plus the
    // first sample, plus one for a remainder; 2147483647 when end is not after start.
    static qint64 sampleCount(const QDateTime &start, const QDateTime &end, int intervalMs);
    // Seconds to whole milliseconds, truncated toward zero; -1 when below 1 ms or beyond int.
    static int toIntervalMs(double seconds);

    RunState runState() const { return m_State; }
    qint64 plannedSamples() const { return m_SampleCount; }
    int intervalMs() const { return m_IntervalMs; }

signals:
    void SetDialog_signals(bool ok, QString text);
    void Information_signals(QString text);
    void SaveAuditLog_signals(QString text);
    void MessageBox_signals(QString title, QString text);
    void RunState_signals(int state);
    void WaitingStart_signals();
    void StoreRefused_signals();
    void ProjectGone_signals(QString project);

public slots:
    void Information_slots(QString text);
    void SaveAuditLog_slots(QString text);
    void MessageBox_slots(QString title, QString text);
    void SetDialog_slots(bool ok, QString text);
    void RunState_slots(int state);
    void WaitingStart_slots();
    void StoreRefused_slots();
    void ProjectGone_slots(QString project);
    void Display_slots();
    void OK_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildForm();
    void setRunState(RunState state);
    bool refuseSetUp();
    void buildPages();
    void buildProjectChannels();
    bool writeProjectRecords();

    // Worker bodies.
    void setupThread();
    QString setupInstruments();
    void acquisitionThread();
    QString acquire(bool &storeStopped);
    QString endText() const;
    static QString internalErrorText();
    void showAcquiring();
    void showInformation();
    QString failedSamplesText() const;
    bool readAllInstruments(QList<double> &values);
    bool recover(QList<double> &values, QDateTime &time, qint64 &readStart);
    bool reconnectInstrument(int index);
    void closeInstruments();
    bool sleepChecked(int ms);
    void storeSample(const QDateTime &time, const QList<double> &values);

    // Display tick hand-overs to the limit alarms and the daily CSV files.
    void checkLimits(const QList<Struct_Sample> &batch);
    void handOverToCsv(const QList<Struct_Sample> &batch);
    void createCsvFiles();
    void reportCsvFailure();
    void endOfRun();
    void failSetUp(const QString &text);

    // Form.
    QVBoxLayout *verticalLayout = nullptr;
    QTabWidget *tabWidget = nullptr;
    QHBoxLayout *horizontalLayout_OK = nullptr;
    QLabel *label_Information = nullptr;
    QLineEdit *lineEdit_Information = nullptr;
    QPushButton *pushButton_OK = nullptr;

    QString m_Title;

    // Audit-log entries of the run (communication failures, limit alarms); before m_Alarms,
    // which adds to it.
    AuditLogQueue m_AuditLog;
    // Limit check with its alarm settings and mails (e-mail interval, mail switch, recipients,
    // time of the last alarm); made by start.
    std::unique_ptr<AlarmChecker> m_Alarms;

    bool m_DataSave = false;
    // Daily CSV files of a saved project; made once the project records are stored.
    std::unique_ptr<ParametersCsvWriter> m_Csv;
    bool m_CsvWarned = false;

    QMutex m_QueueMutex;            // guards m_Queue
    QTimer *m_DisplayTimer = nullptr;
    QWaiting *m_Waiting = nullptr;
    Struct_System *m_System = nullptr;

    QList<ParametersChart *> m_Charts;
    QList<ParametersStatistics *> m_Statistics;

    std::atomic<bool> m_Stop{false};
    std::atomic<bool> m_WaitUser{false};
    std::atomic<int> m_FailedSamples{0}; // samples the database refused
    // The writer thread that stores the samples, while the acquisition thread samples.
    ParametersDataWriter *m_Writer = nullptr;
    QString m_Information;       // the latest text of the information line (GUI thread)
    QStringList m_GoneProjects;  // projects no longer stored (GUI thread)

    int m_DeviceCount = 0;
    int m_ProjectCount = 0;
    int m_ChannelCount = 0;
    qint64 m_SampleCount = 0;
    int m_IntervalMs = 0;

    QStringList m_ProjectNames;
    QDateTime m_StartTime;
    QString m_StartText;
    double m_Interval = 0.0;

    QList<Collection *> m_Drivers;
    QList<int> m_EnabledCounts;     // enabled channels per instrument, filled by the set-up
    QList<Struct_Sample> m_Queue;

    QList<Tool::Struct_Collection> m_Devices;
    QList<Tool::Struct_Parameters> m_Records;
    QList<Struct_ParametersChannel> m_Channels;
    QList<QList<Struct_ParametersChannel>> m_ProjectChannels;

    RunState m_State = SettingUp;
    bool m_RunEnded = false;
    AcquisitionTiming m_Timing;
    QElapsedTimer m_Clock;          // acquisition clock, used by the acquisition thread only
    QString m_AcquiringText;        // "<start> 采集中...", used by the acquisition thread only
    QThread *m_SetupThread = nullptr;
    QThread *m_AcquisitionThread = nullptr;
};
