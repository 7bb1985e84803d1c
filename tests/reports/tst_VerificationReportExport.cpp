// The export options dialog (checks in order, segment editing, reopening with the previous
// segments, the sections offered per unit group), the print-interval thinning, and a segmented
// export of each format run from the report page and read back.
#include "ReportFixture.h"
#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportExport.h"
#include "support/MessageBoxHelper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using Times = QList<int>; // milliseconds after the project's first sample: start 1, end 1, start 2, ...

namespace {

// 08:00:00.500, so that parts of a second show in the checks.
const QDateTime kStart(QDate(2024, 5, 1), QTime(8, 0, 0, 500));

Struct_Export options(const QString &scan = QStringLiteral("1"))
{
    Struct_Export e;
    e.ScanInterval = scan;
    e.Unit1 = QStringLiteral("℃");
    e.Unit2 = QStringLiteral("%RH");
    e.Count1 = 2;
    e.Count2 = 1;
    e.UnitCount = 2;
    e.Segments = QStringLiteral("1");
    e.StartTime = kStart;
    e.EndTime = kStart.addSecs(600);
    return e;
}

template <class T>
T *child(QWidget *dialog, const QString &name)
{
    return dialog->findChild<T *>(name);
}

QDateTimeEdit *edit(QWidget *dialog, const char *kind, int row)
{
    return child<QDateTimeEdit>(dialog, QStringLiteral("dateTimeEdit_%1%2").arg(QLatin1String(kind)).arg(row));
}

// Per row: start, end, remark, and whether the row can be edited.
QStringList rows(QWidget *dialog)
{
    QStringList texts;
    for (int k = 1; k <= VerificationReportExport::MaxSegments; ++k) {
        texts << edit(dialog, "Start", k)->dateTime().toString("hh:mm:ss") + '-' + edit(dialog, "End", k)->dateTime().toString("hh:mm:ss")
                     + ' ' + child<QLineEdit>(dialog, QStringLiteral("lineEdit_Remark%1").arg(k))->text()
                     + (edit(dialog, "Start", k)->isEnabled() ? "" : " off");
    }
    return texts;
}

// The analysis boxes as "text enabled" (a hidden box as "-").
QStringList sections(QWidget *dialog)
{
    QStringList texts;
    for (const char *name : {"checkBox_Horizontal1", "checkBox_Vertical1", "checkBox_Horizontal2", "checkBox_Vertical2"}) {
        auto *box = child<QCheckBox>(dialog, QLatin1String(name));
        texts << (box->isHidden() ? QStringLiteral("-") : box->text() + ' ' + QString::number(box->isEnabled()));
    }
    return texts;
}

void chooseSegments(QWidget *dialog, int count)
{
    auto *combo = child<QComboBox>(dialog, "comboBox_Segments");
    combo->setCurrentIndex(count - 1);
    emit combo->activated(count - 1);
}

} // namespace

