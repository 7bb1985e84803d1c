#include "reports/VerificationMerge.h"

#include "widgets/QTableWidgetL.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

VerificationMerge::VerificationMerge(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("VerificationMerge"));
    setWindowTitle(tr("项目合并"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/ValidationReport.png")));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));
    resize(566, 429);

    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(10);
    horizontalLayout_Name = new QHBoxLayout;
    horizontalLayout_Name->setObjectName(QStringLiteral("horizontalLayout_Name"));
    label_Name = new QLabel(tr("合并后名称："), this);
    label_Name->setObjectName(QStringLiteral("label_Name"));
    lineEdit_Name = new QLineEdit(this);
    lineEdit_Name->setObjectName(QStringLiteral("lineEdit_Name"));
    horizontalLayout_Name->addWidget(label_Name);
    horizontalLayout_Name->addWidget(lineEdit_Name);
    verticalLayout = new QVBoxLayout;
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    pushButton_Set = new QPushButton(tr("确定"), this);
    pushButton_Set->setObjectName(QStringLiteral("pushButton_Set"));
    gridLayout->addLayout(horizontalLayout_Name, 0, 0);
    gridLayout->addLayout(verticalLayout, 1, 0);
    gridLayout->addWidget(pushButton_Set, 2, 0);
    gridLayout->setRowStretch(1, 1);

    m_Table = new QTableWidgetL(this);
    m_Table->setObjectName(QStringLiteral("tableWidget"));
    m_Table->setColumnCount(2);
    m_Table->setHorizontalHeaderLabels({tr("选择"), tr("项目名称")});
    m_Table->verticalHeader()->setVisible(false);
    m_Table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_Table->horizontalHeader()->setStretchLastSection(true);
    m_Table->setSelectionMode(QAbstractItemView::SingleSelection);
    verticalLayout->addWidget(m_Table);

    connect(pushButton_Set, SIGNAL(clicked()), this, SLOT(Set_clicked()));
}

bool VerificationMerge::IsCandidate(const Tool::Struct_Parameters &project, const Tool::Struct_Parameters &candidate)
{
    return candidate.Name != project.Name && candidate.Model == project.Model && candidate.Serial == project.Serial
           && candidate.Interval == project.Interval && candidate.CHName == project.CHName
           && candidate.CHType == project.CHType && candidate.CHUnit == project.CHUnit
           && candidate.CHDisplayUnit == project.CHDisplayUnit;
}

void VerificationMerge::SetProject(int index, const QList<Tool::Struct_Parameters> &projects)
{
    if (index < 0 || index >= projects.size())
        return;
    m_Project = projects.at(index);
    lineEdit_Name->setText(m_Project.Name);
    m_Candidates.clear();
    m_Table->setRowCount(0);
    for (const Tool::Struct_Parameters &project : projects) {
        if (IsCandidate(m_Project, project))
            m_Candidates.append(project);
    }
    if (m_Candidates.isEmpty()) {
        inform(tr("没有匹配的项目可以合并!"));
        return;
    }
    m_Table->setRowCount(m_Candidates.size());
    for (int row = 0; row < m_Candidates.size(); ++row) {
        m_Table->setCellCheckBox(row, 0, false, true);
        m_Table->setCellItem(row, 1, m_Candidates.at(row).Name, false);
    }
}

void VerificationMerge::inform(const QString &text)
{
    QMessageBox::information(this, tr("提示"), text, QMessageBox::Ok);
}

void VerificationMerge::Set_clicked()
{
    const QString name = lineEdit_Name->text();
    // An empty name would give the merged samples to no project that could be looked up again.
    if (name.isEmpty()) {
        inform(tr("合并后名称不能为空！"));
        return;
    }
    // Taken means a stored project bears exactly this name; "NULL" is a name like any other.
    QList<Tool::Struct_Parameters> stored;
    bool looked = false;
    {
        const Tool::LockWait wait(Tool::GuiLockWaitMs);
        looked = Tool::queryParameters(stored, name);
    }
    if (!looked) {
        inform(Tool::withFailureReason(tr("数据库连接失败！")));
        return;
    }
    const bool taken = std::any_of(stored.cbegin(), stored.cend(),
                                   [&name](const Tool::Struct_Parameters &p) { return p.Name == name; });

    QList<Tool::Struct_Parameters> merged;
    for (int row = 0; row < m_Candidates.size(); ++row) {
        const QCheckBox *box = m_Table->cellCheckBox(row, 0);
        if (box && box->isChecked())
            merged.append(m_Candidates.at(row));
    }
    if (merged.isEmpty()) {
        inform(tr("请先选择需要合并的项目！"));
        return;
    }
    merged.append(m_Project);

    QStringList names, createTimes, startTimes;
    for (const Tool::Struct_Parameters &project : qAsConst(merged)) {
        names.append(project.Name);
        createTimes.append(project.CreateTime);
        startTimes.append(project.StartTime);
    }
    std::sort(createTimes.begin(), createTimes.end());
    std::sort(startTimes.begin(), startTimes.end());
    if (taken && !names.contains(name)) {
        inform(tr("项目名称已存在！"));
        return;
    }

    Tool::Struct_Parameters result = m_Project;
    result.Name = name;
    result.CreateTime = createTimes.first();
    result.StartTime = startTimes.first();
    bool nameTaken = false;
    if (!storeMerge(merged, result, nameTaken)) {
        // A name another program stored since the check above: the reason names the project.
        inform(nameTaken ? Tool::lastFailureReason() : Tool::withFailureReason(tr("数据库连接失败！")));
        return;
    }
    m_Project = result;
    m_MergedNames = names;
    accept();
}

// All deletes, renames and the new record, or none of them; the new record is refused when a
// project other than the merged ones bears its name. Another program's write lock is waited for
// a moment only: the window waits with it.
bool VerificationMerge::storeMerge(const QList<Tool::Struct_Parameters> &merged, const Tool::Struct_Parameters &result,
                                   bool &nameTaken)
{
    const Tool::LockWait wait(Tool::GuiLockWaitMs);
    Tool::Transaction transaction;
    if (!transaction.isActive())
        return false;
    for (const Tool::Struct_Parameters &project : merged) {
        if (!Tool::deleteParameters(project.Name) || !Tool::modifytParametersData(project.Name, result.Name))
            return false;
    }
    return Tool::addNewParameters(result, &nameTaken) && transaction.commit();
}
