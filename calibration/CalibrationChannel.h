#pragma once

#include "store/Tool.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class Collection;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidgetL;
class QThread;
class QWaiting;
struct Struct_Channel;
struct Struct_System;

// The channel set-up of a calibration run, between the calibration page and the run dialog.
// For a new run it reads the instrument's channels on a worker thread; the user picks the
// channels to calibrate and, for an automatic run (one with a temperature source), enters up to
// nine set points and the stability delay. A continued run lists the run's own channels, checked
// and locked. On acceptance the set-up is written into Struct_System; the set points and the
// delay are kept as the next run's defaults in the SystemSet rows "CalibrationDelay" and
// "CalibrationTemp" on acceptance and whenever the dialog goes.
//
// The dialog refuses to close, to be escaped and to go on while its channel read runs, and is
// never destroyed under it.
class CalibrationChannel : public QDialog
{
    Q_OBJECT

public:
    // Channel table columns.
    enum Column { ColState = 0, ColIndex, ColNumber, ColType, ColRange, ColWire };

    explicit CalibrationChannel(QWidget *parent = nullptr);
    ~CalibrationChannel() override;

    // Takes the run of Struct_System::Calibration on the instrument Struct_System::CalibrationDevice.
    // False when the run cannot be set up (a continued run whose stored records are missing): the
    // user has been told, and exec() then returns Rejected at once.
    bool SetParameters(Struct_System *system);

    int exec() override;

    // A channel read is running (set before its worker starts, cleared once it has finished).
    bool isReading() const { return m_Reading; }

    // The methods whose channels can be calibrated.
    static bool isCalibrationMethod(const QString &range);

signals:
    void Channel_signals(bool ok, QString text);

public slots:
    void All_clicked();
    void Next_clicked();
    void Channel_slots(bool ok, QString text);
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void ReadFinished_slots();

private:
    void buildForm();
    void ShowInformation();
    void InitTable();
    void SetTable(bool locked);
    void LoadSettings();
    void SaveSettings();
    void therad_Channel();
    // The record of a channel read from the instrument.
    Tool::Struct_CalibrationData recordOf(const Struct_Channel &channel) const;
    // The set-point texts of the edits from the first one up to the first empty one.
    QStringList setPointTexts() const;
    // Checks the delay and the set points of an automatic run; false after telling the user.
    bool checkAutomaticSetUp(int &delay, QStringList &temps);
    // A new run needs a key no stored run has; false after telling the user.
    bool claimRunKey();
    bool refuseWhileReading();
    void information(const QString &text);

    // Form.
    QTableWidgetL *m_Table = nullptr;
    QList<QLineEdit *> m_TempEdits;
    QLineEdit *lineEdit_Delay = nullptr;
    QPlainTextEdit *plainTextEdit_Data = nullptr;
    QPushButton *pushButton_All = nullptr;
    QPushButton *pushButton_Next = nullptr;

    QString m_Title;
    QWaiting *m_Waiting = nullptr;
    Collection *m_Collection = nullptr;
    Struct_System *m_System = nullptr;
    Tool::Struct_Calibration m_Calibration;
    Tool::Struct_Collection m_Device;
    QList<Tool::Struct_CalibrationData> m_Data;
    // Per record of m_Data: its channel parameters were read (or come from the stored run).
    QList<bool> m_Readable;
    bool m_NewRun = false;
    bool m_Refused = false;
    bool m_Reading = false;
    QThread *m_Worker = nullptr;
};
