#pragma once

#include "calibration/CalibrationTiming.h"
#include "comm/Struct_Channel.h"
#include "store/Tool.h"

#include <QDialog>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class Collection;
class Criteria;
class Field;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;
struct Struct_System;

Q_DECLARE_METATYPE(Tool::Struct_Calibration)
Q_DECLARE_METATYPE(QList<Tool::Struct_CalibrationData>)

// The modal dialog in which a calibration run takes place. It configures the channels under
// calibration to measure resistance and collects, for each set point, one reference temperature
// and one reading per channel; after every point the whole run is stored, and at the end the
// sensor coefficients are fitted, stored and written to the instrument.
//
// Automatic run (a temperature source is named): a worker drives the source through the set points,
// waits for stability and the stability delay, and reads; "结束" asks it to stop. Manual run: the
// user brings the sensors to temperature and presses one button per point ("重采" takes a point
// again); the reference is read from the thermometer or typed in; "结束" fits, stores and closes.
//
// One worker runs at a time, on a thread the dialog owns and waits for before it goes. Workers
// touch no widget: they report through the queued *_signals / *_slots pairs, and the buttons
// follow the run's state once a worker has finished. The dialog refuses to close (window close
// and Escape) while the instrument is open, a run is in progress or a worker runs.
//
// Saves run in the GUI thread and wait only about a second for another program's write lock. A
// run that could not be stored stays pending: it is tried again every few seconds, with the next
// save and when the window closes, and every state of it that a save could not store is written
// to the day's log, so that after a crash the database or the log holds it. Closing with the run
// still pending says where it is kept (the log); when neither the database nor the log takes it,
// the first close is refused with both reasons so that the user can make room, and a second
// close gives the run up.
class CalibrationWork : public QDialog
{
    Q_OBJECT

public:
    explicit CalibrationWork(QWidget *parent = nullptr);
    ~CalibrationWork() override;

    // Takes the set-up from Struct_System and starts the run (automatic) or the opening (manual).
    void Start(Struct_System *system);

    // A worker runs (set before it starts, cleared once its thread has finished).
    bool isBusy() const { return m_Busy; }
    // A run is in progress.
    bool isRunning() const { return m_State; }
    // The last save could not be stored; the run is tried again (see above).
    bool isSavePending() const { return m_Pending; }


signals:
    void Save_signals(Tool::Struct_Calibration run, QList<Tool::Struct_CalibrationData> records);
    void SetButton_signals();
    void TableItem_signals(int row, bool stable);
    void MessageBox_signals(QString title, QString text);
    void PlainTextEdit_signals(QString text);
    void TableWidgetDisplay_signals(QStringList row);

public slots:
    void Temp1_Clicked();
    void Temp2_Clicked();
    void Temp3_Clicked();
    void Temp4_Clicked();
    void Temp5_Clicked();
    void Temp6_Clicked();
    void Temp7_Clicked();
    void Temp8_Clicked();
    void Temp9_Clicked();
    void Close_Clicked();
    void reject() override;

    void PlainTextEdit_slots(QString text);
    void MessageBox_slots(QString title, QString text);
    void TableItem_slots(int row, bool stable);
    void TableWidgetDisplay_slots(QStringList row);
    void Save_slots(Tool::Struct_Calibration run, QList<Tool::Struct_CalibrationData> records);
    void SetButton_slots();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void Worker_finished();
    // The retry timer: one more attempt to keep a pending run.
    void RetryPending();

private:
    void buildForm();
    void InitTable();
    void InitDevice();
    bool OpenDevice(QString &error);
    bool OpenReference(QString &error);
    bool SetFieldTemp(int index, double temp, QString &error);
    // "the connection was lost" when the source's link is down, else empty.
    QString LinkLost() const;
    void Calculate();
    bool FitCVD(int index);
    bool FitRT(int index);
    bool FitTR(int index);
    bool FitITS90(int index);
    bool Fit(int index, bool (*method)(Tool::Struct_CalibrationData &));

    // Workers.
    void therad_Calibration();
    void therad_Open();
    void therad_Collection(int index);
    void therad_Close();
    void startWorker(const char *name, const std::function<void()> &body);