class tst_VerificationReportExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
    }
    void cleanup()
    {
        VerificationReportExport::setFileChooser(nullptr);
        m_boxes.reset();
        m_dir.reset();
    }

    // OK checks path, remarks, start, end, segment order and interval in this order, stops at the
    // first failure ("提示") and stores nothing; parts of a second never fail; seconds become
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
        const QString path = QStringLiteral("r.pdf");
        QTest::newRow("xlsx for Excel") << 1 << "r.xlsx" << whole << QStringList{"a"} << "1" << "1" << "路径设置错误!";
        QTest::newRow("upper-case XLS") << 1 << "r.XLS" << whole << QStringList{"a"} << "1" << "1" << "路径设置错误!";
        QTest::newRow("path first") << 0 << "r.xls" << Times{-5000, 700000} << QStringList{""} << "1" << "x" << "路径设置错误!";
        QTest::newRow("remark of segment 2") << 0 << path << Times{0, 300000, 300000, 600000} << QStringList{"a", ""}
                                             << "1" << "1" << "备注信息不能为空!";
        QTest::newRow("remark before times") << 0 << path << Times{-5000, 600000} << QStringList{""} << "1" << "1"
                                             << "备注信息不能为空!";
        QTest::newRow("start a second early") << 0 << path << Times{-1000, 600000} << QStringList{"a"} << "1" << "1"
                                              << "开始时间小于开始采集时间!";
        QTest::newRow("start half a second early") << 0 << path << Times{-500, 600000} << QStringList{"a"} << "1" << "1" << "";
        QTest::newRow("end a second late") << 0 << path << Times{0, 601000} << QStringList{"a"} << "1" << "1"
                                           << "结束时间大于结束采集时间!";
        QTest::newRow("second segment goes back") << 0 << path << Times{0, 300000, 299000, 600000} << QStringList{"a", "b"}
                                                  << "1" << "1" << "分段时间错误!";
        QTest::newRow("end before its start") << 0 << path << Times{5000, 3000} << QStringList{"a"} << "1" << "1"
                                              << "分段时间错误!";
        QTest::newRow("times before interval") << 0 << path << Times{0, 300000, 200000, 600000} << QStringList{"a", "b"}
                                               << "60" << "90" << "分段时间错误!";
        QTest::newRow("segments touch, Excel") << 1 << "r.xls" << Times{0, 300000, 300000, 600000} << QStringList{"a", "b"}
                                               << "1" << "60" << "";
        QTest::newRow("60 s by 90 s") << 0 << path << whole << QStringList{"a"} << "60" << "90" << "采集间隔设置错误!";
        QTest::newRow("1 s by 0.5 s") << 0 << path << whole << QStringList{"a"} << "1" << "0.5" << "采集间隔设置错误!";
        QTest::newRow("2.01 s by 4.02 s") << 0 << path << whole << QStringList{"a"} << "2.01" << "4.02" << "";
        QTest::newRow("beyond an int of ms") << 0 << path << whole << QStringList{"a"} << "1" << "3000000" << "采集间隔设置错误!";
        QTest::newRow("two points") << 0 << path << whole << QStringList{"a"} << "1" << "1.2.3" << "采集间隔设置错误!";
        QTest::newRow("scan below 1 ms") << 0 << path << whole << QStringList{"a"} << "0.0004" << "1" << "采集间隔设置错误!";
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
        Struct_Export record = options(scan);
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
        child<QCheckBox>(&dialog, "checkBox_Vertical1")->setChecked(true);
        child<QPushButton>(&dialog, "pushButton_OK")->click();

        if (!message.isEmpty()) {
            QCOMPARE(m_boxes->texts(), QStringList{message});
            QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(record.Path + record.PrintInterval + record.Format + QString::number(record.SegmentRemark.size()) + record.Segments,
                     QStringLiteral("01"));
            return;
        }
        QCOMPARE(m_boxes->count(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QStringList({record.Segments, record.PrintInterval, record.Format, record.Path}),
                 QStringList({QString::number(count), print, format == 0 ? "PDF" : "Excel", path}));
        QCOMPARE(record.SegmentRemark, remarks);
        QCOMPARE(record.SegmentStart.size() + record.SegmentEnd.size(), 2 * count);
        QCOMPARE(record.SegmentEnd.constLast().toSecsSinceEpoch(), kStart.addMSecs(times.constLast()).toSecsSinceEpoch());
        QCOMPARE(QList<bool>({record.WorkData, record.Horizontal1, record.Vertical1, record.Horizontal2, record.Vertical2}),
                 QList<bool>({true, false, true, false, false}));
    }

    // Row 0 and every step-th row after it, step = print / scan in rounded milliseconds.
    void thinning_data()
    {
        QTest::addColumn<QString>("scan");
        QTest::addColumn<QString>("print");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("1 s by 1 s") << "1" << "1" << 3 << QList<int>{0, 1, 2};
        QTest::newRow("1 s by 60 s") << "1" << "60" << 150 << QList<int>{0, 60, 120};
        QTest::newRow("0.1 s by 0.3 s") << "0.1" << "0.3" << 7 << QList<int>{0, 3, 6};
        QTest::newRow("2.01 s by 4.02 s") << "2.01" << "4.02" << 5 << QList<int>{0, 2, 4};
        QTest::newRow("60 s by 90 s refused") << "60" << "90" << 0 << QList<int>{};
    }

    void thinning()
    {
        QFETCH(QString, scan);
        QFETCH(QString, print);
        QFETCH(int, samples);
        QFETCH(QList<int>, kept);
        const int step = VerificationReportExport::PrintStep(scan, print);
        QCOMPARE(step > 0, samples > 0);
        if (step == 0)
            return;
        const ProjectRows thinned = ReportFixture::steadyRows(2, samples).thinned(step);
        QList<int> found;
        for (int r = 0; r < thinned.rowCount(); ++r) {
            found << int((thinned.time(r) - ReportFixture::t0()) / 1000);
            QCOMPARE(thinned.value(r, 1), 20.0 + 0.01 * ((found.last() + 1) % 50));
        }
        QCOMPARE(found, kept);
    }

    // One segment spans the project with an empty remark; the count enables rows; an end moves the
    // next start only; reopened after an export of three segments, the dialog shows them again.
    void segments()
    {
        Struct_Export record = options();
        VerificationReportExport dialog;
        dialog.SetParameters(&record);
        QCOMPARE(child<QLineEdit>(&dialog, "lineEdit_PrintInterval")->text(), QStringLiteral("1"));
        QCOMPARE(rows(&dialog), QStringList({"08:00:00-08:10:00 ", "08:00:00-08:10:00  off", "08:00:00-08:10:00  off",
                                             "08:00:00-08:10:00  off", "08:00:00-08:10:00  off", "08:00:00-08:10:00  off"}));
        chooseSegments(&dialog, 4);
        edit(&dialog, "End", 2)->setDateTime(kStart.addSecs(120));
        edit(&dialog, "Start", 3)->setDateTime(kStart.addSecs(200));
        edit(&dialog, "End", 6)->setDateTime(kStart.addSecs(300));
        QCOMPARE(rows(&dialog), QStringList({"08:00:00-08:10:00 ", "08:00:00-08:02:00 ", "08:03:20-08:10:00 ",
                                             "08:00:00-08:10:00 ", "08:00:00-08:10:00  off", "08:00:00-08:05:00  off"}));

        record.Segments = QStringLiteral("3");
        record.PrintInterval = QStringLiteral("60");
        record.SegmentStart = {kStart, kStart.addSecs(60), kStart.addSecs(120)};
        record.SegmentEnd = {kStart.addSecs(60), kStart.addSecs(120), kStart.addSecs(180)};
        record.SegmentRemark = QStringList{"升温", "恒温", "降温"};
        VerificationReportExport reopened;
        reopened.SetParameters(&record);
        QCOMPARE(rows(&reopened), QStringList({"08:00:00-08:01:00 升温", "08:01:00-08:02:00 恒温", "08:02:00-08:03:00 降温",
                                               "08:00:00-08:10:00  off", "08:00:00-08:10:00  off", "08:00:00-08:10:00  off"}));
        QCOMPARE(child<QComboBox>(&reopened, "comboBox_Segments")->currentText(), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>(&reopened, "lineEdit_PrintInterval")->text(), QStringLiteral("1"));
    }

    // The sections offered follow the unit groups of the channels checked on the page.
    void sectionsOffered_data()
    {
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("℃ and %RH") << QStringList{"℃", "℃", "%RH"} << QList<bool>{true, true, true}
                                  << QStringList{"温度横向分析表 1", "温度竖向分析表 1", "湿度横向分析表 0", "湿度竖向分析表 1"};
        QTest::newRow("every ℃ hidden") << QStringList{"℃", "%RH", "℃", "%RH"} << QList<bool>{false, true, false, true}
                                        << QStringList{"湿度横向分析表 1", "湿度竖向分析表 1", "-", "-"};
        QTest::newRow("three units") << QStringList{"℃", "%RH", "V", "℃"} << QList<bool>{true, true, true, true}
                                     << QStringList{"温度横向分析表 1", "温度竖向分析表 1", "湿度横向分析表 0", "湿度竖向分析表 0"};
        QTest::newRow("one channel") << QStringList{"℃", "%RH"} << QList<bool>{true, false}
                                     << QStringList{"温度横向分析表 0", "温度竖向分析表 1", "-", "-"};
    }

    void sectionsOffered()
    {
        QFETCH(QStringList, units);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, boxes);
        QVERIFY(storeProject(testProject("P", units), {QStringList(QVector<QString>(units.size(), "1").toList()).join(',')}));
        Struct_System system;
        system.Switch_ExportADvanced = true;
        VerificationReport page;
        page.SetSystem(&system);
        auto *tree = page.findChild<QTreeWidget *>("treeWidget");
        for (int c = 0; c < units.size(); ++c)
            tree->topLevelItem(0)->child(c)->setCheckState(0, shown.at(c) ? Qt::Checked : Qt::Unchecked);
        tree->topLevelItem(0)->setCheckState(0, Qt::PartiallyChecked);
        page.LoadProject();
        QStringList offered;
        m_boxes->onDialog([&offered](QWidget *dialog) {
            offered = sections(dialog);
            static_cast<QDialog *>(dialog)->reject();
        }, "VerificationReportExport");
        page.TimeOut_clicked();
        QCOMPARE(offered, boxes);
        QVERIFY(!page.isExporting());
    }

    // A segmented export of each format from the page: channel 1-2 unchecked, two segments,
    // every 60th row; read back. Opened again, the dialog shows the export's segments.
    void exportFromThePage_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("PDF") << 0;
        QTest::newRow("Excel") << 1;
    }

    void exportFromThePage()
    {
        QFETCH(int, format);
        QStringList samples;
        for (int n = 0; n < 121; ++n)
            samples << QStringLiteral("%1,%2,%3").arg(n).arg(1000 + n).arg(2000 + n);
        QVERIFY(storeProject(testProject("Oven", {"℃", "℃", "%RH"}), samples));
        Struct_System system;
        system.Switch_ExportADvanced = true;
        VerificationReport page;
        page.SetSystem(&system);
        QTreeWidgetItem *project = page.findChild<QTreeWidget *>("treeWidget")->topLevelItem(0);
        for (int c : {0, 2})
            project->child(c)->setCheckState(0, Qt::Checked);
        project->setCheckState(0, Qt::PartiallyChecked);
        page.LoadProject();

        const QString path = m_dir->filePath(format == 0 ? "report.pdf" : "report.xls");
        VerificationReportExport::setFileChooser([path](QWidget *, const QString &) { return path; });
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
        page.TimeOut_clicked();
        QVERIFY(QTest::qWaitFor([this] { return !m_boxes->texts().isEmpty(); }, 60000));
        QCOMPARE(m_boxes->texts(), QStringList{"报表生成成功!"});
        QVERIFY(!page.isExporting());

        const QString row0 = "05-01 08:00:00.000", row60 = "05-01 08:01:00.060", row120 = "05-01 08:02:00.120";
        if (format == 0) {
            const QString text = ReportFixture::pdfText(path);
            QVERIFY(ReportFixture::hasLine(text, {"时间", "1-1(℃)", "1-3(%RH)"}));
            for (const QStringList &line : {QStringList{row0, "0.00", "2000.00"}, {row60, "60.00", "2060.00"}, {row120, "120.00", "2120.00"}})
                QVERIFY2(ReportFixture::hasLine(text, line), qPrintable(line.join(' ')));
            QVERIFY(!text.contains("1-2(") && !text.contains("08:00:01.001") && !text.contains("1060.00"));
            QVERIFY(text.contains("温度竖向分析表"));
        } else {
            const QJsonObject book = ReportFixture::readWorkbook(path);
            QCOMPARE(book.value("sheets").toVariant().toStringList(), QStringList({"首页", "工作数据表1", "工作数据表2", "温度竖向分析表"}));
            const QJsonObject first = ReportFixture::sheet(book, "工作数据表1");
            const QJsonObject second = ReportFixture::sheet(book, "工作数据表2");
            QCOMPARE(ReportFixture::sheetRow(first, 2, 8), QStringList({"时间", "1-1(℃)", "1-3(%RH)"}));
            QCOMPARE(ReportFixture::sheetRow(first, 4, 8), QStringList({row0, "0.00", "2000.00"}));
            QCOMPARE(ReportFixture::sheetRow(first, 5, 8), QStringList({row60, "60.00", "2060.00"}));
            QCOMPARE(ReportFixture::sheetRow(first, 6, 8), QStringList({"升温    结束"}));
            QCOMPARE(ReportFixture::sheetRow(second, 4, 8).first() + ReportFixture::sheetRow(second, 5, 8).first(), row60 + row120);
            QCOMPARE(book.value("pictures").toObject().keys(), QStringList({"首页"}));
        }

        QStringList reopened;
        m_boxes->onDialog([&reopened](QWidget *dialog) {
            reopened = rows(dialog).mid(0, 3) + sections(dialog).mid(1, 1)
                       + QStringList{child<QLineEdit>(dialog, "lineEdit_PrintInterval")->text(),
                                     QString::number(child<QCheckBox>(dialog, "checkBox_Vertical1")->isChecked())};
            static_cast<QDialog *>(dialog)->reject();
        }, "VerificationReportExport");
        page.TimeOut_clicked();
        QCOMPARE(reopened, QStringList({"08:00:00-08:01:00 升温", "08:01:00-08:02:00 恒温", "08:00:00-08:02:00  off",
                                        "温度竖向分析表 1", "1", "0"}));
        QCOMPARE(m_boxes->texts().size(), 1);
    }
};

QTEST_MAIN(tst_VerificationReportExport)
#include "tst_VerificationReportExport.moc"
