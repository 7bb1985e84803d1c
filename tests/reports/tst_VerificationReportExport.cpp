// The report exports: the options dialog (checks in order, segment editing, reopening with the
// previous segments, the sections offered per unit group), thinning to the print interval, a
// segmented export of each format and the one-sheet data export run from the report page and
// read back, the sheet's row limit, a worker that cannot start, the page closed during an export.
#include "ReportFixture.h"
#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/SimpleDataExport.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportExport.h"
#include "reports/XlsxWorkbook.h"
#include "support/MessageBoxHelper.h"
#include "widgets/QWaiting.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
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

std::atomic<bool> g_refuseThread{false};
const QDateTime kStart(QDate(2024, 5, 1), QTime(8, 0, 0, 500));

template <class T>
T *child(QWidget *dialog, const QString &name)
{
    return dialog->findChild<T *>(name);
}

QDateTimeEdit *edit(QWidget *dialog, const char *kind, int row)
{
    return child<QDateTimeEdit>(dialog, QStringLiteral("dateTimeEdit_%1%2").arg(QLatin1String(kind)).arg(row));
}

// Segment rows as "start-end remark" (" off" when disabled), from row 1.
QStringList segmentRows(QWidget *dialog, int count = VerificationReportExport::MaxSegments)
{
    QStringList texts;
    for (int k = 1; k <= count; ++k)
        texts << edit(dialog, "Start", k)->dateTime().toString("hh:mm:ss") + '-' + edit(dialog, "End", k)->dateTime().toString("hh:mm:ss")
                     + ' ' + child<QLineEdit>(dialog, QStringLiteral("lineEdit_Remark%1").arg(k))->text()
                     + (edit(dialog, "Start", k)->isEnabled() ? "" : " off");
    return texts;
}

// The analysis boxes as "text enabled", a hidden one as "-".
QStringList sections(QWidget *dialog)
{
    QStringList texts;
    for (const char *name : {"checkBox_Horizontal1", "checkBox_Vertical1", "checkBox_Horizontal2", "checkBox_Vertical2"}) {
        auto *box = child<QCheckBox>(dialog, QLatin1String(name));
        texts << (box->isHidden() ? QStringLiteral("-") : box->text() + ' ' + QString::number(box->isEnabled()));
    }
    return texts;
}

// The options of a project sampled for ten minutes from kStart.
Struct_Export tenMinutes(const QString &scan)
{
    Struct_Export record;
    record.ScanInterval = scan;
    record.Segments = QStringLiteral("1");
    record.StartTime = kStart;
    record.EndTime = kStart.addSecs(600);
    return record;
}