    // Worker helpers.
    bool ReadPoint(double &ref, QList<double> &values, QString &error);
    void AddPoint(int index, double ref, const QList<double> &values);
    // Shows point index (reference and readings) at the top of the data table.
    void ShowPoint(int index);
    void WriteChannels();
    void CloseDevices();
    // One attempt to store the run as last handed to Save_slots, waiting at most lockWaitMs for
    // another program's lock; false when the store refused it (m_Locked: because of a lock,
    // m_StoreFailure: the database's words), and the retry timer then runs.
    bool StoreRun(int lockWaitMs = Tool::GuiLockWaitMs);
    // KeepPending, telling the user when the database did not take the run.
    void SaveLatest();
    // A pending run: one more save, else its latest state into the day's log unless already there.
    // True when the database or the log holds it.
    bool KeepPending(int lockWaitMs = Tool::GuiLockWaitMs);
    // Closing: whether the window may close, after telling the user where a pending run is kept,
    // or that it could not be kept (refused once, then given up).
    bool KeptOnClosing();
    // Writes the run as last handed to Save_slots to the day's log (m_LogState, m_LogFile, m_LogError).
    void LogRun();
    // The log's reason for a line of a box: its file and the system's words.
    QString LogFailure() const;
    void EmitSave();
    void Log(const QString &text);
    // Sleeps one poll; false when the run flag has been cleared.
    bool Poll();

    // GUI side.
    void TempClicked(int index);
    void RefreshButtons();
    bool RefuseClose();
    int PointsTaken() const;

    // Form.
    QTableWidget *tableWidget_Data = nullptr;
    QTableWidget *tableWidget_Dot = nullptr;
    QPlainTextEdit *plainTextEdit = nullptr;
    QPushButton *pushButton_Close = nullptr;

    QString m_Title;
    QString m_Retake;
    int m_Delay = 0;
    bool m_Auto = false;
    bool m_HasCriteria = false;
    std::atomic<bool> m_State{false};
    double m_CriteriaTemp = 0.0;
    QList<double> m_Temps;
    Field *m_Field = nullptr;
    Criteria *m_Criteria = nullptr;
    bool m_CriteriaIsSource = false;   // the reference reads the source's own temperature
    // The instrument on the registered address reported another serial number and was closed at
    // once: nothing is written to it and nothing of the run is fitted or stored.
    std::atomic<bool> m_WrongInstrument{false};
    Struct_System *m_System = nullptr;
    Collection *m_Collection = nullptr;
    QList<QPushButton *> m_Buttons;
    QList<Struct_Channel> m_Channels;
    Tool::Struct_Calibration m_Calibration;
    Tool::Struct_Collection m_Device;
    QList<Tool::Struct_CalibrationData> m_Data;

    // Connections of the source and the reference, copied from the set-up.
    QString m_FieldSignalMode, m_FieldSignal1, m_FieldSignal2;
    QString m_CriteriaSignalMode, m_CriteriaSignal1, m_CriteriaSignal2;

    CalibrationTiming m_Timing;
    QThread *m_Worker = nullptr;
    bool m_Busy = false;      // GUI thread only
    bool m_Ended = false;     // the run is over (or never started); GUI thread only
    int m_Done = 0;           // points taken, as the GUI last saw them
    // The run as last handed to Save_slots, and whether it still waits to be stored (GUI thread).
    Tool::Struct_Calibration m_SaveRun;
    QList<Tool::Struct_CalibrationData> m_SaveRecords;
    bool m_Pending = false;
    bool m_Locked = false;        // the last save failed on another program's write lock
    QString m_StoreFailure;       // the database's words for the last failed save
    bool m_StoreQueued = false;   // a save of the pending run waits for the saves queued with it
    QTimer *m_RetryTimer = nullptr;
    bool m_CloseRefused = false;  // a close was refused because the run could not be kept
    // Whether the run's latest state is in the day's log: not tried, written and flushed, or not.
    enum class LogState { None, Written, Failed };
    LogState m_LogState = LogState::None;
    QString m_LogFile;            // the log file last written to (absolute path)
    QString m_LogError;           // the system's words when it did not take the run
};
