// The report page on stored projects: its tree, search and check rules, loading, delete, the
// loaded project kept for the exports, the data view, the merge dialog, the menu and the main
// window's entry; the export options dialog, the report of each format and the data export run
// from the page and read back, and their failures.
#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/SimpleDataExport.h"
#include "reports/VerificationMerge.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportData.h"
#include "reports/VerificationReportExport.h"
#include "reports/XlsxWorkbook.h"
#include "shell/HKRQ5713.h"
#include "support/DamagedTable.h"
#include "support/DatabaseLock.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QCustomPlotL.h"
#include "widgets/QTableWidgetL.h"
#include "widgets/QWaiting.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <memory>
#include <pthread.h>

using namespace ReportFixture;
using Times = QList<int>; // ms after the first sample: start 1, end 1, start 2, ...

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

std::atomic<bool> g_refuseThread{false};
const QStringList kReported{QStringLiteral("报表生成成功!")};
const QDateTime kStart(QDate(2024, 5, 1), QTime(8, 0, 0, 500));

QDateTimeEdit *edit(QWidget *dialog, const char *kind, int row)
{
    return dialog->findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_%1%2").arg(QLatin1String(kind)).arg(row));
}

// Segment rows as "start-end remark" (" off" when disabled), from row 1.
QStringList segmentRows(QWidget *dialog, int count = VerificationReportExport::MaxSegments)
{
    QStringList texts;
    for (int k = 1; k <= count; ++k)
        texts << edit(dialog, "Start", k)->dateTime().toString("hh:mm:ss") + '-' + edit(dialog, "End", k)->dateTime().toString("hh:mm:ss")
                     + ' ' + dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_Remark%1").arg(k))->text()
                     + (edit(dialog, "Start", k)->isEnabled() ? "" : " off");
    return texts;
}

// The options of a project sampled for ten minutes from kStart.
Struct_Export tenMinutes(const QString &scan)
{
    Struct_Export record;
    record.ScanInterval = scan, record.Segments = QStringLiteral("1"), record.StartTime = kStart, record.EndTime = kStart.addSecs(600);
    return record;
}

void chooseSegments(QWidget *dialog, int count)
{
    auto *combo = dialog->findChild<QComboBox *>("comboBox_Segments");
    combo->setCurrentIndex(count - 1);
    emit combo->activated(count - 1);
}

} // namespace

// Every thread of this process starts here; once refused, the next one fails as it does when the
// system has no resources left.
extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attr, void *(*start)(void *), void *arg)
{
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const Create next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return g_refuseThread.exchange(false) ? EAGAIN : next(thread, attr, start, arg);
}

class tst_VerificationReport : public QObject
{
    Q_OBJECT

    enum Entry { ViewProject, ViewData, SimpleExport, Delete, Merge };

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;
    std::unique_ptr<VerificationMerge> m_merge;
    QString m_path;

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
    void search(const QString &text)
    {
        m_page->findChild<QLineEdit *>("lineEdit_Query")->setText(text);
        button("pushButton_Query")->click();
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
    // The merge dialog for "A" (current, created first) with its candidates "B" (row 0, started
    // first) and "C", beside the unrelated "Other" and "NULL"; two samples each.
    void openMerge()
    {
        QList<Tool::Struct_Parameters> projects{testProject("B", {"℃"}, "2024-05-02 08:00:00"), testProject("Other", {"%RH"}),
                                                testProject("C", {"℃"}, "2024-05-03 08:00:00"),
                                                testProject("A", {"℃"}, "2024-05-04 08:00:00"), testProject("NULL", {"V"})};
        projects[3].CreateTime = "2024-05-01 07:00:00";
        for (const Tool::Struct_Parameters &p : projects)
            QVERIFY(storeProject(p, {"1", "2"}));
        m_merge.reset(new VerificationMerge);
        m_merge->show();
        m_merge->SetProject(3, projects);
    }
    QTableWidgetL *mergeTable() const { return m_merge->findChild<QTableWidgetL *>(); }
    static void mergeAs(QWidget *dialog, const QString &name, const QList<int> &checked)
    {
        for (int row : checked)
            dialog->findChild<QTableWidgetL *>()->cellCheckBox(row, 0)->setChecked(true);
        dialog->findChild<QLineEdit *>("lineEdit_Name")->setText(name);
        dialog->findChild<QPushButton *>("pushButton_Set")->click();
    }

    // Project "P" of two instruments, samples stored newest first, loaded on the page with the
    // channels of shown checked; the file dialogs answer m_path.
    void loadP(const QStringList &units, const QList<bool> &shown, const QStringList &samples)
    {
        Tool::Struct_Parameters p = testProject("P", units);
        p.Model << "R24K", p.Serial << "SN-2", p.SignalMode << "串口", p.Signal1 << "COM3", p.Signal2 << "9600";
        QVERIFY(Tool::addParameters(p));
        QList<Tool::Struct_ParametersData> stored;
        for (int n = samples.size() - 1; n >= 0; --n)
            stored.append({p.Name, sampleTime(n), samples.at(n).split(',')});
        QVERIFY(Tool::addParametersDataList(stored));
        makePage();
        for (int c = 0; c < units.size(); ++c)
            item(0, c)->setCheckState(0, shown.value(c, true) ? Qt::Checked : Qt::Unchecked);
        item(0)->setCheckState(0, Qt::PartiallyChecked);
        m_page->LoadProject();
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_path; });
    }
    // The page's messages once an export has ended; none when it does not end.
    QStringList result()
    {
        const bool ended = QTest::qWaitFor([this] { return !m_boxes->texts().isEmpty() && !m_page->isExporting(); }, 60000);
        return ended ? m_boxes->texts() : QStringList();
    }
    // "分段导出" of the loaded project to file in the dir, in the format its name ends with, with the
    // options fill sets: the messages the user saw once the export ended. An options dialog that
    // refuses "确定" is closed at once and gives what it said, so the test fails within moments.
    QStringList report(const QString &file, const std::function<void(QWidget *)> &fill)
    {
        m_path = m_dir->filePath(file);
        QString refused;
        m_boxes->onDialog([this, file, fill, &refused](QWidget *dialog) {
            dialog->findChild<QComboBox *>("comboBox_Format")->setCurrentIndex(file.endsWith(".xls"));
            dialog->findChild<QPushButton *>("pushButton_Route")->click();
            fill(dialog);
            const int boxes = m_boxes->count();
            dialog->findChild<QPushButton *>("pushButton_OK")->click();
            if (dialog->isVisible()) {
                refused = QStringLiteral("the options dialog refused 确定: ")
                          + (m_boxes->count() > boxes ? m_boxes->last().text : QStringLiteral("without a message"));
                static_cast<QDialog *>(dialog)->reject();
            }
        }, "VerificationReportExport");
        m_page->TimeOut_clicked();
        return refused.isEmpty() ? result() : QStringList{refused};
    }
    // The data export's rows 1 to 14, cells joined with "|".
    QStringList dataSheet() const
    {
        const QJsonObject all = sheet(readWorkbook(m_path), "Sheet1");
        QStringList rows;
        for (int row = 1; row <= 14; ++row)
            rows << sheetRow(all, row, 4).join('|');
        return rows;
    }
