#pragma once

#include "reports/ProjectRows.h"
#include "store/Tool.h"

#include <QDialog>
#include <QList>

#include <memory>

class QTableView;
class VerificationReportDataModel;
struct Struct_System;

// The dialog "数据": one project's samples as a read-only table with their number, time and the
// channels shown on the report page, values with the system's decimals. The table is a view over
// the project's rows; its context menu copies the selected row.
class VerificationReportData : public QDialog
{
    Q_OBJECT
public:
    explicit VerificationReportData(QWidget *parent = nullptr);

    // shown: one flag per channel of the project. The rows are shared, not copied.
    void SetData(const Struct_System *system, const Tool::Struct_Parameters &project, const QList<bool> &shown,
                 std::shared_ptr<const ProjectRows> rows);

private:
    void showContextMenu(const QPoint &position);

    QTableView *tableWidget = nullptr;
    VerificationReportDataModel *m_Model = nullptr;
};
