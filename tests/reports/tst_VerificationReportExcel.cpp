// The report workbook, read back with openpyxl: cover, device list, work data with its stripes,
// the analysis sheets with a worked example, empty projects and groups, sheet names of two groups
// of one quantity, and failures that must leave an earlier file untouched.
#include "ReportFixture.h"

#include "reports/VerificationReportExcel.h"
#include "reports/XlsxWorkbook.h"
#include "support/TestWorkDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QtTest>

using namespace ReportFixture;

namespace {

struct Export
{
    QList<bool> include = allSections();
    QList<bool> shown;
    QList<QDateTime> starts = {at(0), at(4)};
    QList<QDateTime> ends = {at(4), at(9)};
    QStringList remarks = {QStringLiteral("升温"), QStringLiteral("恒温")};
    int precision = 2;
};

// Runs the writer as the export worker does; the result of each step in "steps".
bool exportWorkbook(const QString &path, const Tool::Struct_Parameters &project, ProjectRows rows,
                    const Export &options = Export(), QList<bool> *steps = nullptr)
{
    VerificationReportExcel writer(path);
    writer.SetData(options.precision, options.include, project, std::move(rows), options.shown, options.starts,
                   options.ends, options.remarks, QStringLiteral("V2.1.4"));
    QImage chart(800, 300, QImage::Format_RGB32);
    chart.fill(Qt::darkCyan);
    QList<bool> results = {writer.WriteCover(), writer.WriteChart(chart), writer.WriteAnalysis(), writer.Save()};
    if (steps)
        *steps = results;
    return !results.contains(false);
}


} // namespace

class tst_VerificationReportExcel : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void emptyProjectAndGroup_data();
    void emptyProjectAndGroup();
    void sheetNamesOfOneQuantity_data();
    void sheetNamesOfOneQuantity();
    void importedProjectCountsAllChannels();
    void rowLimitFailsTheExport();
    void fullDiskKeepsEarlierFile_data();
    void fullDiskKeepsEarlierFile();
};

