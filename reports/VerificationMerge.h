#pragma once

#include "store/Tool.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidgetL;
class QVBoxLayout;

// The dialog "项目合并": joins stored projects recorded with the same set-up as the current one.
// The user checks candidates and names the result; OK removes the project rows of every merged
// project, moves their samples to the new name and stores one project row under it, all in one
// transaction.
class VerificationMerge : public QDialog
{
    Q_OBJECT
public:
    explicit VerificationMerge(QWidget *parent = nullptr);

    // The project at index of projects becomes the current project; the others recorded with
    // the same set-up become the candidates.
    void SetProject(int index, const QList<Tool::Struct_Parameters> &projects);

    // After an accepted merge: the names the merged projects had, and the name they now share.
    QStringList MergedNames() const { return m_MergedNames; }
    QString NewName() const { return m_Project.Name; }

    // True when candidate may be merged into project: another name, the same instruments,
    // interval, channels, channel types, units and display units.
    static bool IsCandidate(const Tool::Struct_Parameters &project, const Tool::Struct_Parameters &candidate);

public slots:
    void Set_clicked();

private:
    void inform(const QString &text);
    bool storeMerge(const QList<Tool::Struct_Parameters> &merged, const Tool::Struct_Parameters &result, bool &nameTaken);

    QGridLayout *gridLayout = nullptr;
    QHBoxLayout *horizontalLayout_Name = nullptr;
    QLabel *label_Name = nullptr;
    QLineEdit *lineEdit_Name = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QPushButton *pushButton_Set = nullptr;
    QTableWidgetL *m_Table = nullptr;

    Tool::Struct_Parameters m_Project;
    QList<Tool::Struct_Parameters> m_Candidates;
    QStringList m_MergedNames;
};
