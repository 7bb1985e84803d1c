#include "ReportTestHelpers.h"

#include "reports/VerificationMerge.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QTableWidgetL.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

#include <functional>
#include <memory>

using Edit = std::function<void(Tool::Struct_Parameters &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// What is stored: project name, creation and start time, and the names its samples carry.
QStringList storedProjects()
{
    QStringList projects;
    QSqlQuery q("SELECT Name, CreateTime, StartTime FROM Parameters ORDER BY Name");
    while (q.next())
        projects << q.value(0).toString() + "|" + q.value(1).toString() + "|" + q.value(2).toString();
    QSqlQuery s("SELECT Name, COUNT(*) FROM ParametersData GROUP BY Name ORDER BY Name");
    while (s.next())
        projects << s.value(0).toString() + ":" + s.value(1).toString();
    return projects;
}

} // namespace

class tst_VerificationMerge : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;

    QTableWidgetL *table(VerificationMerge &dialog) const { return dialog.findChild<QTableWidgetL *>("tableWidget"); }

    // "A" (current, the oldest start), its candidates "B" and "C" and the unrelated "Other".
    QList<Tool::Struct_Parameters> storeFour()
    {
        QList<Tool::Struct_Parameters> projects{testProject("B", {"℃"}, "2024-05-02 08:00:00"),
                                                testProject("Other", {"%RH"}), testProject("C", {"℃"}, "2024-05-03 08:00:00"),
                                                testProject("A", {"℃"}, "2024-05-04 08:00:00")};
        projects[3].CreateTime = "2024-05-01 07:00:00";
        for (const Tool::Struct_Parameters &p : projects) {
            if (!storeProject(p, {"1", "2"}))
                return {};
        }
        return projects;
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
    }

    void cleanup()
    {
        m_boxes.reset();
        m_dir.reset();
    }

    // Candidates share instruments, interval, channels, types, units and display units, list by
    // list and position by position; connection texts, rates and factors do not matter.
    void candidates_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("candidate");
        QTest::newRow("same set-up") << Edit([](Tool::Struct_Parameters &) {}) << true;
        QTest::newRow("connection texts") << Edit([](Tool::Struct_Parameters &p) { p.Signal1 = QStringList{"COM3"}; p.SignalMode = QStringList{"串口"}; }) << true;
        QTest::newRow("rate and factors") << Edit([](Tool::Struct_Parameters &p) { p.Rate = QStringList{"慢速"}; p.CHM = QStringList{"2", "1"}; p.CHB = QStringList{"0.5", "0"}; }) << true;
        QTest::newRow("same name") << Edit([](Tool::Struct_Parameters &p) { p.Name = "Current"; }) << false;
        QTest::newRow("model") << Edit([](Tool::Struct_Parameters &p) { p.Model = QStringList{"R24K"}; }) << false;
        QTest::newRow("serial") << Edit([](Tool::Struct_Parameters &p) { p.Serial = QStringList{"SN-1", "SN-2"}; }) << false;
        QTest::newRow("interval") << Edit([](Tool::Struct_Parameters &p) { p.Interval = "1.0"; }) << false;
        QTest::newRow("channel order") << Edit([](Tool::Struct_Parameters &p) { p.CHName = QStringList{"1-2", "1-1"}; }) << false;
        QTest::newRow("type") << Edit([](Tool::Struct_Parameters &p) { p.CHType = QStringList{"NTC", "RTD"}; }) << false;
        QTest::newRow("unit") << Edit([](Tool::Struct_Parameters &p) { p.CHUnit = QStringList{"℃", "Ω"}; }) << false;
        QTest::newRow("display unit case") << Edit([](Tool::Struct_Parameters &p) { p.CHDisplayUnit = QStringList{"℃", "%rh"}; }) << false;
        QTest::newRow("fewer channels") << Edit([](Tool::Struct_Parameters &p) { p.CHDisplayUnit.removeLast(); }) << false;
    }

    void candidates()
    {
        QFETCH(Edit, edit);
        QFETCH(bool, candidate);
        const Tool::Struct_Parameters current = testProject("Current", {"℃", "%RH"});
        Tool::Struct_Parameters other = testProject("Other", {"℃", "%RH"});
        edit(other);
        QCOMPARE(VerificationMerge::IsCandidate(current, other), candidate);

        // The table lists the candidates in list order, unchecked; none gives a notice.
        VerificationMerge dialog;
        dialog.SetProject(1, {other, current, testProject("Third", {"℃", "%RH"})});
        QCOMPARE(dialog.findChild<QLineEdit *>("lineEdit_Name")->text(), QStringLiteral("Current"));
        QStringList rows;
        for (int r = 0; r < table(dialog)->rowCount(); ++r)
            rows << table(dialog)->item(r, 1)->text() + (table(dialog)->cellCheckBox(r, 0)->isChecked() ? "+" : "-");
        QCOMPARE(rows, candidate ? QStringList({"Other-", "Third-"}) : QStringList({"Third-"}));
        QCOMPARE(m_boxes->count(), 0);
        dialog.SetProject(0, {current});
        QCOMPARE(table(dialog)->rowCount(), 0);
        QCOMPARE(m_boxes->texts(), QStringList({"没有匹配的项目可以合并!"}));
        QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
    }

    // Merging "A" with the checked candidates under a name: accepted names move every sample to
    // it and leave one record with the earliest times; refused names change nothing.
    void mergeUnderName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("checked"); // candidate rows: B is row 0, C row 1
        QTest::addColumn<QString>("refusal");
        QTest::newRow("new name") << "Joined" << QList<int>{0, 1} << QString();
        QTest::newRow("current name") << "A" << QList<int>{0} << QString();
        QTest::newRow("candidate's name") << "C" << QList<int>{1} << QString();
        QTest::newRow("another stored name") << "Other" << QList<int>{0} << "项目名称已存在！";
        QTest::newRow("stored NULL") << "NULL" << QList<int>{0} << "项目名称已存在！";
        QTest::newRow("empty") << "" << QList<int>{0} << "合并后名称不能为空！";
        QTest::newRow("nothing checked") << "Joined" << QList<int>{} << "请先选择需要合并的项目！";
    }

    void mergeUnderName()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, checked);
        QFETCH(QString, refusal);
        QList<Tool::Struct_Parameters> projects = storeFour();
        QVERIFY(storeProject(testProject("NULL", {"V"}), {"1"}));
        projects.append(testProject("NULL", {"V"}));
        const QStringList before = storedProjects();

        VerificationMerge dialog;
        dialog.show();
        dialog.SetProject(3, projects);
        QCOMPARE(table(dialog)->rowCount(), 2);
        for (int row : checked)
            table(dialog)->cellCheckBox(row, 0)->setChecked(true);
        dialog.findChild<QLineEdit *>("lineEdit_Name")->setText(name);
        dialog.findChild<QPushButton *>("pushButton_Set")->click();

        if (!refusal.isEmpty()) {
            QCOMPARE(m_boxes->texts(), QStringList({refusal}));
            QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
            QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
            QCOMPARE(storedProjects(), before);
            return;
        }
        QCOMPARE(m_boxes->count(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // The earliest creation (A's) and start time (B's, when merged) win, compared as text.
        const QString start = checked.contains(0) ? "2024-05-02 08:00:00" : "2024-05-03 08:00:00";
        const int samples = 2 * (checked.size() + 1);
        QStringList expected{name + "|2024-05-01 07:00:00|" + start, "NULL|2024-05-01 08:00:00|2024-05-01 08:00:00",
                             "Other|2024-05-01 08:00:00|2024-05-01 08:00:00"};
        if (!checked.contains(0))
            expected << "B|2024-05-02 08:00:00|2024-05-02 08:00:00";
        if (!checked.contains(1))
            expected << "C|2024-05-03 08:00:00|2024-05-03 08:00:00";
        QStringList counts{name + ":" + QString::number(samples), "NULL:1", "Other:2"};
        if (!checked.contains(0))
            counts << "B:2";
        if (!checked.contains(1))
            counts << "C:2";
        expected.sort();
        counts.sort();
        QCOMPARE(storedProjects(), expected + counts);
        QCOMPARE(dialog.NewName(), name);
        QVERIFY(dialog.MergedNames().contains("A"));
        // The merged record keeps the current project's set-up.
        Tool::Struct_Parameters merged;
        QVERIFY(Tool::getParameters(merged, name));
        QCOMPARE(merged.CHName + merged.CHDisplayUnit, projects[3].CHName + projects[3].CHDisplayUnit);
    }

    // A store that fails part-way keeps everything as it was and the dialog open.
    void failedMergeChangesNothing()
    {
        const QList<Tool::Struct_Parameters> projects = storeFour();
        const QStringList before = storedProjects();
        VerificationMerge dialog;
        dialog.show();
        dialog.SetProject(3, projects);
        table(dialog)->cellCheckBox(0, 0)->setChecked(true);
        dialog.findChild<QLineEdit *>("lineEdit_Name")->setText("Joined");
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Parameters BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        dialog.findChild<QPushButton *>("pushButton_Set")->click();
        QCOMPARE(m_boxes->texts(), QStringList({"数据库连接失败！"}));
        QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
        QCOMPARE(storedProjects(), before);

        // A failed name lookup stops before anything is written.
        QVERIFY(q.exec("DROP TRIGGER refuse"));
        Tool::closeDatabase();
        dialog.findChild<QPushButton *>("pushButton_Set")->click();
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(m_boxes->last().text, QStringLiteral("数据库连接失败！"));
        QVERIFY(Tool::openDatabase());
        QCOMPARE(storedProjects(), before);
        // Retried without the fault, the same dialog merges.
        dialog.findChild<QPushButton *>("pushButton_Set")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(count("ParametersData WHERE Name = 'Joined'"), 4);
    }
};

QTEST_MAIN(tst_VerificationMerge)
#include "tst_VerificationMerge.moc"
