#pragma once

#include "calibration/Struct_Connection.h"
#include "store/Tool.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QContextMenuEvent;
class QMenu;
class QPushButton;
class QTableWidgetL;
class QTreeWidget;
class QTreeWidgetItem;
struct Struct_System;

// The calibration page: the instrument whose channels are calibrated, the temperature source and
// the reference thermometer with their tested connections, starting a run, and the stored runs
// in a tree (one item per run, one child per channel, checked to choose) with a menu to view,
// recalculate, delete, continue and export them.
class Calibration : public QWidget
{
    Q_OBJECT

public:
    // Result table columns.
    enum Column { ColNumber = 0, ColType, ColRange, ColWire, ColA, ColB, ColC, ColD, ColR0, ColA4, ColB4,
                  ColReference, ColReadings, ColumnCount };

    // Asks the user for the file to export to; an empty text when cancelled.
    using FileChooser = std::function<QString(QWidget *parent)>;

    explicit Calibration(QWidget *parent = nullptr);
    ~Calibration() override;

    void SetSystem(Struct_System *system);

    // Replaces the export's file dialog (tests); an empty chooser restores it.
    static void setFileChooser(FileChooser chooser);
    // The reference thermometer "QN P710W" is reached over Bluetooth LE only, so it is offered
    // where the Bluetooth layer reports a local adapter. Tests force the answer; nullopt asks the
    // Bluetooth layer again.
    static bool isP710WOffered();
    static void forceP710WOffered(std::optional<bool> offered);

    Struct_Connection fieldConnection() const { return m_Field; }
    Struct_Connection criteriaConnection() const { return m_Criteria; }
    // The channel records shown in the result table, in row order.
    const QList<Tool::Struct_CalibrationData> &records() const { return m_Records; }

    void LoadProjectTree();
    void ShowProject();
    void ShowCalibrationData();
    // The stored record of one channel of a run; a record without a name when it cannot be read.
    Tool::Struct_CalibrationData LoadCalibrationData(QString name, QString number);
    void Recalculate();
    void DeleteProject();
    void ContinueProject();
    void ExportIni();
    bool CheckDevices();
    void RunProject(Tool::Struct_Calibration run);

    // The fits of the record at that index of the shown records (see CoefficientFit).
    void FitCVD(int index);
    void FitRT(int index);
    void FitTR(int index);
    void FitITS90(int index);

public slots:
    void Calibration_clicked();
    void Field_clicked(QString text);
    void FieldScan_clicked();
    void CriteriaScan_clicked();
    void Criteria_clicked(QString text);
    void treeItemChanged(QTreeWidgetItem *item, int column);
    void treeDoubleChanged(QTreeWidgetItem *item, int column);
    void onGrpMenuTriggered(QAction *action);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildForm();
    void fillCriteria(const QStringList &first);
    // Source and reference models in a combo: shown translated where they are words, the model
    // itself the item's data.
    void addModels(QComboBox *combo, const QStringList &models);
    static QString modelAt(const QComboBox *combo, int index);
    // Runs a connection dialog on the record, which takes back what the dialog left.
    void editConnection(Struct_Connection &connection);
    // The index of the first run item that is checked or partially checked; -1 when none is.
    int checkedRunIndex() const;
    // The records of the checked channels of the checked run into the record list; false (and
    // an empty list) when no run is checked.
    bool loadCheckedRecords();
    void fit(int index, bool (*function)(Tool::Struct_CalibrationData &));
    void information(const QString &text);

    QComboBox *comboBox_Device = nullptr;
    QComboBox *comboBox_Field = nullptr;
    QPushButton *pushButton_FieldScan = nullptr;
    QComboBox *comboBox_Criteria = nullptr;
    QPushButton *pushButton_CriteriaScan = nullptr;
    QPushButton *pushButton_Calibration = nullptr;
    QTreeWidget *treeWidget = nullptr;
    QTableWidgetL *tableWidget = nullptr;

    QString m_Title;
    bool m_OfferP710W = false;
    QMenu *m_Menu = nullptr;
    QAction *m_ActionShow = nullptr;
    QAction *m_ActionRecalculate = nullptr;
    QAction *m_ActionDelete = nullptr;
    QAction *m_ActionContinue = nullptr;
    QAction *m_ActionExport = nullptr;

    Tool::Struct_Calibration m_Current;
    QList<Tool::Struct_Calibration> m_Runs;
    QList<Tool::Struct_CalibrationData> m_Records;
    Struct_System *m_System = nullptr;
    Struct_Connection m_Field;
    Struct_Connection m_Criteria;
    QList<Tool::Struct_Collection> m_Devices;
};