// Every part of the workbook for five channels in two groups, five samples, two segments; the
// figures were worked out by hand (population deviation, ties to the first channel, a sample whose
// group 2 values are all "nan"). The export replaces a file already at the path.
void tst_VerificationReportExcel::workedExample()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    QVERIFY(writeFile(path, "an earlier report"));
    QVERIFY(exportWorkbook(path, workedProject(), workedRows()));
    const QJsonObject book = readWorkbook(path);
    QCOMPARE(book.value("sheets").toVariant().toStringList(),
             QStringList({"首页", "工作数据表1", "工作数据表2", "温度横向分析表", "温度竖向分析表", "湿度横向分析表",
                          "湿度竖向分析表"}));
    QCOMPARE(book.value("active").toString(), QStringLiteral("首页"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"report.xls"}));

    const QJsonObject cover = sheet(book, "首页");
    QCOMPARE(sheetRow(cover, 1, 10), QStringList({"采集报告"}));
    QCOMPARE(sheetRow(cover, 2, 8), QStringList({"QNRIX V2.1.4", "", "", "", "", "", "", "打印时间："}));
    QVERIFY(QDateTime::fromString(cell(cover, "I2"), "yyyy-MM-dd hh:mm:ss").isValid());
    QCOMPARE(sheetRow(cover, 4, 10), QStringList({"项目名称:", "Oven A"}));
    QCOMPARE(sheetRow(cover, 5, 10), QStringList({"项目时间:", "2024-01-02 03:00:00"}));
    QCOMPARE(sheetRow(cover, 7, 10), QStringList({"设备列表:"}));
    QCOMPARE(sheetRow(cover, 8, 10), QStringList({"序号", "设备型号", "", "设备序列号", "", "", "", "采集方式", "", "通道个数"}));
    QCOMPARE(sheetRow(cover, 9, 10), QStringList({"1", "R27K", "", "SN1", "", "", "", "串口", "", "5"}));
    QCOMPARE(sheetRow(cover, 11, 10), QStringList({"报告概述:"}));
    QCOMPARE(sheetRow(cover, 12, 10), QStringList({"1.数据表", "", "2.温度横向表", "", "3.温度竖向表", "", "4.湿度横向表", "",
                                                   "5.湿度竖向表"}));
    QCOMPARE(sheetRow(cover, 14, 10), QStringList({"趋势图:"}));
    const QStringList coverMerges = cover.value("merged").toVariant().toStringList();
    for (const char *range : {"A1:J1", "A2:B2", "D2:F2", "I2:J2", "B4:D4", "B5:D5", "A7:J7", "B8:C8", "D8:G8", "H8:I8",
                              "A12:B12", "I12:J12", "A14:J14"})
        QVERIFY2(coverMerges.contains(range), range);
    // The logo over the title, the chart one row below its heading (zero-based anchors).
    QCOMPARE(book.value("pictures").toObject().value("首页").toVariant(), QVariant(QVariantList({QVariantList({0, 0}), QVariantList({15, 0})})));
    QCOMPARE(cover.value("fonts").toObject().value("A1").toArray().at(0).toString(), QStringLiteral("宋体"));

    const QJsonObject work = sheet(book, "工作数据表1");
    QCOMPARE(sheetRow(work, 1, 8), QStringList({"工作数据表"}));
    QVERIFY(work.value("merged").toVariant().toStringList().contains("A1:H1"));
    QCOMPARE(sheetRow(work, 2, 8), QStringList({"时间", "1-1(℃)", "1-2(℃)", "1-3(℃)", "1-4(%RH)", "1-5(%RH)"}));
    QCOMPARE(sheetRow(work, 3, 8), QStringList({"升温    开始", "", "开始时间：", "2024-01-02 03:04:05", "", "结束时间：",
                                                "2024-01-02 03:04:09"}));
    QCOMPARE(sheetRow(work, 4, 8), QStringList({"01-02 03:04:05.000", "20.00", "21.00", "21.00", "50.00", "40.00"}));
    QCOMPARE(sheetRow(work, 6, 8), QStringList({"01-02 03:04:07.000", "24.00", "22.00", "20.00"}));
    QCOMPARE(sheetRow(work, 9, 8), QStringList({"升温    结束"}));
    const QJsonObject fills = work.value("fills").toObject();
    QCOMPARE(fills.value("A4").toString(), QStringLiteral("FFCDCDC1"));
    QCOMPARE(fills.value("F4").toString(), QStringLiteral("FFCDCDC1"));
    QVERIFY(!fills.contains("A5") && !fills.contains("A8"));
    QCOMPARE(work.value("widths").toObject().value("A").toDouble(), 24.0 + 0.7109375);
    // The second segment starts where the first ended: the shared sample is on both sheets.
    QCOMPARE(sheetRow(sheet(book, "工作数据表2"), 4, 8),
             QStringList({"01-02 03:04:09.000", "28.00", "24.00", "24.00", "56.00", "52.00"}));

    const QJsonObject horizontal = sheet(book, "温度横向分析表");
    QCOMPARE(sheetRow(horizontal, 2, 10), QStringList({"时间", "最大温度", "最大温度通道", "最小温度", "最小温度通道", "平均温度",
                                                       "最大-平均", "平均-最小", "最大-最小", "标准偏差"}));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(sheetRow(horizontal, 4 + i, 10), workedHorizontal(0).at(i));
    QCOMPARE(sheetRow(horizontal, 12, 10), workedHorizontal(0).last());
    QCOMPARE(sheetRow(sheet(book, "湿度横向分析表"), 4, 10), workedHorizontal(1).at(0));
    QCOMPARE(sheetRow(sheet(book, "湿度横向分析表"), 6, 10), workedHorizontal(1).at(1));

    // Summary figures sit in merged pairs of columns.
    const auto spread = [](const QStringList &cells) {
        QStringList row;
        for (const QString &c : cells)
            row << c << QString();
        row.removeLast();
        return row;
    };
    for (int group = 0; group < 2; ++group) {
        const QJsonObject vertical = sheet(book, group == 0 ? "温度竖向分析表" : "湿度竖向分析表");
        for (int i = 0; i < 5; ++i)
            QCOMPARE(sheetRow(vertical, 3 + i, 8), spread(workedSummary(group).at(i)));
        for (int k = 0; k < workedChannels(group).size(); ++k)
            QCOMPARE(sheetRow(vertical, 10 + k, 8), workedChannels(group).at(k));
    }
    const QJsonObject vertical = sheet(book, "温度竖向分析表");
    QCOMPARE(sheetRow(vertical, 9, 8), QStringList({"通道", "最大温度", "最小温度", "平均温度", "最大-平均", "平均-最小", "最大-最小", "标准偏差"}));
    QCOMPARE(sheetRow(vertical, 16, 8), QStringList({"最小平均温度及通道", "", "1-2/24.00", "", "最大的最大值与全均值之差", "", "2.67"}));
    QCOMPARE(sheetRow(vertical, 23, 8), workedSingleRowChannel());
    QCOMPARE(vertical.value("fills").toObject().value("A24").toString(), QStringLiteral("FFCDCDC1"));
}

// No sample at all, or a group whose channels are all hidden: banners and headers only, never a
// "nan", an "inf" or a figure made of the largest double.
void tst_VerificationReportExcel::emptyProjectAndGroup_data()
{
    addEmptyReportRows();
}

