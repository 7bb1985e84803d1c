#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidgetL;
class QVBoxLayout;
struct Struct_System;

// Second dialog of an on-line acquisition project: one row per channel of the chosen
// instruments, where each channel gets its project, display unit, correction Mx+B and, with
// limit notification on, its lower and upper limits. On acceptance the rows replace
// Struct_System::ParametersChannels.
class ParametersChannel : public QDialog
{
    Q_OBJECT

public:
    // Table columns.
    enum Column {
        ColDevice = 0,
        ColModel = 1,
        ColChannel = 2,
        ColUnit = 3,
        ColProject = 4,
        ColDisplayUnit = 5,
        ColM = 6,
        ColB = 7,
        ColLowEnabled = 8,
        ColLow = 9,
        ColHighEnabled = 10,
        ColHigh = 11,
    };

    explicit ParametersChannel(QWidget *parent = nullptr);

    void SetTable(Struct_System *system);

    // A number in locale-independent notation, surrounding blanks allowed, finite.
    static bool isNumber(const QString &text, double *value = nullptr);

public slots:
    void tw_cellClicked(int row, int column);
    void Low_clicked();
    void Hight_clicked();
    void OK_clicked();

public:
    void CopyColumn();
    void readChannelRow(int row);

private:
    void buildForm();
    void showMessage(const QString &text);
    QString cellText(int row, int column) const;
    bool isChecked(int row, int column) const;
    void toggleAll(QPushButton *button, const QString &selectText, int column);
    bool checkRows();
    bool checkProjects();

    QVBoxLayout *verticalLayout_2 = nullptr;
    QPushButton *pushButton_Low = nullptr;
    QPushButton *pushButton_Hight = nullptr;
    QPushButton *pushButton_OK = nullptr;
    QTableWidgetL *m_table = nullptr;

    QString m_title;
    bool m_notification = false;
    int m_editRow = -1;
    int m_editColumn = -1;
    QStringList m_projectNames;
    Struct_System *m_system = nullptr;
};