private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
        m_system = Struct_System();
        m_path = m_dir->filePath("data.xls");
    }

    void cleanup()
    {
        m_merge.reset();
        m_page.reset();
        VerificationReportExport::setFileChooser(nullptr);
        XlsxWorkbook::setRowLimit(1048576);
        m_boxes.reset();
        m_dir.reset();
    }

    // Newest project first as "start\nname" with its channels; the search text is bound as text.
    // One project carries checks at a time; a project follows its channels and they follow it.
    void treeSearchAndChecks()
    {
        QVERIFY(storeProject(testProject("Oven A", {"℃", "℃", "℃"}), {}));
        QVERIFY(storeProject(testProject("Bob's 50% run", {"℃", "℃"}, "2024-05-02 09:30:00"), {}));
        QVERIFY(storeProject(testProject("50 run", {"%RH"}), {}));
        makePage();
        QCOMPARE(item(1)->text(0) + '|' + item(2, 1)->text(0) + '|' + states(), QStringLiteral("2024-05-02 09:30:00\nBob's 50% run|1-2|0:0|0:00|0:000"));
        const QList<QPair<QString, QStringList>> searches{{"'s 50%", {"Bob's 50% run"}}, {"50", {"50 run", "Bob's 50% run"}},
                                                          {"_", {}}, {"", {"50 run", "Bob's 50% run", "Oven A"}}};
        for (const auto &s : searches) {
            search(s.first);
            QCOMPARE(names(), s.second);
        }
        const struct { int project, channel; Qt::CheckState state; const char *expected; } steps[] = {
            {2, -1, Qt::Checked, "0:00|2:222"}, {1, 1, Qt::Checked, "1:02|0:000"}, {1, 0, Qt::Checked, "2:22|0:000"},
            {1, 0, Qt::Unchecked, "1:02|0:000"}, {1, 1, Qt::Unchecked, "0:00|0:000"}, {2, 2, Qt::Checked, "0:00|1:002"},
            {2, -1, Qt::Checked, "0:00|2:222"}, {2, -1, Qt::Unchecked, "0:00|0:000"}};
        for (const auto &step : steps) {
            click(step.project, step.channel, step.state);
            QCOMPARE(states(), "0:0|" + QString::fromLatin1(step.expected));
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
        QStringList values;
        for (int g = 0; g < 2; ++g) {
            for (const QCPGraphData &point : *m_page->Chart()->graph(g)->data())
                values << QString::number(point.value);
        }
        QCOMPARE(values.join(' '), QStringLiteral("21 21.5 22 40 41 42"));
        auto *start = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start");
        auto *end = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End");
        const Struct_Export &o = m_page->ExportOptions();
        QCOMPARE(QStringList({o.ScanInterval, o.Unit1, o.Unit2, o.Segments, QString::number(o.Count1), QString::number(o.Count2)}),
                 QStringList({"1", "℃", "%RH", "1", "1", "1"})); // over the checked channels
        QCOMPARE(QList<QDateTime>({o.StartTime, o.EndTime}), QList<QDateTime>({sampleTime(0), sampleTime(3)}));
        QCOMPARE(QList<qint64>({start->dateTime().toSecsSinceEpoch(), end->dateTime().toSecsSinceEpoch()}),
                 QList<qint64>({sampleTime(0).toSecsSinceEpoch(), sampleTime(3).toSecsSinceEpoch()}));
        QCOMPARE(m_page->Loaded().Visible, QList<bool>({false, true, true}));
        QCOMPARE(exportButtons(), QStringLiteral("11"));

        start->setDateTime(sampleTime(1));
        button("pushButton_DisplayRange")->click();
        QCOMPARE(m_page->Chart()->xAxis->range().lower, QCustomPlotL::TimeKey(sampleTime(1)));

        // Three units: the chart stays empty, the rest is loaded.
        QVERIFY(storeProject(testProject("Three", {"℃", "%RH", "V"}), {"1,2,3"}));
        search(QString());
        click(0);
        m_page->LoadProject();
        QCOMPARE(graphs(), QStringList());
        QVERIFY(information().startsWith("项目名称:Three\n"));
        QCOMPARE(m_page->ExportOptions().Unit2 + m_page->Loaded().Project.Name, QStringLiteral("%RHThree"));
        QCOMPARE(m_boxes->count(), 0);
    }

    // On the shown page the chart is filled graph by graph and its axes are set once, to the data
    // of every shown channel, left and right.
    void loadedChartRescaledOnce()
    {
        QVERIFY(storeProject(testProject("Oven", {"℃", "℃", "%RH", "%RH"}), {"20,25,40,45", "21,30,41,60", "22,26,42,50"}));
        makePage();
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QCustomPlotL *chart = m_page->Chart();
        QList<int> moves{0, 0, 0};
        const QList<QCPAxis *> axes{chart->xAxis, chart->yAxis, chart->yAxis2};
        for (int a = 0; a < axes.size(); ++a)
            connect(axes.at(a), qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [&moves, a] { ++moves[a]; });
        click(0);
        m_page->LoadProject();
        QCOMPARE(moves, QList<int>({1, 1, 1}));
        const double t0 = QCustomPlotL::TimeKey(sampleTime(0));
        const auto range = [](const QCPAxis *axis, double origin) {
            return QStringLiteral("%1..%2").arg(axis->range().lower - origin).arg(axis->range().upper - origin);
        };
        QCOMPARE(QStringList({range(chart->xAxis, t0), range(chart->yAxis, 0), range(chart->yAxis2, 0)}),
                 QStringList({"0..2", "20..30", "40..60"}));
    }

    // Nothing checked; a failing store (nothing lost, one message); then the loaded project for
    // real: it stays on screen but can no longer be exported. Merging the loaded project away
    // disables the exports as well, until a project is loaded again.
    void deleteOrMergeTheLoadedProject()
    {
        QVERIFY(storeProject(testProject("Keep", {"℃"}), {"1"}));
        QVERIFY(storeProject(testProject("More", {"℃"}), {"3"}));
        QVERIFY(storeProject(testProject("Gone", {"℃"}), {"1", "2"}));
        makePage();
        menu(Delete);
        click(0);
        m_page->LoadProject();
        search("Gone");
        click(0);
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE DELETE ON ParametersData BEGIN SELECT RAISE(ABORT, 'no'); END"));
        menu(Delete);
        QCOMPARE(m_boxes->texts(), QStringList({"请先选择需要删除的项目!", "删除数据失败!\nno"}));
        QCOMPARE(m_boxes->boxes().at(0).title + m_boxes->last().title, QStringLiteral("提示警告"));
        QCOMPARE(stored() + '|' + names().join(','), QStringLiteral("Gone(01,01):2 Keep(01,01):1 More(01,01):1|Gone,More,Keep"));
        QVERIFY(q.exec("DROP TRIGGER refuse"));
        click(0);
        menu(Delete);
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(stored() + '|' + names().join(','), QStringLiteral("Keep(01,01):1 More(01,01):1|More,Keep"));
        QVERIFY(m_page->Loaded().Gone && information().startsWith("项目名称:Gone\n"));
        QCOMPARE(graphs().join(',') + exportButtons(), QStringLiteral("1-100"));

        click(1);
        m_page->LoadProject();
        QCOMPARE(exportButtons(), QStringLiteral("11"));
        m_boxes->onDialog([](QWidget *dialog) { mergeAs(dialog, "Whole", {0}); }, "VerificationMerge");
        menu(Merge);
        QCOMPARE(names().join(',') + QString::number(m_page->Loaded().Gone) + exportButtons(), QStringLiteral("Whole100"));
        click(0);
        m_page->LoadProject();
        QCOMPARE(QString::number(m_page->Loaded().Rows->rowCount()) + exportButtons(), QStringLiteral("211"));
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
        QVERIFY(Tool::addParametersData({"Loaded", sampleTime(9), {"5", "6"}}));
        QStringList seen;
        for (int project : {2, 1}) {
            click(project, project == 2 ? 1 : -1);
            m_boxes->onDialog([&seen](QWidget *dialog) {
                const QAbstractItemModel *model = dialog->findChild<QTableView *>()->model();
                seen << QString::number(model->rowCount()) + model->headerData(2, Qt::Horizontal).toString();
                static_cast<QDialog *>(dialog)->reject();
            }, "VerificationReportData");
            menu(ViewData);
        }
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

    // The data view: heads of the shown channels, numbered rows, times with milliseconds, values
    // with the system's decimals, nothing editable; rows with more or fewer values than channels
    // show as far as both go. Its menu copies the selected row.
    void dataView_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("expected"); // heads, then the cells of each row
        QTest::newRow("all, 2 decimals") << 2 << QList<bool>{true, true, true}
            << QStringList{"序号|采集时间|1-1(℃)|1-2(℃)|1-3(%RH)", "1|2024-05-01 08:00:00.000|20.13|-0.50|45.00",
                           "2|2024-05-01 08:00:01.001|1.00|2.00|3.00", "3|2024-05-01 08:00:02.002|7.00||",
                           "4|2024-05-01 08:00:03.003|0.00|nan|1.00"};
        QTest::newRow("hidden, 0 decimals") << 0 << QList<bool>{false, true, true}
            << QStringList{"序号|采集时间|1-2(℃)|1-3(%RH)", "1|2024-05-01 08:00:00.000|-1|45",
                           "2|2024-05-01 08:00:01.001|2|3", "3|2024-05-01 08:00:02.002||", "4|2024-05-01 08:00:03.003|nan|1"};
    }

    void dataView()
    {
        QFETCH(int, decimals);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, expected);
        auto rows = std::make_shared<ProjectRows>(3);
        const QStringList values{"20.125,-0.5,45", "1,2,3,4,5", "7", "x,nan,1"};
        for (int n = 0; n < values.size(); ++n)
            rows->appendJoined(sampleTime(n).toMSecsSinceEpoch(), values.at(n));
        m_system.DataAccuracy = decimals;
        VerificationReportData dialog;
        dialog.SetData(&m_system, testProject("P", {"℃", "℃", "%RH"}), shown, rows);
        dialog.show();
        auto *table = dialog.findChild<QTableView *>("tableWidget");
        QStringList lines;
        for (int r = -1; r < table->model()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->model()->columnCount(); ++c)
                cells << (r < 0 ? table->model()->headerData(c, Qt::Horizontal) : table->model()->index(r, c).data()).toString();
            lines << cells.join('|');
        }
        QCOMPARE(lines, expected);
        QVERIFY(!(table->model()->flags(table->model()->index(0, 2)) & Qt::ItemIsEditable));
        table->selectRow(1);
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->actions().first()->text() == QStringLiteral("复制"));
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        emit table->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(QApplication::clipboard()->text(), expected.at(2).split('|').join('\t'));
    }

    // Candidates share instruments, interval, channels, types, units and display units, list by
    // list and position by position; connection texts, rates and factors do not matter.
    void mergeCandidates()
    {
        openMerge();
        QCOMPARE(mergeTable()->item(0, 1)->text() + mergeTable()->item(1, 1)->text() + QString::number(mergeTable()->rowCount()),
                 QStringLiteral("BC2"));
        QVERIFY(!mergeTable()->cellCheckBox(0, 0)->isChecked());
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
        m_merge->SetProject(0, {a});
        QCOMPARE(mergeTable()->rowCount(), 0);
        QCOMPARE(m_boxes->texts(), QStringList({"没有匹配的项目可以合并!"}));
    }

    // Accepted names take every merged sample and one record with the earliest times; refused
    // ones, a store that fails part-way and a failed name lookup change nothing and leave the
    // dialog open, ready for another try; a failure of the store names its reason.
    void mergeUnderName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("outcome"); // the messages, then what is stored afterwards
        const QString rest = " NULL(01,01):2 Other(01,01):2", all = "|A(01,04):2 B(02,02):2 C(03,03):2" + rest;
        QTest::newRow("new name") << "Joined" << QList<int>{0, 1} << "" << "|Joined(01,02):6" + rest;
        QTest::newRow("current name") << "A" << QList<int>{1} << "" << "|A(01,03):4 B(02,02):2" + rest;
        QTest::newRow("candidate's name") << "B" << QList<int>{0} << "" << "|B(01,02):4 C(03,03):2" + rest;
        QTest::newRow("another stored name") << "Other" << QList<int>{0} << "" << "项目名称已存在！" + all;
        QTest::newRow("stored NULL") << "NULL" << QList<int>{0} << "" << "项目名称已存在！" + all;
        QTest::newRow("empty") << "" << QList<int>{0} << "" << "合并后名称不能为空！" + all;
        QTest::newRow("nothing checked") << "Joined" << QList<int>{} << "" << "请先选择需要合并的项目！" + all;
        QTest::newRow("store fails") << "Joined" << QList<int>{0} << "CREATE TRIGGER refuse BEFORE INSERT ON Parameters BEGIN "
                                     "SELECT RAISE(ABORT, 'no'); END" << "数据库连接失败！\nno" + all + "|C(03,03):2 Joined(01,02):4" + rest;
        QTest::newRow("rename fails") << "Joined" << QList<int>{0} << "CREATE TRIGGER refuse BEFORE UPDATE ON ParametersData BEGIN "
                                      "SELECT RAISE(ABORT, 'no'); END" << "数据库连接失败！\nno" + all + "|C(03,03):2 Joined(01,02):4" + rest;
        // Stored after the dialog's check, before the merge is stored (a trigger stands in for
        // another program): refused by the store, named, nothing changed.
        QTest::newRow("name stored meanwhile") << "Joined" << QList<int>{0} << "CREATE TRIGGER refuse BEFORE DELETE ON Parameters BEGIN "
                                               "INSERT INTO Parameters (Name) VALUES ('Joined'); END"
                                               << "项目名称已存在！（Joined）" + all + "|C(03,03):2 Joined(01,02):4" + rest;
        QTest::newRow("database closed") << "Joined" << QList<int>{0} << "close" << "数据库连接失败！\nDriver not loaded" + all + "|C(03,03):2 Joined(01,02):4" + rest;
    }

    void mergeUnderName()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, checked);
        QFETCH(QString, fault);
        QFETCH(QString, outcome);
        openMerge();
        QSqlQuery q;
        if (fault == "close")
            Tool::closeDatabase();
        QVERIFY(fault == "close" || fault.isEmpty() || q.exec(fault));
        mergeAs(m_merge.get(), name, checked);
        QVERIFY(fault == "close" ? Tool::openDatabase() : fault.isEmpty() || q.exec("DROP TRIGGER refuse"));
        QString found = m_boxes->texts().join("") + '|' + stored();
        QCOMPARE(m_merge->isVisible(), m_merge->result() != QDialog::Accepted);
        if (!fault.isEmpty()) {
            mergeAs(m_merge.get(), name, {});
            found += '|' + stored();
        }
        QCOMPARE(found, outcome);
        QVERIFY(m_merge->result() != QDialog::Accepted || m_merge->MergedNames().contains("A"));
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
        m_dir.reset(new TestWorkDir(TestWorkDir::NoDatabase));
        HKRQ5713::setSplashDelay(0);
        HKRQ5713 window;
        QVERIFY(window.isReady());
        window.findChild<QToolButton *>("toolButton_VerificationReport")->click();
        auto *page = qobject_cast<VerificationReport *>(window.currentPage());
        QVERIFY(page && page->Chart() && page->Chart()->Decimals() == window.system()->DataAccuracy);
    }

    // OK checks path, remarks, start, end, segment order and interval in this order, stops at the
    // first failure and stores nothing; parts of a second never fail; seconds become whole
    // milliseconds rounded.
    void checks_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("path");
        QTest::addColumn<Times>("times");
        QTest::addColumn<QStringList>("remarks");
        QTest::addColumn<QString>("scan");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QString>("message");
        const Times whole{0, 600000};
        const QStringList a{"a"};
        QTest::newRow("xlsx for Excel") << 1 << "r.xlsx" << whole << a << "1" << "1" << "路径设置错误!";
        QTest::newRow("path first") << 0 << "r.xls" << Times{-5000, 700000} << QStringList{""} << "1" << "x" << "路径设置错误!";
        QTest::newRow("remark 2 before times") << 0 << "r.pdf" << Times{-5000, 300000, 300000, 600000} << QStringList{"a", ""}
                                               << "1" << "1" << "备注信息不能为空!";
        QTest::newRow("start a second early") << 0 << "r.pdf" << Times{-1000, 600000} << a << "1" << "1" << "开始时间小于开始采集时间!";
        QTest::newRow("end a second late") << 0 << "r.pdf" << Times{0, 601000} << a << "1" << "1" << "结束时间大于结束采集时间!";
        QTest::newRow("back before interval") << 0 << "r.pdf" << Times{0, 300000, 299000, 600000} << QStringList{"a", "b"}
                                              << "60" << "90" << "分段时间错误!";
        QTest::newRow("half a second early, touching") << 1 << "r.xls" << Times{-500, 300000, 300000, 600000}
                                                       << QStringList{"a", "b"} << "1" << "60" << "";
        QTest::newRow("60 s by 90 s") << 0 << "r.pdf" << whole << a << "60" << "90" << "采集间隔设置错误!";
        QTest::newRow("2.01 s by 4.02 s") << 0 << "r.pdf" << whole << a << "2.01" << "4.02" << "";
        QTest::newRow("beyond an int of ms") << 0 << "r.pdf" << whole << a << "1" << "3000000" << "采集间隔设置错误!";
    }

    void checks()
    {
        QFETCH(int, format);
        QFETCH(QString, path);
        QFETCH(Times, times);
        QFETCH(QStringList, remarks);
        QFETCH(QString, scan);
        QFETCH(QString, print);
        QFETCH(QString, message);
        Struct_Export record = tenMinutes(scan);
        VerificationReportExport dialog;
        dialog.SetParameters(&record);
        const int count = times.size() / 2;
        chooseSegments(&dialog, count);
        for (int k = 0; k < count; ++k) {
            edit(&dialog, "Start", k + 1)->setDateTime(kStart.addMSecs(times.at(2 * k)));
            edit(&dialog, "End", k + 1)->setDateTime(kStart.addMSecs(times.at(2 * k + 1)));
            dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_Remark%1").arg(k + 1))->setText(remarks.at(k));
        }
        dialog.findChild<QComboBox *>("comboBox_Format")->setCurrentIndex(format);
        dialog.findChild<QLineEdit *>("lineEdit_PrintInterval")->setText(print);
        QString filter;
        VerificationReportExport::setFileChooser([&](QWidget *, const QString &f) { filter = f; return path; });
        dialog.findChild<QPushButton *>("pushButton_Route")->click();
        QCOMPARE(filter, format == 0 ? QStringLiteral("Image Files (*.pdf)") : QStringLiteral("Image Files (*.xls)"));
        dialog.findChild<QPushButton *>("pushButton_OK")->click();

        QCOMPARE(m_boxes->texts().join('|') + QString::number(dialog.result()), message + QString::number(message.isEmpty()));
        if (!message.isEmpty()) {
            QCOMPARE(m_boxes->last().title + record.Path + record.PrintInterval + record.Format + record.Segments, QStringLiteral("提示1"));
            return;
        }
        QCOMPARE(QStringList({record.Segments, record.PrintInterval, record.Format, record.Path, record.SegmentRemark.join('|'),
                              QString::number(record.SegmentStart.size() + record.SegmentEnd.size())}),
                 QStringList({QString::number(count), print, format == 0 ? "PDF" : "Excel", path, remarks.join('|'), QString::number(2 * count)}));
    }

    // One segment spans the project with an empty remark; the count enables rows; an end moves
    // the next start only.
    void segments()
    {
        Struct_Export record = tenMinutes("1");
        VerificationReportExport dialog;
        dialog.SetParameters(&record);
        QCOMPARE(segmentRows(&dialog, 2), QStringList({"08:00:00-08:10:00 ", "08:00:00-08:10:00  off"}));
        chooseSegments(&dialog, 4);
        edit(&dialog, "End", 2)->setDateTime(kStart.addSecs(120));
        edit(&dialog, "Start", 3)->setDateTime(kStart.addSecs(200));
        edit(&dialog, "End", 6)->setDateTime(kStart.addSecs(300));
        QCOMPARE(segmentRows(&dialog), QStringList({"08:00:00-08:10:00 ", "08:00:00-08:02:00 ", "08:03:20-08:10:00 ",
                                                    "08:00:00-08:10:00 ", "08:00:00-08:10:00  off", "08:00:00-08:05:00  off"}));
    }

    // A time typed into a segment's start or end as a user types it (all selected, then the keys,
    // or from a field on) is taken as typed, with no milliseconds, once the typing ends (Tab, a
    // click on "确定"); an end moves the next start with it. A time that does not exist, one
    // digit too many, or a time outside the edit's range (here 2000 to 2099) is refused with a box
    // naming what was typed: the edit shows its time from before, Enter or the click on "确定"
    // does nothing more, and the dialog stays open.
    void typedSegmentTimes_data()
    {
        QTest::addColumn<int>("segments");
        QTest::addColumn<QString>("edit");       // "Start1", "End1", ...
        QTest::addColumn<int>("field");          // -1: the whole text selected; else the field typed from
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("finish");     // "tab", "enter" or "click" (on "确定")
        QTest::addColumn<QStringList>("expected"); // the segments stored, or the box's text
        const QString end = "-05-01 08:10:00.500";
        QTest::newRow("start, whole time") << 1 << "Start1" << -1 << "2024-05-01 08:02:30" << "tab" << QStringList{"05-01 08:02:30.000" + end};
        QTest::newRow("start, whole time, click") << 1 << "Start1" << -1 << "2024-05-01 08:02:30" << "click"
                                                  << QStringList{"05-01 08:02:30.000" + end};
        QTest::newRow("digits only") << 1 << "Start1" << -1 << "20240501080230" << "tab" << QStringList{"05-01 08:02:30.000" + end};
        QTest::newRow("one-digit fields") << 1 << "Start1" << -1 << "2024-5-1 8:2:30" << "tab" << QStringList{"05-01 08:02:30.000" + end};
        QTest::newRow("from the minutes on") << 1 << "Start1" << 4 << "5:7" << "tab" << QStringList{"05-01 08:05:07.000" + end};
        QTest::newRow("end 1 moves start 2") << 2 << "End1" << -1 << "2024-05-01 08:04:00" << "click"
            << QStringList{"05-01 08:00:00.500-05-01 08:04:00.000", "05-01 08:04:00.000" + end};
        const QString refused = "输入的时间无效，已恢复原来的时间!\n";
        QTest::newRow("30 February") << 1 << "Start1" << -1 << "2024-02-30 08:00:00" << "enter"
                                     << QStringList{refused + "2024-02-30 08:00:00"};
        QTest::newRow("hour 25") << 1 << "End1" << -1 << "2024-05-01 25:00:00" << "tab" << QStringList{refused + "2024-05-01 25:00:00"};
        QTest::newRow("a digit too many") << 1 << "Start1" << -1 << "2024-05-01 08:02:301" << "click"
                                          << QStringList{refused + "2024-05-01 08:02:301"};
        QTest::newRow("above the maximum") << 1 << "End1" << -1 << "2100-01-01 00:00:00" << "tab"
                                           << QStringList{refused + "2100-01-01 00:00:00"};
        QTest::newRow("below the minimum") << 1 << "Start1" << -1 << "1999-12-31 23:59:59" << "click"
                                           << QStringList{refused + "1999-12-31 23:59:59"};
    }

    void typedSegmentTimes()
    {
        QFETCH(int, segments);
        QFETCH(QString, edit);
        QFETCH(int, field);
        QFETCH(QString, keys);
        QFETCH(QString, finish);
        QFETCH(QStringList, expected);
        Struct_Export record = tenMinutes("1");
        VerificationReportExport dialog;
        dialog.SetParameters(&record);
        chooseSegments(&dialog, segments);
        for (int k = 1; k <= segments; ++k)
            dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_Remark%1").arg(k))->setText("r");
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_dir->filePath("r.pdf"); });
        dialog.findChild<QPushButton *>("pushButton_Route")->click();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *typed = dialog.findChild<QDateTimeEdit *>("dateTimeEdit_" + edit);
        typed->setDateTimeRange(QDateTime(QDate(2000, 1, 1), QTime(0, 0)), QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)));
        const QString before = typed->text();
        typed->setFocus();
        if (field < 0) {
            QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
        } else {
            typed->setCurrentSectionIndex(field);
            typed->setSelectedSection(typed->sectionAt(field));
        }
        QTest::keyClicks(typed, keys);
        auto *ok = dialog.findChild<QPushButton *>("pushButton_OK");
        if (finish == "click")
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            QTest::keyClick(typed, finish == "tab" ? Qt::Key_Tab : Qt::Key_Enter);
        if (expected.first().contains('\n')) {
            QCOMPARE(m_boxes->texts(), expected);
            QCOMPARE(typed->text(), before);
            QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted && record.Path.isEmpty());
            return;
        }
        QCOMPARE(m_boxes->texts(), QStringList());
        if (finish != "click")
            QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QStringList stored;
        for (int k = 0; k < record.SegmentStart.size(); ++k)
            stored << record.SegmentStart.at(k).toString("MM-dd hh:mm:ss.zzz") + '-' + record.SegmentEnd.at(k).toString("MM-dd hh:mm:ss.zzz");
        QCOMPARE(stored, expected);
    }

    // The display range typed on the page, then "设定": the chart shows the range as typed; a
    // time that does not exist is refused and the range stays.
    void typedDisplayRange()
    {
        loadP({"℃"}, {}, {"1", "2", "3"});
        m_page->show();
        QApplication::setActiveWindow(m_page.get());
        QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
        auto *start = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start");
        auto *end = m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End");
        const auto type = [](QDateTimeEdit *edit, const QString &keys) {
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, keys);
        };
        type(start, "2024-05-01 07:59:30");
        type(end, "2024-05-01 08:00:02");
        QTest::mouseClick(button("pushButton_DisplayRange"), Qt::LeftButton);
        const QCPRange typed(QCustomPlotL::TimeKey(QDateTime(QDate(2024, 5, 1), QTime(7, 59, 30))),
                             QCustomPlotL::TimeKey(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 2))));
        QCOMPARE(m_page->Chart()->xAxis->range(), typed);
        type(end, "2024-05-01 08:00:62");
        QTest::mouseClick(button("pushButton_DisplayRange"), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList({"输入的时间无效，已恢复原来的时间!\n2024-05-01 08:00:62"}));
        QCOMPARE(end->text(), QStringLiteral("2024-05-01 08:00:02"));
        QCOMPARE(m_page->Chart()->xAxis->range(), typed);
    }

    // The sections offered follow the unit groups of the checked channels.
    void sectionsOffered_data()
    {
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("℃ and %RH") << QStringList{"℃", "℃", "%RH"} << QList<bool>{}
                                  << QStringList{"温度横向分析表 1", "温度竖向分析表 1", "湿度横向分析表 0", "湿度竖向分析表 1"};
        QTest::newRow("every ℃ hidden") << QStringList{"℃", "%RH", "℃", "%RH"} << QList<bool>{false, true, false, true}
                                        << QStringList{"湿度横向分析表 1", "湿度竖向分析表 1", "-", "-"};
        QTest::newRow("three units") << QStringList{"℃", "%RH", "V", "℃"} << QList<bool>{}
                                     << QStringList{"温度横向分析表 1", "温度竖向分析表 1", "湿度横向分析表 0", "湿度竖向分析表 0"};
        QTest::newRow("one channel shown") << QStringList{"℃", "%RH"} << QList<bool>{true, false}
                                           << QStringList{"温度横向分析表 0", "温度竖向分析表 1", "-", "-"};
        // A unit that contains another is another unit: each group keeps exactly its own channels.
        QTest::newRow("mV beside V") << QStringList{"V", "mV", "mV", "V"} << QList<bool>{}
                                     << QStringList{"电压横向分析表 1", "电压竖向分析表 1", "电压横向分析表 1", "电压竖向分析表 1"};
        QTest::newRow("KPa beside Pa") << QStringList{"KPa", "Pa", "Pa", "KPa"} << QList<bool>{}
                                       << QStringList{"压力横向分析表 1", "压力竖向分析表 1", "压力横向分析表 1", "压力竖向分析表 1"};
    }

    void sectionsOffered()
    {
        QFETCH(QStringList, units);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, boxes);
        loadP(units, shown, {QStringList(QVector<QString>(units.size(), "1").toList()).join(',')});
        QStringList offered;
        m_boxes->onDialog([&offered](QWidget *dialog) { // as "text enabled", a hidden box as "-"
            for (const char *name : {"checkBox_Horizontal1", "checkBox_Vertical1", "checkBox_Horizontal2", "checkBox_Vertical2"}) {
                auto *box = dialog->findChild<QCheckBox *>(QLatin1String(name));
                offered << (box->isHidden() ? QStringLiteral("-") : box->text() + ' ' + QString::number(box->isEnabled()));
            }
            static_cast<QDialog *>(dialog)->reject();
        }, "VerificationReportExport");
        m_page->TimeOut_clicked();
        QCOMPARE(offered, boxes);
        QVERIFY(!m_page->isExporting());
    }

    // A segmented export of each format: channel 1-2 unchecked, two segments, every 60th row.
    // Opened again, the dialog shows the export's segments and remarks, the print interval anew.
    void reportFromThePage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("PDF") << "report.pdf";
        QTest::newRow("Excel") << "report.xls";
    }

    void reportFromThePage()
    {
        QFETCH(QString, file);
        QStringList samples;
        for (int n = 0; n < 121; ++n)
            samples << QStringLiteral("%1,%2,%3").arg(n).arg(1000 + n).arg(2000 + n);
        loadP({"℃", "℃", "%RH"}, {true, false, true}, samples);
        const QStringList outcome = report(file, [](QWidget *dialog) {
            chooseSegments(dialog, 2);
            edit(dialog, "End", 1)->setDateTime(sampleTime(60));
            dialog->findChild<QLineEdit *>("lineEdit_Remark1")->setText("升温");
            dialog->findChild<QLineEdit *>("lineEdit_Remark2")->setText("恒温");
            dialog->findChild<QLineEdit *>("lineEdit_PrintInterval")->setText("60");
            dialog->findChild<QCheckBox *>("checkBox_Vertical1")->setChecked(true);
        });
        QVERIFY2(outcome == kReported, qPrintable(outcome.join('\n')));
        const QStringList lines = reportLines(m_path);
        const QString missing = missingBlock(lines, {"1.数据表 2.温度竖向表",
            "时间 1-1(℃) 1-3(%RH)\n05-01 08:00:00.000 0.00 2000.00\n05-01 08:01:00.060 60.00 2060.00\n升温 结束",
            "时间 1-1(℃) 1-3(%RH)\n05-01 08:01:00.060 60.00 2060.00\n05-01 08:02:00.120 120.00 2120.00\n恒温 结束", "温度竖向分析表"});
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + lines.join('\n')));
        QVERIFY(!lines.join('\n').contains(QRegularExpression("1-2\\(|08:00:01.001|湿度")));

        QStringList reopened;
        m_boxes->onDialog([&reopened](QWidget *dialog) {
            reopened = segmentRows(dialog, 2) << dialog->findChild<QLineEdit *>("lineEdit_PrintInterval")->text();
            static_cast<QDialog *>(dialog)->reject();
        }, "VerificationReportExport");
        m_page->TimeOut_clicked();
        QCOMPARE(reopened, QStringList({"08:00:00-08:01:00 升温", "08:01:00-08:02:00 恒温", "1"}));
    }

    // The data export: information block, head row of the checked channels, every sample in time
    // order (numbers with the page's decimals, "nan" empty, no number 0, a short row as far as it
    // goes, extra values dropped); "报表生成" takes the display range as the edits show it, its end
    // with the last second's milliseconds.
    void dataExport()
    {
        m_system.DataAccuracy = 3;
        loadP({"℃", "%RH", "℃"}, {true, false, true}, {"1.5,50,nan", "abc,51,3", "3,52", "4,53,5,99"});
        menu(SimpleExport);
        QCOMPARE(result(), QStringList{"报表生成成功!"});
        const QStringList rows{"项目名称:|P", "设备型号：|R27K,R24K", "设备序列号：|SN-1;SN-2", "通讯方式：|网络,串口",
                               "IP/COM：|192.168.1.10,COM3", "Port/BaudRate：|502,9600", "扫描间隔：|1s", "", "时间|1-1(℃)|1-3(℃)",
                               "2024-05-01 08:00:00.000|1.5", "2024-05-01 08:00:01.001|0|3", "2024-05-01 08:00:02.002|3",
                               "2024-05-01 08:00:03.003|4|5", ""};
        QCOMPARE(dataSheet(), rows);
        QCOMPARE(sheet(readWorkbook(m_path), "Sheet1").value("formats").toObject().value("B10").toString(), QStringLiteral("0.000"));

        m_boxes->clear();
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 1)));
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 2)));
        m_page->findChild<QPushButton *>("pushButton_CalibrationReport")->click();
        QCOMPARE(result(), QStringList{"报表生成成功!"});
        QCOMPARE(dataSheet(), rows.mid(0, 9) + rows.mid(10, 2) + QStringList({"", "", ""}));
    }

    // One sample more than the sheet holds fails the export and leaves nothing behind; a worker
    // that cannot start ends the busy dialog with the failure; the next export runs. A page that
    // goes while its export runs waits for it, and the export's result goes with the page.
    void failures()
    {
        XlsxWorkbook::setRowLimit(SimpleDataExport::FirstDataRow + 29998);
        loadP({"℃", "℃", "℃"}, {}, QStringList(QVector<QString>(30000, "1.5,2.5,3.5").toList()));
        menu(SimpleExport);
        QCOMPARE(result(), QStringList{"数据异常，生成报表失败!"});
        QCOMPARE(QDir(m_dir->path()).entryList({"*data*"}, QDir::Files | QDir::Hidden), QStringList());

        m_boxes->clear();
        XlsxWorkbook::setRowLimit(1048576);
        g_refuseThread = true;
        menu(SimpleExport);
        QCOMPARE(m_boxes->texts(), QStringList{"数据异常，生成报表失败!"});
        QVERIFY(!m_page->isExporting() && !m_page->findChild<QWaiting *>());

        m_boxes->clear();
        menu(SimpleExport);
        QVERIFY(m_page->isExporting());
        m_page.reset();
        QVERIFY(QFile::exists(m_path)); // a workbook reaches its path only once complete
        QCoreApplication::processEvents();
        QCOMPARE(m_boxes->texts(), QStringList());
    }

    // The print interval keeps the first sample and every step-th after it, the step counted in
    // rounded milliseconds; a print interval that is no whole multiple of the scan is refused.
    void thinning_data()
    {
        QTest::addColumn<QString>("scan");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QList<int>>("kept"); // of samples 0 to 120, one per scan interval
        QList<int> minutes{0, 60, 120}, seconds;
        for (int n = 0; n <= 120; ++n)
            seconds << n;
        QList<int> everyThird, everySecond;
        for (int n = 0; n <= 120; n += 3)
            everyThird << n;
        for (int n = 0; n <= 120; n += 2)
            everySecond << n;
        QTest::newRow("1 s by 1 s") << "1" << "1" << seconds;
        QTest::newRow("1 s by 2 s") << "1" << "2" << everySecond;
        QTest::newRow("2.01 s by 4.02 s") << "2.01" << "4.02" << everySecond;
        QTest::newRow("0.1 s by 0.3 s") << "0.1" << "0.3" << everyThird;
        QTest::newRow("1 s by 60 s") << "1" << "60" << minutes;
        QTest::newRow("60 s by 90 s") << "60" << "90" << QList<int>{};
        QTest::newRow("1 s by 0.5 s") << "1" << "0.5" << QList<int>{};
    }

    void thinning()
    {
        QFETCH(QString, scan);
        QFETCH(QString, print);
        QFETCH(QList<int>, kept);
        const int step = VerificationReportExport::PrintStep(scan, print);
        QCOMPARE(step > 0, !kept.isEmpty());
        if (kept.isEmpty())
            return;
        const ProjectRows rows = steadyRows(2, 121).thinned(step);
        QList<int> samples;
        for (int r = 0; r < rows.rowCount(); ++r)
            samples << int((rows.time(r) - t0()) / 1000);
        QCOMPARE(samples, kept);
    }

    // Each section switch gives its own section: only the second group's horizontal table ticked
    // gives the work data and that table, no vertical table and nothing of the first group. Viewing
    // another project's data before leaves the loaded one for the export; every second sample at
    // twice the scan interval.
    void sectionSwitches()
    {
        QVERIFY(storeProject(testProject("Viewed", {"V"}), {"7", "8"}));
        QStringList samples;
        for (int n = 0; n < 5; ++n)
            samples << QStringLiteral("%1,%2,%3,%4").arg(n).arg(10 + n).arg(50 + n).arg(60 + n);
        loadP({"℃", "℃", "%RH", "%RH"}, {}, samples); // P above Viewed
        click(1);
        m_boxes->rejectDialog("VerificationReportData");
        menu(ViewData);
        const QStringList outcome = report("report.xls", [](QWidget *dialog) {
            dialog->findChild<QLineEdit *>("lineEdit_Remark1")->setText("恒温");
            dialog->findChild<QLineEdit *>("lineEdit_PrintInterval")->setText("2");
            dialog->findChild<QCheckBox *>("checkBox_Horizontal2")->setChecked(true);
        });
        QVERIFY2(outcome == kReported, qPrintable(outcome.join('\n')));
        const QStringList lines = reportLines(m_path);
        const QString missing = missingBlock(lines, {"1.数据表 2.湿度横向表",
            "时间 1-1(℃) 1-2(℃) 1-3(%RH) 1-4(%RH)\n05-01 08:00:00.000 0.00 10.00 50.00 60.00\n"
            "05-01 08:00:02.002 2.00 12.00 52.00 62.00\n05-01 08:00:04.004 4.00 14.00 54.00 64.00", "湿度横向分析表"});
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + lines.join('\n')));
        QVERIFY2(!lines.join('\n').contains(QRegularExpression("竖向|温度横向|08:00:01|08:00:03|1-1\\(V\\)")), qPrintable(lines.join('\n')));
    }

    // Another program holds the database's write lock: a delete and a merge give up after a
    // moment, not after the store's full wait, say why on a second line and change nothing; both
    // go through once the lock is gone.
    void writesUnderAnotherProgramsLock()
    {
        openMerge();
        makePage(); // NULL, A, C, Other, B
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        const QString before = stored();
        QElapsedTimer clock;
        clock.start();
        click(1);
        menu(Delete);
        const qint64 deleting = clock.restart();
        mergeAs(m_merge.get(), "Joined", {0});
        const qint64 merging = clock.elapsed();
        const QString inUse = "\n数据库正被其他程序使用，未做任何更改。";
        QCOMPARE(m_boxes->texts(), QStringList({"删除数据失败!" + inUse, "数据库连接失败！" + inUse}));
        QVERIFY2(qMax(deleting, merging) < Tool::BusyTimeoutMs / 2, qPrintable(QStringLiteral("%1 %2 ms").arg(deleting).arg(merging)));
        QVERIFY(m_merge->isVisible() && m_merge->result() != QDialog::Accepted);
        lock.release();
        QCOMPARE(stored(), before);

        mergeAs(m_merge.get(), "Joined", {});
        search(QString()); // Joined, NULL, C, Other
        click(1);
        menu(Delete);
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(stored(), QStringLiteral("C(03,03):2 Joined(01,02):4 Other(01,01):2"));
    }

    // Another program holds the write lock: reading goes on, so the tree, loading a project and
    // the data export on its own connection neither wait for the lock nor fail.
    void readsUnderAnotherProgramsLock()
    {
        loadP({"℃", "℃"}, {}, {"1,2", "3,4"});
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        QElapsedTimer clock;
        clock.start();
        search(QString());
        click(0);
        m_page->LoadProject();
        menu(SimpleExport);
        QCOMPARE(result(), QStringList{"报表生成成功!"});
        QVERIFY2(clock.elapsed() < Tool::BusyTimeoutMs / 2, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QCOMPARE(dataSheet().mid(8, 4), QStringList({"时间|1-1(℃)|1-2(℃)", "2024-05-01 08:00:00.000|1|2",
                                                      "2024-05-01 08:00:01.001|3|4", ""}));
        QCOMPARE(m_page->Loaded().Rows->rowCount(), 2);
    }

    // A project stored with more display units than channels: the units beyond the last channel
    // belong to no channel, so they neither crowd the chart out nor offer or write the analysis
    // of a group without channels. Values that are no finite number leave their cells empty.
    void unitsBeyondTheLastChannel()
    {
        Tool::Struct_Parameters p = testProject("P", {"℃", "℃"});
        p.CHDisplayUnit << "%RH" << "V";
        QVERIFY(storeProject(p, {"1,2", "nan,inf", "3,4"}));
        makePage();
        click(0);
        m_page->LoadProject();
        const Struct_Export &o = m_page->ExportOptions();
        QCOMPARE(graphs() + QStringList({o.Unit1, o.Unit2, QString::number(o.Count1), QString::number(o.Count2)}),
                 QStringList({"1-1", "1-2", "℃", "", "2", "0"}));
        m_path = m_dir->filePath("r.pdf");
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_path; });
        QStringList hidden;
        const QStringList outcome = report("r.pdf", [&hidden](QWidget *dialog) {
            for (const char *name : {"checkBox_Horizontal2", "checkBox_Vertical2"})
                hidden << QString::number(dialog->findChild<QCheckBox *>(QLatin1String(name))->isHidden());
            dialog->findChild<QLineEdit *>("lineEdit_Remark1")->setText("x");
            dialog->findChild<QCheckBox *>("checkBox_Vertical1")->setChecked(true);
        });
        QVERIFY2(outcome == kReported, qPrintable(outcome.join('\n')));
        QCOMPARE(hidden, QStringList({"1", "1"}));
        const QStringList lines = reportLines(m_path);
        const QString missing = missingBlock(lines, {"1.数据表 2.温度竖向表", "时间 1-1(℃) 1-2(℃)\n05-01 08:00:00.000 1.00 2.00\n"
                                                     "05-01 08:00:01.001\n05-01 08:00:02.002 3.00 4.00", "温度竖向分析表"});
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + lines.join('\n')));
        QVERIFY2(!lines.join('\n').contains("湿度"), qPrintable(lines.join('\n')));
    }

    // A damaged page of the project records, the first or one met after others were read: the
    // tree query warns with the database's reason and the tree stays empty; the loaded project
    // stays loaded and exportable.
    void damagedProjectRecords_data()
    {
        QTest::addColumn<bool>("last");
        QTest::newRow("first page") << false;
        QTest::newRow("page of the last records") << true;
    }

    void damagedProjectRecords()
    {
        QFETCH(bool, last);
        for (int n = 0; n < 60; ++n)
            QVERIFY(Tool::addParameters(testProject(QStringLiteral("Earlier %1").arg(n), {"℃", "℃", "%RH"})));
        loadP({"℃"}, {}, {"1", "2"});
        QVERIFY(damageTable("Parameters", last));
        search(QString());
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_boxes->last().title + '|' + m_boxes->last().text, QStringLiteral("警告|读取数据库失败！\ndatabase disk image is malformed"));
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QCOMPARE(m_page->Loaded().Project.Name + QString::number(m_page->Loaded().Rows->rowCount()) + exportButtons(), QStringLiteral("P211"));
    }

    // A damaged page of the project records or of the samples: deleting a project and merging
    // projects fail, say so with the database's reason on a second line as the page's reads do,
    // and change nothing; the merge dialog stays open for another try.
    void deleteAndMergeOnDamagedPages_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("project records") << "Parameters";
        QTest::newRow("samples") << "ParametersData";
    }

    void deleteAndMergeOnDamagedPages()
    {
        QFETCH(QString, table);
        openMerge();
        makePage(); // NULL, A, C, Other, B
        click(1);
        QVERIFY(damageTable(table));
        menu(Delete);
        mergeAs(m_merge.get(), "Joined", {0});
        const QString reason = "\ndatabase disk image is malformed";
        QStringList expected{"删除数据失败!" + reason};
        if (table == "Parameters")
            expected << "读取数据库失败！" + reason; // the tree read again after the delete
        expected << "数据库连接失败！" + reason;
        QCOMPARE(m_boxes->texts(), expected);
        QCOMPARE(m_boxes->boxes().at(0).title, QStringLiteral("警告"));
        QVERIFY(m_merge->isVisible() && m_merge->result() != QDialog::Accepted);
        // The other table still reads, as it was.
        QSqlQuery q;
        QVERIFY(q.exec(table == "Parameters" ? "SELECT Name || ':' || COUNT(*) FROM ParametersData GROUP BY Name ORDER BY Name"
                                             : "SELECT Name FROM Parameters ORDER BY Name"));
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString();
        QCOMPARE(rows.join(' '), table == "Parameters" ? QStringLiteral("A:2 B:2 C:2 NULL:2 Other:2") : QStringLiteral("A B C NULL Other"));
    }

    // A damaged page of the samples: loading another project and viewing its data warn with the
    // database's reason and keep the loaded project; its simple export fails, says so and leaves
    // an earlier file at its path as it was, with nothing else written beside it.
    void damagedSamples()
    {
        QList<Tool::Struct_ParametersData> other;
        for (int n = 0; n < 2000; ++n)
            other.append({"Other", sampleTime(n), {QString::number(n), "1.25"}});
        QVERIFY(Tool::addParameters(testProject("Other", {"℃", "℃"})) && Tool::addParametersDataList(other));
        loadP({"℃"}, {}, {"1", "2"}); // P above Other
        QVERIFY(damageTable("ParametersData", true));
        QVERIFY(writeFile(m_path, "earlier"));
        click(1);
        m_page->LoadProject();
        menu(ViewData);
        const QString warning = "警告|读取数据库失败！\ndatabase disk image is malformed";
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(m_boxes->boxes().at(0).title + '|' + m_boxes->boxes().at(0).text, warning);
        QCOMPARE(m_boxes->last().title + '|' + m_boxes->last().text, warning);
        QCOMPARE(m_page->Loaded().Project.Name + QString::number(m_page->Loaded().Rows->rowCount()) + exportButtons(), QStringLiteral("P211"));

        m_boxes->clear();
        menu(SimpleExport);
        const QStringList texts = result();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.first(), QStringLiteral("数据异常，生成报表失败!\ndatabase disk image is malformed"));
        QVERIFY(readsFile(m_path, "earlier"));
        QCOMPARE(QDir(m_dir->path()).entryList({"*data*"}, QDir::Files | QDir::Hidden), QStringList({"data.xls"}));
    }
};

QTEST_MAIN(tst_VerificationReport)
#include "tst_VerificationReport.moc"