void chooseSegments(QWidget *dialog, int count)
{
    auto *combo = child<QComboBox>(dialog, "comboBox_Segments");
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

class tst_VerificationReportExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;
    QString m_path;

    // Project "P" of two instruments, samples stored newest first, loaded on the page with the
    // channels of shown checked; the file dialogs answer m_path.
    void makePage(const QStringList &units, const QList<bool> &shown, const QStringList &samples)
    {
        Tool::Struct_Parameters p = testProject("P", units);
        p.Model << "R24K";
        p.Serial << "SN-2";
        p.SignalMode << "串口";
        p.Signal1 << "COM3";
        p.Signal2 << "9600";
        QVERIFY(Tool::addParameters(p));
        QList<Tool::Struct_ParametersData> stored;
        for (int n = samples.size() - 1; n >= 0; --n)
            stored.append({p.Name, sampleTime(n), samples.at(n).split(',')});
        QVERIFY(Tool::addParametersDataList(stored));
        m_system.Switch_ExportADvanced = true;
        m_page.reset(new VerificationReport);
        m_page->SetSystem(&m_system);
        QTreeWidgetItem *project = m_page->findChild<QTreeWidget *>("treeWidget")->topLevelItem(0);
        for (int c = 0; c < units.size(); ++c)
            project->child(c)->setCheckState(0, shown.value(c, true) ? Qt::Checked : Qt::Unchecked);
        project->setCheckState(0, Qt::PartiallyChecked);
        m_page->LoadProject();
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_path; });
    }
    // The page's messages once an export has ended; none when it does not end.
    QStringList result()
    {
        if (!QTest::qWaitFor([this] { return !m_boxes->texts().isEmpty() && !m_page->isExporting(); }, 60000))
            return {};
        return m_boxes->texts();
    }
    void simpleExport() { m_page->Menu()->actions().at(2)->trigger(); }
    // The data export's rows from row 10: time and columns B to D.
    static QList<QStringList> dataRows(const QJsonObject &sheet)
    {
        QList<QStringList> found;
        const QJsonObject cells = sheet.value("cells").toObject();
        for (int row = SimpleDataExport::FirstDataRow; cells.contains("A" + QString::number(row)); ++row) {
            QStringList texts{cell(sheet, "A" + QString::number(row))};
            for (const char *column : {"B", "C", "D"}) {
                const QJsonValue value = cells.value(column + QString::number(row));
                texts << (value.isObject() ? QString::number(value.toObject().value("n").toDouble()) : value.toString());
            }
            found << texts;
        }
        return found;
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
        m_page.reset();
        VerificationReportExport::setFileChooser(nullptr);
        XlsxWorkbook::setRowLimit(1048576);
        m_boxes.reset();
        m_dir.reset();
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
            child<QLineEdit>(&dialog, QStringLiteral("lineEdit_Remark%1").arg(k + 1))->setText(remarks.at(k));
        }
        child<QComboBox>(&dialog, "comboBox_Format")->setCurrentIndex(format);
        child<QLineEdit>(&dialog, "lineEdit_PrintInterval")->setText(print);
        QString filter;
        VerificationReportExport::setFileChooser([&](QWidget *, const QString &f) { filter = f; return path; });
        child<QPushButton>(&dialog, "pushButton_Route")->click();
        QCOMPARE(filter, format == 0 ? QStringLiteral("Image Files (*.pdf)") : QStringLiteral("Image Files (*.xls)"));
        child<QPushButton>(&dialog, "pushButton_OK")->click();

        QCOMPARE(m_boxes->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        if (!message.isEmpty()) {
            QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
            QCOMPARE(record.Path + record.PrintInterval + record.Format + record.Segments, QStringLiteral("1"));
            return;
        }
        QCOMPARE(QStringList({record.Segments, record.PrintInterval, record.Format, record.Path}),
                 QStringList({QString::number(count), print, format == 0 ? "PDF" : "Excel", path}));
        QCOMPARE(record.SegmentRemark, remarks);
        QCOMPARE(record.SegmentStart.size() + record.SegmentEnd.size(), 2 * count);
    }

    // Row 0 and every step-th row after it, step = print / scan in rounded milliseconds.
    void thinning()
    {
        const QList<QPair<QStringList, QList<int>>> cases{{{"1", "1"}, {0, 1, 2}}, {{"1", "60"}, {0, 60, 120}},
                                                          {{"0.1", "0.3"}, {0, 3, 6}}, {{"2.01", "4.02"}, {0, 2, 4}}};
        for (const auto &c : cases) {
            const ProjectRows thinned = steadyRows(2, 150).thinned(VerificationReportExport::PrintStep(c.first.at(0), c.first.at(1)));
            QList<int> kept;
            for (int r = 0; r < 3; ++r)
                kept << int((thinned.time(r) - t0()) / 1000);
            QCOMPARE(kept, c.second);
            QCOMPARE(thinned.value(2, 1), steadyRows(2, 150).value(c.second.at(2), 1));
        }
        QCOMPARE(VerificationReportExport::PrintStep("60", "90"), 0);
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
    }

    void sectionsOffered()
    {
        QFETCH(QStringList, units);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, boxes);
        makePage(units, shown, {QStringList(QVector<QString>(units.size(), "1").toList()).join(',')});
        QStringList offered;
        m_boxes->onDialog([&offered](QWidget *dialog) {
            offered = sections(dialog);
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
        QTest::addColumn<int>("format");
        QTest::newRow("PDF") << 0;
        QTest::newRow("Excel") << 1;
    }

    void reportFromThePage()
    {
        QFETCH(int, format);
        QStringList samples;
        for (int n = 0; n < 121; ++n)
            samples << QStringLiteral("%1,%2,%3").arg(n).arg(1000 + n).arg(2000 + n);
        makePage({"℃", "℃", "%RH"}, {true, false, true}, samples);
        m_path = m_dir->filePath(format == 0 ? "report.pdf" : "report.xls");
        m_boxes->onDialog([format](QWidget *dialog) {
            child<QComboBox>(dialog, "comboBox_Format")->setCurrentIndex(format);
            child<QPushButton>(dialog, "pushButton_Route")->click();
            chooseSegments(dialog, 2);
            edit(dialog, "End", 1)->setDateTime(sampleTime(60));
            child<QLineEdit>(dialog, "lineEdit_Remark1")->setText("升温");
            child<QLineEdit>(dialog, "lineEdit_Remark2")->setText("恒温");
            child<QLineEdit>(dialog, "lineEdit_PrintInterval")->setText("60");
            child<QCheckBox>(dialog, "checkBox_Vertical1")->setChecked(true);
            child<QPushButton>(dialog, "pushButton_OK")->click();
        }, "VerificationReportExport");
        m_page->TimeOut_clicked();
        QCOMPARE(result(), QStringList{"报表生成成功!"});

        const QStringList row0{"05-01 08:00:00.000", "0.00", "2000.00"}, row60{"05-01 08:01:00.060", "60.00", "2060.00"},
            row120{"05-01 08:02:00.120", "120.00", "2120.00"};
        if (format == 0) {
            const QString text = pdfText(m_path);
            for (const QStringList &line : {QStringList{"时间", "1-1(℃)", "1-3(%RH)"}, row0, row60, row120})
                QVERIFY2(hasLine(text, line), qPrintable(line.join(' ')));
            QVERIFY(text.contains("温度竖向分析表") && !text.contains("1-2(") && !text.contains("08:00:01.001"));
        } else {
            const QJsonObject book = readWorkbook(m_path);
            QCOMPARE(book.value("sheets").toVariant().toStringList(), QStringList({"首页", "工作数据表1", "工作数据表2", "温度竖向分析表"}));
            const QJsonObject first = sheet(book, "工作数据表1");
            QCOMPARE(sheetRow(first, 2, 8), QStringList({"时间", "1-1(℃)", "1-3(%RH)"}));
            QCOMPARE(QList<QStringList>({sheetRow(first, 4, 8), sheetRow(first, 5, 8), sheetRow(first, 6, 8)}),
                     QList<QStringList>({row0, row60, {"升温    结束"}}));
            QCOMPARE(sheetRow(sheet(book, "工作数据表2"), 5, 8), row120);
        }

        QStringList reopened;
        m_boxes->onDialog([&reopened](QWidget *dialog) {
            reopened = segmentRows(dialog, 2) << child<QLineEdit>(dialog, "lineEdit_PrintInterval")->text();
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
        makePage({"℃", "%RH", "℃"}, {true, false, true}, {"1.5,50,nan", "abc,51,3", "3,52", "4,53,5,99"});
        simpleExport();
        QCOMPARE(result(), QStringList{"报表生成成功!"});
        const QJsonObject all = sheet(readWorkbook(m_path), "Sheet1");
        QList<QStringList> information;
        for (int row = 1; row <= 9; ++row)
            information << sheetRow(all, row, 4);
        QCOMPARE(information, (QList<QStringList>{{"项目名称:", "P"}, {"设备型号：", "R27K,R24K"}, {"设备序列号：", "SN-1;SN-2"},
                                                  {"通讯方式：", "网络,串口"}, {"IP/COM：", "192.168.1.10,COM3"},
                                                  {"Port/BaudRate：", "502,9600"}, {"扫描间隔：", "1s"}, {}, {"时间", "1-1(℃)", "1-3(℃)"}}));
        QCOMPARE(all.value("merged").toVariant().toStringList().join(' '), QStringLiteral("B1:D1 B2:D2 B3:D3 B4:D4 B5:D5 B6:D6 B7:D7"));
        QCOMPARE(dataRows(all), (QList<QStringList>{{"2024-05-01 08:00:00.000", "1.5", "", ""}, {"2024-05-01 08:00:01.001", "0", "3", ""},
                                                    {"2024-05-01 08:00:02.002", "3", "", ""}, {"2024-05-01 08:00:03.003", "4", "5", ""}}));
        QCOMPARE(all.value("formats").toObject().value("B10").toString(), QStringLiteral("0.000"));

        m_boxes->clear();
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 1)));
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 2)));
        m_page->findChild<QPushButton *>("pushButton_CalibrationReport")->click();
        QCOMPARE(result(), QStringList{"报表生成成功!"});
        QCOMPARE(dataRows(sheet(readWorkbook(m_path), "Sheet1")), dataRows(all).mid(1, 2));
    }

    // One sample more than the sheet holds fails the export and leaves nothing behind; a worker
    // that cannot start ends the busy dialog with the failure; the next export runs.
    void failures()
    {
        XlsxWorkbook::setRowLimit(SimpleDataExport::FirstDataRow + 2);
        makePage({"℃"}, {}, {"1", "2", "3", "4"});
        simpleExport();
        QCOMPARE(result(), QStringList{"数据异常，生成报表失败!"});
        QCOMPARE(QDir(m_dir->path()).entryList({"*data*"}, QDir::Files | QDir::Hidden), QStringList());

        m_boxes->clear();
        XlsxWorkbook::setRowLimit(1048576);
        g_refuseThread = true;
        simpleExport();
        QCOMPARE(m_boxes->texts(), QStringList{"数据异常，生成报表失败!"});
        QVERIFY(!m_page->isExporting() && !m_page->findChild<QWaiting *>());

        m_boxes->clear();
        simpleExport();
        QCOMPARE(result(), QStringList{"报表生成成功!"});
    }

    // The page goes while its export runs: it waits for the export, whose result goes with it.
    void pageClosedWhileExporting()
    {
        makePage({"℃", "℃", "℃"}, {}, QStringList(QVector<QString>(30000, "1.5,2.5,3.5").toList()));
        simpleExport();
        QVERIFY(m_page->isExporting());
        m_page.reset();
        QVERIFY(QFile::exists(m_path)); // a workbook reaches its path only once complete
        QTest::qWait(50);
        QCOMPARE(m_boxes->texts(), QStringList());
    }
};

QTEST_MAIN(tst_VerificationReportExport)
#include "tst_VerificationReportExport.moc"
