#include "ReportTestHelpers.h"

#include "reports/VerificationMerge.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QTableWidgetL.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// Every stored project as "name(creation,start):samples", by name.
QString stored()
{
    QStringList projects;
    QSqlQuery q("SELECT Name, CreateTime, StartTime, (SELECT COUNT(*) FROM ParametersData d WHERE d.Name = p.Name)"
                " FROM Parameters p ORDER BY Name");
    while (q.next())
        projects << QStringLiteral("%1(%2,%3):%4").arg(q.value(0).toString(), q.value(1).toString().mid(8, 2),
                                                       q.value(2).toString().mid(8, 2), q.value(3).toString());
    return projects.join(' ');
}

} // namespace

class tst_VerificationMerge : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    std::unique_ptr<VerificationMerge> m_dialog;

    QTableWidgetL *table() const { return m_dialog->findChild<QTableWidgetL *>(); }
    void set(const QString &name, const QList<int> &checked)
    {
        for (int row : checked)
            table()->cellCheckBox(row, 0)->setChecked(true);
        m_dialog->findChild<QLineEdit *>("lineEdit_Name")->setText(name);
        m_dialog->findChild<QPushButton *>("pushButton_Set")->click();
    }

private slots:
    // "A" (current, created first) with its candidates "B" (row 0, started first) and "C",
    // beside the unrelated "Other" and "NULL".
    void init()
    {
        m_dir.reset(new TestWorkDir);
        m_boxes.reset(new MessageBoxHelper);
        QList<Tool::Struct_Parameters> projects{testProject("B", {"℃"}, "2024-05-02 08:00:00"), testProject("Other", {"%RH"}),
                                                testProject("C", {"℃"}, "2024-05-03 08:00:00"),
                                                testProject("A", {"℃"}, "2024-05-04 08:00:00"), testProject("NULL", {"V"})};
        projects[3].CreateTime = "2024-05-01 07:00:00";
        for (const Tool::Struct_Parameters &p : projects)
            QVERIFY(storeProject(p, {"1", "2"}));
        m_dialog.reset(new VerificationMerge);
        m_dialog->show();
        m_dialog->SetProject(3, projects);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_boxes.reset();
        m_dir.reset();
    }

    // Candidates share instruments, interval, channels, types, units and display units, list by
    // list and position by position; connection texts, rates and factors do not matter.
    void candidates()
    {
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(table()->item(0, 1)->text() + table()->item(1, 1)->text(), QStringLiteral("BC"));
        QVERIFY(!table()->cellCheckBox(0, 0)->isChecked());
        const Tool::Struct_Parameters a = testProject("A", {"℃", "%RH"});
        const QList<QPair<std::function<void(Tool::Struct_Parameters &)>, bool>> edits{
            {[](Tool::Struct_Parameters &p) { p.Signal1 = QStringList{"COM3"}; p.Rate.clear(); p.CHM[0] = "2"; }, true},
            {[](Tool::Struct_Parameters &p) { p.Name = "A"; }, false},
            {[](Tool::Struct_Parameters &p) { p.Serial << "SN-2"; }, false},
            {[](Tool::Struct_Parameters &p) { p.Interval = "1.0"; }, false},
            {[](Tool::Struct_Parameters &p) { p.CHName.swapItemsAt(0, 1); }, false},
            {[](Tool::Struct_Parameters &p) { p.CHType[1] = "RTD"; }, false},
            {[](Tool::Struct_Parameters &p) { p.CHDisplayUnit[1] = "%rh"; }, false}};
        for (const auto &edit : edits) {
            Tool::Struct_Parameters b = testProject("B", {"℃", "%RH"});
            edit.first(b);
            QCOMPARE(VerificationMerge::IsCandidate(a, b), edit.second);
        }
        m_dialog->SetProject(0, {a});
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(m_boxes->texts(), QStringList({"没有匹配的项目可以合并!"}));
    }

    // Accepted names take every merged sample and one record with the earliest times; refused
    // ones change nothing and leave the dialog open.
    void mergeUnderName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QString>("outcome"); // what is stored afterwards, or the refusal
        const QString rest = " NULL(01,01):2 Other(01,01):2";
        QTest::newRow("new name") << "Joined" << QList<int>{0, 1} << "Joined(01,02):6" + rest;
        QTest::newRow("current name") << "A" << QList<int>{1} << "A(01,03):4 B(02,02):2" + rest;
        QTest::newRow("candidate's name") << "B" << QList<int>{0} << "B(01,02):4 C(03,03):2" + rest;
        QTest::newRow("another stored name") << "Other" << QList<int>{0} << "项目名称已存在！";
        QTest::newRow("stored NULL") << "NULL" << QList<int>{0} << "项目名称已存在！";
        QTest::newRow("empty") << "" << QList<int>{0} << "合并后名称不能为空！";
        QTest::newRow("nothing checked") << "Joined" << QList<int>{} << "请先选择需要合并的项目！";
    }

    void mergeUnderName()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, checked);
        QFETCH(QString, outcome);
        const QString before = stored();
        set(name, checked);
        const bool accepted = m_dialog->result() == QDialog::Accepted;
        QCOMPARE(accepted ? stored() : m_boxes->texts().join(""), outcome);
        QCOMPARE(m_dialog->isVisible(), !accepted);
        if (!accepted)
            QCOMPARE(stored(), before);
        else
            QVERIFY(m_dialog->MergedNames().contains("A") && m_boxes->count() == 0);
    }

    // A store that fails part-way, or a failed name lookup, keeps everything and the dialog open.
    void failedMergeChangesNothing()
    {
        const QString before = stored();
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Parameters BEGIN SELECT RAISE(ABORT, 'no'); END"));
        set("Joined", {0});
        QVERIFY(q.exec("DROP TRIGGER refuse"));
        Tool::closeDatabase();
        set("Joined", {});
        QVERIFY(Tool::openDatabase());
        QCOMPARE(m_boxes->texts(), QStringList({"数据库连接失败！", "数据库连接失败！"}));
        QCOMPARE(stored(), before);
        QVERIFY(m_dialog->isVisible());
        set("Joined", {});
        QCOMPARE(stored(), "C(03,03):2 Joined(01,02):4 NULL(01,01):2 Other(01,01):2");
    }
};

QTEST_MAIN(tst_VerificationMerge)
#include "tst_VerificationMerge.moc"
