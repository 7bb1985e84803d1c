#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/VerificationReport.h"
#include "shell/HKRQ5713.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QCustomPlotL.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QStringList kTwoUnits{QStringLiteral("℃"), QStringLiteral("℃"), QStringLiteral("%RH")};

} // namespace

class tst_VerificationReport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;

    void makePage(bool advanced = true)
    {
        m_system.DataAccuracy = 2;
        m_system.Switch_ExportADvanced = advanced;
        m_page.reset(new VerificationReport);
        m_page->SetSystem(&m_system);
    }
    QTreeWidget *tree() const { return m_page->findChild<QTreeWidget *>("treeWidget"); }
    QPushButton *button(const char *name) const { return m_page->findChild<QPushButton *>(name); }
    QString information() const { return m_page->findChild<QPlainTextEdit *>("plainTextEdit_Information")->toPlainText(); }
    QAction *action(const QString &text) const
    {
        for (QAction *a : m_page->Menu()->actions()) {
            if (a->text() == text)
                return a;
        }
        return nullptr;
    }
    QTreeWidgetItem *item(int project, int channel = -1) const
    {
        QTreeWidgetItem *p = tree()->topLevelItem(project);
        return channel < 0 ? p : p->child(channel);
    }
    // A click on an item's check box: the box toggles, then the tree reports the click.
    void click(QTreeWidgetItem *it, Qt::CheckState state)
    {
        it->setCheckState(0, state);
        emit tree()->itemClicked(it, 0);
    }
    // Every project's state and its channels' states, e.g. "2:22|0:000" (0 un-, 1 partially, 2 checked).
    QString states() const
    {
        QStringList projects;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
            QString s = QString::number(item(i)->checkState(0)) + ':';
            for (int c = 0; c < item(i)->childCount(); ++c)
                s += QString::number(item(i, c)->checkState(0));
            projects << s;
        }
        return projects.join('|');
    }
    QStringList projectTexts() const
    {
        QStringList texts;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            texts << item(i)->text(0);
        return texts;
    }
    // Checks exactly the given channels of project item index (all when none are given).
    void checkProject(int index, const QList<int> &channels = {})
    {
        if (channels.isEmpty()) {
            click(item(index), Qt::Checked);
            return;
        }
        for (int c : channels)
            click(item(index, c), Qt::Checked);
    }
    QStringList graphNames() const
    {
        QStringList names;
        for (int g = 0; g < m_page->Chart()->graphCount(); ++g)
            names << m_page->Chart()->graph(g)->name();
        return names;
    }
    QString enabledButtons() const
    {
        return QString(button("pushButton_TimeOut")->isEnabled() ? "1" : "0")
               + (button("pushButton_CalibrationReport")->isEnabled() ? "1" : "0");
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
        m_system = Struct_System();
    }

    void cleanup()
    {
        m_page.reset();
        m_boxes.reset();
        m_dir.reset();
    }

    // Newest project first, "start\nname", one unchecked channel item per label; the search text
    // is matched as text, quotes and percent signs included, and an empty search shows all.
    void treeOrderTextsAndSearch()
    {
        QVERIFY(storeProject(testProject("Oven A", {"℃", "℃"}, "2024-05-01 08:00:00"), {}));
        QVERIFY(storeProject(testProject("Bob's 50% run", {"℃"}, "2024-05-02 09:30:00"), {}));
        QVERIFY(storeProject(testProject("50 run", {"%RH"}, "2024-05-03 10:00:00"), {}));
        makePage();
        QCOMPARE(projectTexts(), QStringList({"2024-05-03 10:00:00\n50 run", "2024-05-02 09:30:00\nBob's 50% run",
                                              "2024-05-01 08:00:00\nOven A"}));
        QCOMPARE(tree()->headerItem()->text(0), QStringLiteral("项目列表"));
        QCOMPARE(item(2, 1)->text(0), QStringLiteral("1-2"));
        QCOMPARE(states(), QStringLiteral("0:0|0:0|0:00"));
        QCOMPARE(item(2, 0)->flags(), Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);

        auto *filter = m_page->findChild<QLineEdit *>("lineEdit_Query");
        const QList<QPair<QString, QStringList>> searches{
            {"'s 50%", {"Bob's 50% run"}}, {"0%", {"Bob's 50% run"}}, {"50", {"50 run", "Bob's 50% run"}},
            {"_", {}}, {"", {"50 run", "Bob's 50% run", "Oven A"}}};
        for (const auto &search : searches) {
            filter->setText(search.first);
            button("pushButton_Query")->click();
            QStringList names;
            for (const QString &text : projectTexts())
                names << text.section('\n', 1);
            QCOMPARE(names, search.second);
        }
        QCOMPARE(m_boxes->count(), 0);
    }

    // One project carries checks at a time; a project follows its channels and they follow it.
    void checkRules()
    {
        QVERIFY(storeProject(testProject("A", {"℃", "℃", "℃"}), {}));
        QVERIFY(storeProject(testProject("B", {"℃", "℃"}), {}));
        makePage(); // B is item 0, A item 1
        struct Step { int project, channel; Qt::CheckState state; const char *expected; };
        const Step steps[] = {
            {1, -1, Qt::Checked, "0:00|2:222"},          // a project checks all its channels
            {0, 1, Qt::Checked, "1:02|0:000"},           // a channel of B: A and its channels leave
            {0, 0, Qt::Checked, "2:22|0:000"},           // all channels: the project is checked
            {0, 0, Qt::Unchecked, "1:02|0:000"},
            {0, 1, Qt::Unchecked, "0:00|0:000"},         // the last channel goes: the project too
            {1, 2, Qt::Checked, "0:00|1:002"},
            {1, -1, Qt::Checked, "0:00|2:222"},          // a click on a partial project checks it all
            {1, -1, Qt::Unchecked, "0:00|0:000"},
        };
        for (const Step &step : steps) {
            click(item(step.project, step.channel), step.state);
            QCOMPARE(states(), QString::fromLatin1(step.expected));
        }
        // A click on an item's text changes nothing.
        checkProject(0, {1});
        emit tree()->itemClicked(item(1, 0), 0);
        QCOMPARE(states(), QStringLiteral("1:02|0:000"));
    }

    // Loading the checked project: information, chart of its checked channels with their own
    // data, display range, export options and buttons; a double click anywhere loads it.
    void loadShowsInformationChartAndRange()
    {
        Tool::Struct_Parameters oven = testProject("Oven", kTwoUnits);
        oven.CreateTime = "2024-04-30 17:00:00";
        QVERIFY(storeProject(oven, {"20.0,21.0,40.0", "20.5,21.5,41.0", "9,9", "21.0,22.0,42.0"}));
        QVERIFY(storeProject(testProject("Other", {"℃"}), {"1"}));
        makePage();
        QCOMPARE(enabledButtons(), QStringLiteral("00"));
        checkProject(1, {1, 2}); // channel 1-1 stays unchecked
        emit tree()->itemDoubleClicked(item(0, 0), 0); // an item of the other project

        QCOMPARE(information(), QStringLiteral("项目名称:Oven\n创建时间:2024-04-30 17:00:00\n扫描间隔：1s\n通道数量：3\n\n"
                                               "使用的采集设备\n型号：R27K\n序列号：SN-1\n通讯方式：网络\n"
                                               "Signal1：192.168.1.10\nSignal2：502\n扫描速率：快速\n"));
        QCOMPARE(graphNames(), QStringList({"1-2", "1-3"}));
        QCOMPARE(m_page->Chart()->AxisChoices(), QList<bool>({true, false}));
        QCOMPARE(m_page->Chart()->yAxis->label() + m_page->Chart()->yAxis2->label(), QStringLiteral("℃%RH"));
        // The short row is left out; each graph carries its own channel.
        for (int g = 0; g < 2; ++g) {
            QList<double> values;
            for (const QCPGraphData &point : *m_page->Chart()->graph(g)->data())
                values << point.value;
            QCOMPARE(values, g == 0 ? QList<double>({21.0, 21.5, 22.0}) : QList<double>({40.0, 41.0, 42.0}));
        }
        auto *start = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start");
        auto *end = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End");
        QCOMPARE(start->dateTime().toSecsSinceEpoch(), sampleTime(0).toSecsSinceEpoch());
        QCOMPARE(end->dateTime().toSecsSinceEpoch(), sampleTime(3).toSecsSinceEpoch());

        const Struct_Export &options = m_page->ExportOptions();
        QCOMPARE(QStringList({options.ScanInterval, options.Unit1, options.Unit2, options.Segments}),
                 QStringList({"1", "℃", "%RH", "1"}));
        QCOMPARE(QList<int>({options.Count1, options.Count2}), QList<int>({2, 1}));
        QCOMPARE(options.StartTime, sampleTime(0));
        QCOMPARE(options.EndTime, sampleTime(3));
        QCOMPARE(m_page->Loaded().Visible, QList<bool>({false, true, true}));
        QCOMPARE(m_page->Loaded().Rows->rowCount(), 4);
        QCOMPARE(enabledButtons(), QStringLiteral("11"));

        // "设定" hands the edits to the chart.
        start->setDateTime(sampleTime(1));
        button("pushButton_DisplayRange")->click();
        QCOMPARE(m_page->Chart()->xAxis->range(),
                 QCPRange(QCustomPlotL::TimeKey(sampleTime(1)), QCustomPlotL::TimeKey(end->dateTime())));
        QCOMPARE(m_boxes->count(), 0);
    }

    // The chart takes one or two units; with three it stays empty while the rest still loads.
    void chartUnits_data()
    {
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QStringList>("graphs");
        QTest::newRow("one unit") << QStringList{"℃", "℃"} << QStringList{"1-1", "1-2"};
        QTest::newRow("two units") << QStringList{"%RH", "℃"} << QStringList{"1-1", "1-2"};
        QTest::newRow("three units") << QStringList{"℃", "%RH", "V"} << QStringList{};
    }

    void chartUnits()
    {
        QFETCH(QStringList, units);
        QFETCH(QStringList, graphs);
        QStringList values;
        for (int c = 0; c < units.size(); ++c)
            values << QString::number(c);
        QVERIFY(storeProject(testProject("P", units), {values.join(','), values.join(',')}));
        makePage();
        // A chart showing another project's graphs before.
        QVERIFY(m_page->Chart()->SetChannels({"old"}, {"℃"}, {}, true));
        checkProject(0);
        m_page->LoadProject();
        QCOMPARE(graphNames(), graphs);
        if (graphs.size() == 2) // the first channel's unit is on the left axis
            QCOMPARE(m_page->Chart()->yAxis->label(), units.first());
        QVERIFY(information().startsWith("项目名称:P\n"));
        QCOMPARE(m_page->ExportOptions().Count1 + m_page->ExportOptions().Count2, units.size() == 3 ? 2 : units.size());
        QCOMPARE(enabledButtons(), QStringLiteral("11"));
    }

    // A project without samples, or no project checked, leaves the loaded project as it was.
    void emptyProjectKeepsTheLoadedOne()
    {
        QVERIFY(storeProject(testProject("Full", {"℃"}), {"1", "2"}));
        QVERIFY(storeProject(testProject("Empty", {"℃"}), {}));
        makePage();
        m_page->LoadProject(); // nothing checked: nothing, no message
        QCOMPARE(m_boxes->count(), 0);
        checkProject(1);
        m_page->LoadProject();
        checkProject(0);
        for (const QString &entry : {QStringLiteral("查看项目"), QStringLiteral("查看数据")})
            action(entry)->trigger();
        QCOMPARE(m_boxes->texts(), QStringList({"当前项目没有采集的数据!", "当前项目没有采集的数据!"}));
        QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
        QCOMPARE(m_page->Loaded().Project.Name, QStringLiteral("Full"));
        QCOMPARE(graphNames(), QStringList({"1-1"}));
        QVERIFY(information().startsWith("项目名称:Full\n"));
        QCOMPARE(enabledButtons(), QStringLiteral("11"));
    }

    // Delete: nothing checked, a failing store (nothing lost, one message), then the loaded
    // project for real: it stays on screen but can no longer be exported.
    void deleteProject()
    {
        QVERIFY(storeProject(testProject("Keep", {"℃"}), {"1"}));
        QVERIFY(storeProject(testProject("Gone", {"℃"}), {"1", "2"}));
        makePage();
        action("删除项目")->trigger();
        QCOMPARE(m_boxes->texts(), QStringList({"请先选择需要删除的项目!"}));
        QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));

        checkProject(0);
        m_page->LoadProject();
        auto *filter = m_page->findChild<QLineEdit *>("lineEdit_Query");
        filter->setText("Gone");
        button("pushButton_Query")->click();
        checkProject(0);
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE DELETE ON ParametersData BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        m_boxes->clear();
        action("删除项目")->trigger();
        QCOMPARE(m_boxes->texts(), QStringList({"删除数据失败!"}));
        QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
        QCOMPARE(count("Parameters"), 2);
        QCOMPARE(count("ParametersData"), 3);
        QCOMPARE(enabledButtons(), QStringLiteral("11"));

        QVERIFY(q.exec("DROP TRIGGER refuse"));
        QCOMPARE(projectTexts().size(), 2); // the refreshed tree shows every project, whatever the filter
        checkProject(0);
        m_boxes->clear();
        action("删除项目")->trigger();
        QCOMPARE(m_boxes->count(), 0);
        QCOMPARE(count("Parameters WHERE Name = 'Gone'") + count("ParametersData WHERE Name = 'Gone'"), 0);
        QCOMPARE(count("ParametersData WHERE Name = 'Keep'"), 1);
        QCOMPARE(projectTexts(), QStringList({"2024-05-01 08:00:00\nKeep"}));
        QVERIFY(m_page->Loaded().Gone);
        QVERIFY(information().startsWith("项目名称:Gone\n"));
        QCOMPARE(graphNames(), QStringList({"1-1"}));
        QCOMPARE(enabledButtons(), QStringLiteral("00"));
        m_page->CalibrationReport_clicked();
        m_page->TimeOut_clicked();
        QCOMPARE(m_boxes->count(), 0);
    }

    // The loaded project stays the one the report buttons export while the data of another
    // project is viewed or exported; the loaded rows are viewed without reading them again.
    void loadedProjectStaysForTheExports()
    {
        QVERIFY(storeProject(testProject("Loaded", {"℃", "℃"}), {"1,2", "3,4"}));
        QVERIFY(storeProject(testProject("Viewed", {"%RH"}), {"50", "51", "52"}));
        makePage(); // Viewed is item 0
        checkProject(1, {1});
        m_page->LoadProject();
        // A sample stored after the load: the view of the loaded project shows what was loaded.
        QVERIFY(Tool::addParametersData({"Loaded", sampleTime(9), {"5", "6"}}));

        QStringList seen;
        auto look = [&seen](QWidget *dialog) {
            auto *table = dialog->findChild<QTableView *>("tableWidget");
            seen << QString::number(table->model()->rowCount()) + " " + table->model()->headerData(2, Qt::Horizontal).toString();
            static_cast<QDialog *>(dialog)->reject();
        };
        m_boxes->onDialog(look, "VerificationReportData");
        action("查看数据")->trigger();
        checkProject(0);
        m_boxes->onDialog(look, "VerificationReportData");
        action("查看数据")->trigger();
        QCOMPARE(seen, QStringList({"2 1-2(℃)", "3 1-1(%RH)"}));
        QVERIFY(information().startsWith("项目名称:Viewed\n"));

        action("简单导出")->trigger();
        button("pushButton_TimeOut")->click();
        button("pushButton_CalibrationReport")->click();
        QCOMPARE(m_boxes->texts(), QStringList({"导出功能尚未提供!", "导出功能尚未提供!", "导出功能尚未提供!"}));
        const VerificationReport::LoadedProject &loaded = m_page->Loaded();
        QCOMPARE(loaded.Project.Name, QStringLiteral("Loaded"));
        QCOMPARE(loaded.Visible, QList<bool>({false, true}));
        QCOMPARE(loaded.Rows->rowCount(), 2);
        QCOMPARE(m_page->ExportOptions().Unit1, QStringLiteral("℃"));
        QCOMPARE(m_page->ExportOptions().EndTime, sampleTime(1));
    }

    // Merging the loaded project away disables the exports; the tree shows the result.
    void mergeFromThePage()
    {
        QVERIFY(storeProject(testProject("Part 1", {"℃"}), {"1"}));
        QVERIFY(storeProject(testProject("Part 2", {"℃"}), {"2"}));
        makePage();
        checkProject(1);
        m_page->LoadProject();
        m_boxes->onDialog([](QWidget *dialog) {
            auto *table = dialog->findChild<QTableWidget *>("tableWidget");
            table->cellWidget(0, 0)->findChild<QCheckBox *>()->setChecked(true);
            dialog->findChild<QLineEdit *>("lineEdit_Name")->setText("Whole");
            dialog->findChild<QPushButton *>("pushButton_Set")->click();
        }, "VerificationMerge");
        action("项目合并")->trigger();
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(projectTexts(), QStringList({"2024-05-01 08:00:00\nWhole"}));
        QCOMPARE(count("ParametersData WHERE Name = 'Whole'"), 2);
        QVERIFY(m_page->Loaded().Gone);
        QCOMPARE(enabledButtons(), QStringLiteral("00"));
        // Loading the merged project makes it exportable again.
        checkProject(0);
        m_page->LoadProject();
        QCOMPARE(m_page->Loaded().Rows->rowCount(), 2);
        QCOMPARE(enabledButtons(), QStringLiteral("11"));
    }

    // The menu opens over the tree only when it has a current item; "分段导出" follows its switch.
    void menuAndSegmentedExportSwitch()
    {
        QVERIFY(storeProject(testProject("P", {"℃"}), {"1"}));
        makePage(false);
        m_page->resize(1000, 700);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QVERIFY(button("pushButton_TimeOut")->isHidden());
        QVERIFY(!button("pushButton_CalibrationReport")->isHidden());
        QCOMPARE(m_page->Menu()->actions().size(), 5);
        QCOMPARE(m_page->Menu()->actions().at(0)->text() + m_page->Menu()->actions().at(4)->text(),
                 QStringLiteral("查看项目项目合并"));

        auto menuShown = [this](QWidget *over) {
            bool shown = false;
            QTimer::singleShot(0, [&shown] {
                if (QWidget *popup = QApplication::activePopupWidget()) {
                    shown = true;
                    popup->close();
                }
            });
            const QPoint local = over->rect().center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, over->mapTo(m_page.get(), local), over->mapToGlobal(local));
            QApplication::sendEvent(m_page.get(), &event);
            QCoreApplication::processEvents();
            return shown;
        };
        QVERIFY(!menuShown(tree()));
        tree()->setCurrentItem(item(0, 0));
        QVERIFY(!menuShown(button("pushButton_CalibrationReport")));
        QVERIFY(menuShown(tree()));
    }

    // The main window offers the report page and creates it with the system record.
    void pageFromTheMainWindow()
    {
        HKRQ5713::setSplashDelay(0);
        m_dir.reset();
        m_dir.reset(new TestWorkDir(TestWorkDir::NoDatabase));
        HKRQ5713 window;
        QVERIFY(window.isReady());
        auto *entry = window.findChild<QToolButton *>("toolButton_VerificationReport");
        QVERIFY(entry && !entry->isHidden());
        entry->click();
        auto *page = qobject_cast<VerificationReport *>(window.currentPage());
        QVERIFY(page);
        QVERIFY(page->Chart());
        QCOMPARE(page->Chart()->Decimals(), window.system()->DataAccuracy);
        QCOMPARE(window.currentPageIndex(), int(HKRQ5713::Page_Report));
    }
};

QTEST_MAIN(tst_VerificationReport)
#include "tst_VerificationReport.moc"
