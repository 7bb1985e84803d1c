#pragma once

#include "store/Tool.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
struct Struct_System;

// First dialog of an acquisition project: mode, instruments, project names, interval, start and
// end time and the CSV save switch. On acceptance the choices are written into Struct_System.
class ParametersMode : public QDialog
{
    Q_OBJECT

public:
    // Untranslated mode words, kept in Struct_System::ModeKey.
    static const QString ModeOnLine;
    static const QString ModeImport;

    // Check results of checkDevices and checkProjects.
    enum CheckResult {
        CheckOk = 0,
        DeviceMissing = 1,
        DeviceSame = 2,
        ProjectEmpty = 10,
        ProjectSame = 11,
        ProjectLookupFailed = 12,
        ProjectExists = 13,
        ProjectNameInvalid = 14,
        ProjectNameReserved = 15,
        ProjectNameTooLong = 16,
    };

    explicit ParametersMode(QWidget *parent = nullptr);

    void setParameters(Struct_System *system);

    // The models whose record files can be imported, in display order.
    static const QStringList &importModelList();
    // The text of one candidate in the instrument combo boxes: model, "_", serial.
    static QString deviceLabel(const Tool::Struct_Collection &record);
    // True when the name can be part of a file name and of a stored list.
    static bool isUsableProjectName(const QString &name);
    // True when the day's CSV file name of the project fits the 255 bytes a file name may have.
    static bool fitsFileName(const QString &name);
    // The interval text in seconds as the run uses it: a finite number whose millisecond count
    // (truncated) is at least 1 and fits a signed 32-bit integer.
    static bool isUsableInterval(const QString &text);

    // The warning shown for a result of checkDevices or checkProjects.
    static QString checkMessage(int result);

    int checkDevices(int count) const;
    int checkProjects(int count) const;
    void fillParameters(int deviceCount, int projectCount);

public slots:
    void Mode_clicked(const QString &mode);
    void Device_clicked(const QString &count);
    void Project_clicked(const QString &count);
    void OK_clicked();

private:
    void buildForm();
    void showMessage(const QString &text);
    QLineEdit *nameEdit(int index) const;
    bool isOnLine() const;

    QComboBox *comboBox_Mode = nullptr;
    QComboBox *comboBox_Device = nullptr;
    QComboBox *comboBox_Project = nullptr;
    QLineEdit *lineEdit_Name1 = nullptr;
    QLineEdit *lineEdit_Name2 = nullptr;
    QLineEdit *lineEdit_Name3 = nullptr;
    QDateTimeEdit *dateTimeEdit_Start = nullptr;
    QDateTimeEdit *dateTimeEdit_End = nullptr;
    QLineEdit *lineEdit_Interval = nullptr;
    QCheckBox *checkBox_Save = nullptr;
    QPushButton *pushButton_OK = nullptr;

    Struct_System *m_system = nullptr;
    QString m_title;
    QStringList m_modeList;
    QList<QComboBox *> m_deviceBoxes;
    QList<Tool::Struct_Collection> m_candidates;
};