void tst_VerificationReportExcel::emptyProjectAndGroup()
{
    QFETCH(bool, noRows);
    QFETCH(QList<bool>, shown);
    QFETCH(QString, quantity2);
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    Export options;
    options.shown = shown;
    QVERIFY(exportWorkbook(path, workedProject(), noRows ? rows(5, {}) : workedRows(), options));
    const QJsonObject book = readWorkbook(path);
    QCOMPARE(book.value("sheets").toArray().size(), 7);
    for (const QJsonValue &name : book.value("sheets").toArray()) {
        const QJsonObject cells = sheet(book, name.toString()).value("cells").toObject();
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const QString text = it.value().toString();
            QVERIFY2(it.value().isString(), qPrintable(it.key()));
            QVERIFY2(!text.contains("nan") && !text.contains("inf") && text.size() < 40, qPrintable(text));
        }
    }
    const QJsonObject vertical2 = sheet(book, quantity2 + "竖向分析表");
    QCOMPARE(sheetRow(vertical2, 2, 8).first(), QStringLiteral("升温    开始"));
    QCOMPARE(sheetRow(vertical2, 3, 8).first(), QStringLiteral("通道"));
    QCOMPARE(sheetRow(vertical2, 4, 8), QStringList({"升温    结束"}));
    const QJsonObject horizontal2 = sheet(book, quantity2 + "横向分析表");
    QCOMPARE(sheetRow(horizontal2, 3, 8).first(), QStringLiteral("升温    开始"));
    QCOMPARE(sheetRow(horizontal2, 4, 8), QStringList({"升温    结束"}));
    if (noRows) {
        QCOMPARE(sheetRow(sheet(book, "工作数据表1"), 4, 8), QStringList({"升温    结束"}));
        QCOMPARE(sheetRow(sheet(book, "温度竖向分析表"), 3, 8).first(), QStringLiteral("通道"));
    } else {
        QCOMPARE(cell(sheet(book, "首页"), "J9"), QStringLiteral("3"));
        QCOMPARE(sheetRow(sheet(book, "工作数据表1"), 2, 8), QStringList({"时间", "1-1(℃)", "1-2(℃)", "1-3(℃)"}));
    }
}

// Two groups of one quantity get distinct analysis sheets: the second adds its unit, with the
// characters a sheet name forbids replaced.
void tst_VerificationReportExcel::sheetNamesOfOneQuantity_data()
{
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QString>("summary");
    QTest::newRow("℃ and ℉") << QStringList({"℃", "℉"})
                            << QStringList({"温度横向分析表", "温度竖向分析表", "温度(℉)横向分析表", "温度(℉)竖向分析表"})
                            << QStringLiteral("4.温度(℉)竖向表");
    QTest::newRow("forbidden characters") << QStringList({"m/s", "[x]"})
                                          << QStringList({"其他横向分析表", "其他竖向分析表", "其他(m_s)横向分析表", "其他(m_s)竖向分析表"})
                                          << QStringLiteral("4.其他(m/s)竖向表");
}

void tst_VerificationReportExcel::sheetNamesOfOneQuantity()
{
    QFETCH(QStringList, units);
    QFETCH(QStringList, sheets);
    QFETCH(QString, summary);
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    Export options;
    options.include = {false, true, true, true, true};
    QVERIFY(exportWorkbook(path, project(labels(2), units), rows(2, {"1,2", "3,4"}), options));
    const QJsonObject book = readWorkbook(path);
    QCOMPARE(book.value("sheets").toVariant().toStringList(), QStringList({"首页"}) + sheets);
    QCOMPARE(cell(sheet(book, "首页"), "G12"), summary);
}

// An imported project's labels carry no instrument prefix: its one instrument counts them all.
void tst_VerificationReportExcel::importedProjectCountsAllChannels()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    const Tool::Struct_Parameters imported = project({"1", "2", "3"}, {"℃", "℃", "℃"}, {"P530W"}, QStringLiteral("导入"));
    QVERIFY(exportWorkbook(path, imported, rows(3, {"1,2,3"})));
    QCOMPARE(sheetRow(sheet(readWorkbook(path), "首页"), 9, 10), QStringList({"1", "P530W", "", "SN1", "", "", "", "导入", "", "3"}));
}

// A sheet that would pass the row limit fails the export, even when a later section succeeds;
// the earlier file at the path is kept and no temporary file is left.
void tst_VerificationReportExcel::rowLimitFailsTheExport()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    QVERIFY(writeFile(path, "an earlier report"));
    XlsxWorkbook::setRowLimit(20);
    Export options;
    options.include = {true, false, true, false, false};
    options.starts = {at(0)};
    options.ends = {at(40)};
    QList<bool> steps;
    const bool written = exportWorkbook(path, workedProject(), steadyRows(5, 30), options, &steps);
    XlsxWorkbook::setRowLimit(1048576);
    QVERIFY(!written);
    QCOMPARE(steps, QList<bool>({true, true, false, false}));
    QVERIFY(readsFile(path, "an earlier report"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"report.xls"}));
}

// A disk full from the start, or one that fills while the workbook is written.
void tst_VerificationReportExcel::fullDiskKeepsEarlierFile_data()
{
    addFullDiskRows();
}

void tst_VerificationReportExcel::fullDiskKeepsEarlierFile()
{
    verifyFullDiskExport(QStringLiteral("report.xls"), [](const QString &path, ProjectRows rows, const QDateTime &end) {
        Export options;
        options.starts = {at(0)};
        options.ends = {end};
        return exportWorkbook(path, workedProject(), std::move(rows), options);
    });
}

QTEST_MAIN(tst_VerificationReportExcel)
#include "tst_VerificationReportExcel.moc"
