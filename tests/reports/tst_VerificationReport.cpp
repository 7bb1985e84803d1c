#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportExport.h"
#include "shell/HKRQ5713.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QCustomPlotL.h"

#include <QAction>
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

class tst_VerificationReport : public QObject
{
    Q_OBJECT

    enum Entry { ViewProject, ViewData, SimpleExport, Delete, Merge };

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;

    void makePage(bool advanced = true)
    {
        m_system.Switch_ExportADvanced = advanced;
        m_page.reset(new VerificationReport);
        m_page->SetSystem(&m_system);
    }
    QTreeWidget *tree() const { return m_page->findChild<QTreeWidget *>("treeWidget"); }
    QPushButton *button(const char *name) const { return m_page->findChild<QPushButton *>(name); }
    QString information() const { return m_page->findChild<QPlainTextEdit *>()->toPlainText(); }
    void menu(Entry entry) const { m_page->Menu()->actions().at(entry)->trigger(); }
    QTreeWidgetItem *item(int project, int channel = -1) const
    {
        QTreeWidgetItem *p = tree()->topLevelItem(project);
        return channel < 0 ? p : p->child(channel);
    }
    // A click on a check box: it toggles, then the tree reports the click.
    void click(int project, int channel = -1, Qt::CheckState state = Qt::Checked)
    {
        item(project, channel)->setCheckState(0, state);
        emit tree()->itemClicked(item(project, channel), 0);
    }
    // Each project's state and its channels', e.g. "2:22|0:000" (0 un-, 1 partially, 2 checked).
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
    QStringList names() const
    {
        QStringList texts;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            texts << item(i)->text(0).section('\n', 1);
        return texts;
    }
    QStringList graphs() const
    {
        QStringList names;
        for (int g = 0; g < m_page->Chart()->graphCount(); ++g)
            names << m_page->Chart()->graph(g)->name();
        return names;
    }
    QString exportButtons() const
    {
        return QString::number(button("pushButton_TimeOut")->isEnabled())
               + QString::number(button("pushButton_CalibrationReport")->isEnabled());
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

    // Newest project first as "start\nname" with its channels; the search text is bound as text.
    void treeAndSearch()
    {
        QVERIFY(storeProject(testProject("Oven A", {"℃", "℃"}), {}));
        QVERIFY(storeProject(testProject("Bob's 50% run", {"℃"}, "2024-05-02 09:30:00"), {}));
        QVERIFY(storeProject(testProject("50 run", {"%RH"}), {}));
        makePage();
        QCOMPARE(item(1)->text(0), QStringLiteral("2024-05-02 09:30:00\nBob's 50% run"));
        QCOMPARE(names(), QStringList({"50 run", "Bob's 50% run", "Oven A"}));
        QCOMPARE(item(2, 1)->text(0) + tree()->headerItem()->text(0), QStringLiteral("1-2项目列表"));
        QCOMPARE(states(), QStringLiteral("0:0|0:0|0:00"));
        const QList<QPair<QString, QStringList>> searches{
            {"'s 50%", {"Bob's 50% run"}}, {"50", {"50 run", "Bob's 50% run"}}, {"_", {}}, {"", names()}};
        for (const auto &search : searches) {
            m_page->findChild<QLineEdit *>("lineEdit_Query")->setText(search.first);
            button("pushButton_Query")->click();
            QCOMPARE(names(), search.second);
        }
    }

    // One project carries checks at a time; a project follows its channels and they follow it.
    void checkRules()
    {
        QVERIFY(storeProject(testProject("A", {"℃", "℃", "℃"}), {}));
        QVERIFY(storeProject(testProject("B", {"℃", "℃"}), {}));
        makePage(); // B is item 0
        const struct { int project, channel; Qt::CheckState state; const char *expected; } steps[] = {
            {1, -1, Qt::Checked, "0:00|2:222"}, {0, 1, Qt::Checked, "1:02|0:000"}, {0, 0, Qt::Checked, "2:22|0:000"},
            {0, 0, Qt::Unchecked, "1:02|0:000"}, {0, 1, Qt::Unchecked, "0:00|0:000"}, {1, 2, Qt::Checked, "0:00|1:002"},
            {1, -1, Qt::Checked, "0:00|2:222"}, {1, -1, Qt::Unchecked, "0:00|0:000"}};
        for (const auto &step : steps) {
            click(step.project, step.channel, step.state);
            QCOMPARE(states(), QString::fromLatin1(step.expected));
        }
    }

    // A double click anywhere loads the checked project: information, chart of the checked
    // channels with their own data (short rows left out), range, export options, buttons.
    void loadProject()
    {
        QVERIFY(storeProject(testProject("Oven", {"℃", "℃", "%RH"}), {"20,21,40", "20,21.5,41", "9,9", "0,22,42"}));
        QVERIFY(storeProject(testProject("Other", {"℃"}), {"1"}));
        makePage();
        QCOMPARE(exportButtons(), QStringLiteral("00"));
        click(1, 1);
        click(1, 2);
        emit tree()->itemDoubleClicked(item(0, 0), 0);
        QCOMPARE(information(), QStringLiteral("项目名称:Oven\n创建时间:2024-05-01 08:00:00\n扫描间隔：1s\n通道数量：3\n\n"
                                               "使用的采集设备\n型号：R27K\n序列号：SN-1\n通讯方式：网络\n"
                                               "Signal1：192.168.1.10\nSignal2：502\n扫描速率：快速\n"));
        QCOMPARE(graphs(), QStringList({"1-2", "1-3"}));
        QCOMPARE(m_page->Chart()->AxisChoices(), QList<bool>({true, false}));
        for (int g = 0; g < 2; ++g) {
            QList<double> values;
            for (const QCPGraphData &point : *m_page->Chart()->graph(g)->data())
                values << point.value;
            QCOMPARE(values, g == 0 ? QList<double>({21, 21.5, 22}) : QList<double>({40, 41, 42}));
        }
        auto *start = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start");
        auto *end = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End");
        QCOMPARE(start->dateTime().toSecsSinceEpoch(), sampleTime(0).toSecsSinceEpoch());
        QCOMPARE(end->dateTime().toSecsSinceEpoch(), sampleTime(3).toSecsSinceEpoch());
        const Struct_Export &o = m_page->ExportOptions();
        QCOMPARE(QStringList({o.ScanInterval, o.Unit1, o.Unit2, o.Segments, QString::number(o.Count1), QString::number(o.Count2)}),
                 QStringList({"1", "℃", "%RH", "1", "1", "1"})); // over the checked channels
        QCOMPARE(QList<QDateTime>({o.StartTime, o.EndTime}), QList<QDateTime>({sampleTime(0), sampleTime(3)}));
        QCOMPARE(m_page->Loaded().Visible, QList<bool>({false, true, true}));
        QCOMPARE(exportButtons(), QStringLiteral("11"));

        start->setDateTime(sampleTime(1));
        button("pushButton_DisplayRange")->click();
        QCOMPARE(m_page->Chart()->xAxis->range().lower, QCustomPlotL::TimeKey(sampleTime(1)));

        // Three units: the chart stays empty, the rest is loaded.
        QVERIFY(storeProject(testProject("Three", {"℃", "%RH", "V"}), {"1,2,3"}));
        button("pushButton_Query")->click();
        click(0);
        m_page->LoadProject();
        QCOMPARE(graphs(), QStringList());
        QVERIFY(information().startsWith("项目名称:Three\n"));
        QCOMPARE(m_page->ExportOptions().Unit2 + m_page->Loaded().Project.Name, QStringLiteral("%RHThree"));
        QCOMPARE(m_boxes->count(), 0);
    }

    // Nothing checked; a failing store (nothing lost, one message); then the loaded project for
    // real: it stays on screen but can no longer be exported.
    void deleteProject()
    {
        QVERIFY(storeProject(testProject("Keep", {"℃"}), {"1"}));
        QVERIFY(storeProject(testProject("Gone", {"℃"}), {"1", "2"}));
        makePage();
        menu(Delete);
        click(0);
        m_page->LoadProject();
        m_page->findChild<QLineEdit *>("lineEdit_Query")->setText("Gone");
        button("pushButton_Query")->click();
        click(0);
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE DELETE ON ParametersData BEGIN SELECT RAISE(ABORT, 'no'); END"));
        menu(Delete);
        QCOMPARE(m_boxes->texts(), QStringList({"请先选择需要删除的项目!", "删除数据失败!"}));
        QCOMPARE(m_boxes->boxes().at(0).title + m_boxes->last().title, QStringLiteral("提示警告"));
        QCOMPARE(count("Parameters") * 10 + count("ParametersData"), 23);
        QCOMPARE(names(), QStringList({"Gone", "Keep"})); // whatever the search text
        QVERIFY(q.exec("DROP TRIGGER refuse"));
        click(0);
        menu(Delete);
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(count("Parameters") * 10 + count("ParametersData"), 11);
        QCOMPARE(names(), QStringList({"Keep"}));
        QVERIFY(m_page->Loaded().Gone && information().startsWith("项目名称:Gone\n"));
        QCOMPARE(graphs(), QStringList({"1-1"}));
        QCOMPARE(exportButtons(), QStringLiteral("00"));
    }

    // Viewing or exporting another project, or loading one without samples, leaves the loaded
    // one for the report buttons; the loaded rows are viewed without reading them again.
    void loadedProjectStaysForTheExports()
    {
        QVERIFY(storeProject(testProject("Loaded", {"℃", "℃"}), {"1,2", "3,4"}));
        QVERIFY(storeProject(testProject("Viewed", {"%RH"}), {"50", "51", "52"}));
        QVERIFY(storeProject(testProject("Empty", {"℃"}), {}));
        makePage(); // Empty, Viewed, Loaded
        m_page->LoadProject(); // nothing checked: nothing happens
        click(2, 1);
        m_page->LoadProject();
        click(0);
        menu(ViewProject);
        menu(ViewData);
        QCOMPARE(m_boxes->texts(), QStringList({"当前项目没有采集的数据!", "当前项目没有采集的数据!"}));
        m_boxes->clear();
        click(2, 1);
        QVERIFY(Tool::addParametersData({"Loaded", sampleTime(9), {"5", "6"}}));
        QStringList seen;
        auto look = [&seen](QWidget *dialog) {
            const QAbstractItemModel *model = dialog->findChild<QTableView *>()->model();
            seen << QString::number(model->rowCount()) + model->headerData(2, Qt::Horizontal).toString();
            static_cast<QDialog *>(dialog)->reject();
        };
        m_boxes->onDialog(look, "VerificationReportData");
        menu(ViewData);
        click(1);
        m_boxes->onDialog(look, "VerificationReportData");
        menu(ViewData);
        QCOMPARE(seen, QStringList({"21-2(℃)", "31-1(%RH)"}));
        VerificationReportExport::setFileChooser([](QWidget *, const QString &) { return QString(); });
        menu(SimpleExport);
        m_boxes->rejectDialog("VerificationReportExport");
        button("pushButton_TimeOut")->click();
        button("pushButton_CalibrationReport")->click();
        VerificationReportExport::setFileChooser(nullptr);
        // Cancelled file dialogs and the options dialog rejected: nothing exported.
        QCOMPARE(m_boxes->texts(), QStringList());
        QCOMPARE(m_boxes->last().className, QStringLiteral("VerificationReportExport"));
        QVERIFY(!m_page->isExporting());
        QCOMPARE(m_page->Loaded().Project.Name + QString::number(m_page->Loaded().Rows->rowCount()), QStringLiteral("Loaded2"));
        QCOMPARE(m_page->Loaded().Visible, QList<bool>({false, true}));
        QCOMPARE(m_page->ExportOptions().EndTime, sampleTime(1));
    }

    // Merging the loaded project away disables the exports until a project is loaded again.
    void mergeFromThePage()
    {
        QVERIFY(storeProject(testProject("Part 1", {"℃"}), {"1"}));
        QVERIFY(storeProject(testProject("Part 2", {"℃"}), {"2"}));
        makePage();
        click(1);
        m_page->LoadProject();
        m_boxes->onDialog([](QWidget *dialog) {
            dialog->findChild<QTableWidget *>()->cellWidget(0, 0)->findChild<QCheckBox *>()->setChecked(true);
            dialog->findChild<QLineEdit *>("lineEdit_Name")->setText("Whole");
            dialog->findChild<QPushButton *>("pushButton_Set")->click();
        }, "VerificationMerge");
        menu(Merge);
        QCOMPARE(names(), QStringList({"Whole"}));
        QVERIFY(m_page->Loaded().Gone);
        QCOMPARE(exportButtons(), QStringLiteral("00"));
        click(0);
        m_page->LoadProject();
        QCOMPARE(m_page->Loaded().Rows->rowCount(), 2);
        QCOMPARE(exportButtons(), QStringLiteral("11"));
    }

    // The menu opens over the tree only when it has a current item; "分段导出" follows its switch;
    // the main window offers the page.
    void menuSwitchAndMainWindow()
    {
        QVERIFY(storeProject(testProject("P", {"℃"}), {"1"}));
        makePage(false);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QVERIFY(button("pushButton_TimeOut")->isHidden() && !button("pushButton_CalibrationReport")->isHidden());
        auto menuShown = [this](QWidget *over) {
            bool shown = false;
            QTimer::singleShot(0, [&shown] {
                if (QWidget *popup = QApplication::activePopupWidget())
                    shown = popup->close();
            });
            const QPoint at = over->rect().center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, over->mapTo(m_page.get(), at), over->mapToGlobal(at));
            QApplication::sendEvent(m_page.get(), &event);
            QCoreApplication::processEvents();
            return shown;
        };
        QVERIFY(!menuShown(tree()));
        tree()->setCurrentItem(item(0, 0));
        QVERIFY(!menuShown(button("pushButton_CalibrationReport")));
        QVERIFY(menuShown(tree()));

        m_page.reset();
        m_dir.reset();
        m_dir.reset(new TestWorkDir(TestWorkDir::NoDatabase));
        HKRQ5713::setSplashDelay(0);
        HKRQ5713 window;
        auto *entry = window.findChild<QToolButton *>("toolButton_VerificationReport");
        QVERIFY(window.isReady() && !entry->isHidden());
        entry->click();
        auto *page = qobject_cast<VerificationReport *>(window.currentPage());
        QVERIFY(page && page->Chart());
        QCOMPARE(page->Chart()->Decimals(), window.system()->DataAccuracy);
    }
};

QTEST_MAIN(tst_VerificationReport)
#include "tst_VerificationReport.moc"
