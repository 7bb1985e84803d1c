#include "reports/VerificationReportData.h"

#include "common/Struct_System.h"
#include "reports/VerificationReportDataModel.h"
#include "widgets/QTableWidgetL.h"
#include "widgets/ReadOnlyTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

VerificationReportData::VerificationReportData(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("VerificationReportData"));
    setWindowTitle(tr("数据"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/ValidationReport.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(893, 566);

    auto *gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(6);
    gridLayout->setContentsMargins(11, 11, 11, 11);
    auto *verticalLayout = new QVBoxLayout;
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(6);
    gridLayout->addLayout(verticalLayout, 0, 0);

    m_Model = new VerificationReportDataModel(this);
    tableWidget = makeReadOnlyTable(this, m_Model);
    tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tableWidget, &QWidget::customContextMenuRequested, this, &VerificationReportData::showContextMenu);
    verticalLayout->addWidget(tableWidget);
}

void VerificationReportData::SetData(const Struct_System *system, const Tool::Struct_Parameters &project,
                                     const QList<bool> &shown, std::shared_ptr<const ProjectRows> rows)
{
    m_Model->setData(project.CHName, project.CHDisplayUnit, shown, std::move(rows),
                     system ? system->DataAccuracy : 2);
    tableWidget->resizeColumnsToContents();
}

void VerificationReportData::showContextMenu(const QPoint &position)
{
    QMenu menu(this);
    // The table's own copy entry, with its translation.
    QAction *copy = menu.addAction(QTableWidgetL::tr("复制"));
    const QModelIndexList selected = tableWidget->selectionModel()->selectedIndexes();
    copy->setEnabled(!selected.isEmpty());
    if (menu.exec(tableWidget->viewport()->mapToGlobal(position)) == copy)
        QApplication::clipboard()->setText(QTableWidgetL::cellsText(selected));
}
