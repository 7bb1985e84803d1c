#pragma once

#include "acquisition/Struct_ImportSample.h"
#include "comm/Struct_Channel.h"
#include "store/Tool.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class Collection;
class ParametersImportModel;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QTableView;
class QThread;
class QWaiting;
struct Struct_System;

// Turns an instrument's record file into a stored acquisition project: the instrument's driver
// reads the file, the table shows the samples, which may be thinned to a time range and scan
// interval and put on the exact time grid, and Save stores the project record with every row
// of the table in one transaction.
class ParametersImport : public QDialog
{
    Q_OBJECT
public:
    // Asks the user for the record file; returns an empty text when cancelled.
    using FileChooser = std::function<QString(QWidget *parent)>;

    explicit ParametersImport(QWidget *parent = nullptr);
    ~ParametersImport() override;

    // Takes the project name and the instrument of the set-up and creates the instrument's driver.
    void setParameters(Struct_System *system);

    // Replaces the file dialog (tests); an empty chooser restores it.
    static void setFileChooser(FileChooser chooser);

    // True while a record file is being read in the background.
    bool isReading() const { return m_ReadThread != nullptr; }

signals:
    void Read_signals(int result);

private slots:
    void Open_clicked();
    void Set_clicked();
    void Time_clicked();
    void Save_clicked();
    void Read_slots(int result);

private:
    // ReadStopped: the reading ended by an exception (logged).
    enum ReadResult { ReadNoChannels, ReadMismatch, ReadStopped, ReadComplete };

    void resetState();
    void readThread(const QString &path);
    bool readRecordFile(QVector<Struct_ImportSample> &samples, qint64 &first, qint64 &last);
    // Why the driver could not open the file: the file itself, or its first line.
    QString openFailure(const QString &path) const;
    void SetHeaders();
    void fillTable(const QVector<Struct_ImportSample> &samples);
    // The interval as the field shows it and the project stores it; "0" while unknown.
    QString intervalText() const;
    Tool::Struct_Parameters buildParameters() const;
    void warn(const QString &text);

    QDateTimeEdit *dateTimeEdit_Start = nullptr;
    QDateTimeEdit *dateTimeEdit_End = nullptr;
    QLineEdit *lineEdit_Interval = nullptr;
    QPushButton *pushButton_Set = nullptr;
    QPushButton *pushButton_Time = nullptr;
    QTableView *tableWidget = nullptr;
    QPushButton *pushButton_Open = nullptr;
    QPushButton *pushButton_Save = nullptr;
    ParametersImportModel *m_Model = nullptr;

    QString m_Information;
    QString m_Warning;

    Collection *m_Collection = nullptr;
    qint64 m_Interval = -1;            // scan interval in ms, -1 while unknown
    qint64 m_FirstTime = 0;            // ms since the epoch
    qint64 m_LastTime = 0;
    QString m_ProjectName;
    QStringList m_ChannelNumbers;
    QStringList m_ChannelUnits;
    Tool::Struct_Collection m_Device;
    QVector<Struct_ImportSample> m_Samples; // every sample of the file, in file order

    // Background read: written by the reading thread only, taken over by Read_slots.
    QThread *m_ReadThread = nullptr;
    QWaiting *m_Waiting = nullptr;
    QString m_ReadPath;
    qint64 m_ReadLine = 0; // line being read; the header is line 1
    QList<Struct_Channel> m_ReadChannels;
    QVector<Struct_ImportSample> m_ReadSamples;
    qint64 m_ReadFirst = 0;
    qint64 m_ReadLast = 0;
};
