#pragma once

#include "calibration/Struct_Connection.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <atomic>

class Device;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

// The connection settings of a calibration's temperature source or reference thermometer:
// connection type, address and parameter, and a test that opens and closes the device in a
// worker thread. The outcome of the last test is the record's Connected flag; a failed test says
// why on the box's second line.
//
// While a test runs the dialog cannot be closed (OK, Escape and the window's close button are
// refused), so the record and the device object outlive the worker.
class CalibrationScan : public QDialog
{
    Q_OBJECT

public:
    explicit CalibrationScan(QWidget *parent = nullptr);
    ~CalibrationScan() override;

    // Takes the record, creates the device object of its model and shows its values.
    void SetParameters(const Struct_Connection &connection);
    // The record as the last test or OK left it.
    Struct_Connection GetParameters() const { return m_Connection; }

    // A connection test is running.
    bool isTesting() const { return m_Worker != nullptr; }

    // The connection types offered for a model (untranslated), and its device object (none for
    // a model that needs no connection; the caller owns it).
    static QStringList signalModes(const QString &model);
    static Device *createDevice(const QString &model);

signals:
    void MessageBox_signals(QString title, QString text);

public slots:
    void Communication_clicked(QString type);
    void Scan_clicked();
    void OK_clicked();
    void MessageBox_slots(QString title, QString text);
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void readWidgets();
    void therad_Scan(QString type, QString address, QString parameter);
    // Why a connection of that type to that address cannot be tried (no device chosen, a serial
    // port that is not there); empty when it can.
    QString unreachable(const QString &type, const QString &address) const;
    // Why the device object did not open: its transport's words, or no answer in the wait.
    QString openFailure() const;

    QComboBox *comboBox_Communication = nullptr;
    QLabel *label_Address = nullptr;
    QComboBox *comboBox_Address = nullptr;
    QLineEdit *lineEdit_Address = nullptr;
    QLabel *label_Parameter = nullptr;
    QComboBox *comboBox_Parameter = nullptr;
    QLineEdit *lineEdit_Parameter = nullptr;
    QPushButton *pushButton_Scan = nullptr;
    QPushButton *pushButton_OK = nullptr;

    QStringList m_BaudRates;
    Struct_Connection m_Connection;
    Device *m_Device = nullptr;
    QThread *m_Worker = nullptr;
    std::atomic<bool> m_TestPassed{false};
};
