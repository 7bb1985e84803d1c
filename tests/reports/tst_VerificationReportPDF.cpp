// The report PDF, read back with pdftotext and pdfinfo: page totals against the pages drawn,
// headers and footers, the worked example of every statistic, empty projects and groups, an
// imported project's device count, and failures that must leave an earlier file untouched.
#include "ReportFixture.h"

#include "reports/VerificationReportPDF.h"
#include "support/TestWorkDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
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
};

// Runs the writer as the export worker does: the steps stop at the first failure, the document is
// always ended. Returns the results of the steps run and of EndDocument.
QList<bool> exportPdf(const QString &path, const Tool::Struct_Parameters &project, ProjectRows rows,
                      const Export &options = Export(), int *pageTotal = nullptr)
{
    VerificationReportPDF writer(path);
    writer.SetData(2, options.include, project, std::move(rows), options.shown, options.starts, options.ends,
                   options.remarks, QStringLiteral("V2.1.4"));
    if (pageTotal)
        *pageTotal = writer.pageTotal();
    QImage chart(800, 300, QImage::Format_RGB32);
    chart.fill(Qt::darkCyan);
    QList<bool> steps;
    steps << writer.WriteCover();
    if (steps.last())
        steps << writer.WriteAnalysis();
    if (steps.last())
        steps << writer.WriteChart(chart);
    steps << writer.EndDocument();
    return steps;
}


// Every page's footer numbers it among the pages the file really holds.
void verifyFooters(const QString &path, int pages)
{
    QCOMPARE(pdfPages(path), pages);
    const QStringList texts = pdfText(path).split(QLatin1Char('\f'));
    for (int page = 1; page <= pages; ++page) {
        QVERIFY2(texts.value(page - 1).contains(QStringLiteral("第%1页,共%2页").arg(page).arg(pages)), qPrintable(texts.value(page - 1)));
        QVERIFY(texts.value(page - 1).contains(QStringLiteral("QNRIX V2.1.4")));
    }
}

} // namespace

class tst_VerificationReportPDF : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void pageTotals_data();
    void pageTotals();
    void emptyProjectAndGroup_data();
    void emptyProjectAndGroup();
    void importedProjectCountsAllChannels();
    void unwritablePathFails();
    void fullDiskKeepsEarlierFile_data();
    void fullDiskKeepsEarlierFile();
};

// The worked example of the workbook test, as pages: every statistic of both groups, ties to the
// first channel, the population deviation and a row whose group 2 values are all "nan".
void tst_VerificationReportPDF::workedExample()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(writeFile(path, "an earlier report"));
    int total = 0;
    QCOMPARE(exportPdf(path, workedProject(), workedRows(), Export(), &total), QList<bool>({true, true, true, true}));
    QCOMPARE(total, 12);
    verifyFooters(path, 12);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"report.pdf"}));
    QVERIFY(run(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("842 x 595 pts (A4)")));

    const QStringList pages = pdfText(path).split(QLatin1Char('\f'));
    const QString cover = pages.at(0);
    QVERIFY(cover.contains(QStringLiteral("采集报告")) && cover.contains(QStringLiteral("项目名称:Oven A")));
    QVERIFY(hasLine(cover, {"序号", "设备型号", "设备序列号", "采集方式", "通道个数"}));
    QVERIFY(hasLine(cover, {"1", "R27K", "SN1", "串口", "5"}));
    QVERIFY(hasLine(cover, {"1.数据表", "2.温度横向表", "3.温度竖向表", "4.湿度横向表", "5.湿度竖向表"}));

    QVERIFY(pages.at(1).contains(QStringLiteral("工作数据表")));
    QVERIFY(hasLine(pages.at(1), {"时间", "1-1(℃)", "1-2(℃)", "1-3(℃)", "1-4(%RH)", "1-5(%RH)"}));
    QVERIFY(hasLine(pages.at(1), {"开始时间：2024-01-02", "03:04:05", "结束时间：2024-01-02", "03:04:09"}));
    QVERIFY(hasLine(pages.at(1), {"01-02 03:04:05.000", "20.00", "21.00", "21.00", "50.00", "40.00"}));
    QVERIFY(hasLine(pages.at(1), {"升温", "开始"}) && hasLine(pages.at(1), {"升温", "结束"}));

    // Pages 4 to 11: horizontal and vertical tables of group 1, then of group 2, two segments each.
    for (int group = 0; group < 2; ++group) {
        const QString horizontal = pages.at(3 + 4 * group);
        QVERIFY(horizontal.contains(group == 0 ? QStringLiteral("温度横向分析表") : QStringLiteral("湿度横向分析表")));
        for (const QStringList &line : workedHorizontal(group))
            QVERIFY2(hasLine(horizontal, line), qPrintable(line.join(' ')));
        const QString vertical = pages.at(5 + 4 * group);
        QVERIFY(vertical.contains(group == 0 ? QStringLiteral("温度竖向分析表") : QStringLiteral("湿度竖向分析表")));
        for (const QStringList &line : workedSummary(group) + workedChannels(group))
            QVERIFY2(hasLine(vertical, line), qPrintable(line.join(' ')));
    }
    QVERIFY(hasLine(pages.at(5), {"通道", "最大温度", "最小温度", "平均温度", "最大-平均", "平均-最小", "最大-最小", "标准偏差"}));
    QVERIFY(hasLine(pages.at(6), workedSingleRowChannel()));
    // The all-"nan" row of group 2 shows its time only.
    QVERIFY(QRegularExpression(QStringLiteral("^\\s*01-02 03:04:07\\.000\\s*$"), QRegularExpression::MultilineOption)
                .match(pages.at(7)).hasMatch());
    QVERIFY(!pdfText(path).contains(QStringLiteral("nan")));
}

// The total printed in every footer is the number of pages drawn: a table page holds 25 lines
// (start banner, rows, end banner), a vertical table starts on line 7, ten channels go across.
void tst_VerificationReportPDF::pageTotals_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<bool>>("include");
    QTest::addColumn<int>("pages");
    const QList<bool> work = {true, false, false, false, false};
    const QList<bool> vertical = {false, false, true, false, false};
    QTest::newRow("23 rows fill one page") << 5 << 23 << work << 3;
    QTest::newRow("24 rows leave the end banner to a second page") << 5 << 24 << work << 4;
    QTest::newRow("49 rows take three pages") << 5 << 49 << work << 5;
    QTest::newRow("15 channels go across twice") << 15 << 10 << work << 4;
    QTest::newRow("17 channels of a vertical table fit") << 17 << 3 << vertical << 3;
    QTest::newRow("18 channels push the end banner on") << 18 << 3 << vertical << 4;
    QTest::newRow("30 rows of a horizontal table") << 5 << 30 << QList<bool>({false, true, false, false, false}) << 4;
    QTest::newRow("no rows, every section") << 5 << 0 << allSections() << 7;
}

void tst_VerificationReportPDF::pageTotals()
{
    QFETCH(int, channels);
    QFETCH(int, rows);
    QFETCH(QList<bool>, include);
    QFETCH(int, pages);
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QStringList units;
    for (int c = 0; c < channels; ++c)
        units.append(QStringLiteral("℃"));
    Export options;
    options.include = include;
    options.starts = {at(0)};
    options.ends = {at(rows + 10)};
    int total = 0;
    QVERIFY(!exportPdf(path, project(labels(channels), units), steadyRows(channels, rows), options, &total).contains(false));
    QCOMPARE(total, pages);
    verifyFooters(path, pages);
}

// No sample at all, or a group whose channels are all hidden: section heads, headers and banners
// only, never a "nan", an "inf" or a figure made of the largest double.
void tst_VerificationReportPDF::emptyProjectAndGroup_data()
{
    addEmptyReportRows();
}

void tst_VerificationReportPDF::emptyProjectAndGroup()
{
    QFETCH(bool, noRows);
    QFETCH(QList<bool>, shown);
    QFETCH(QString, quantity2);
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    Export options;
    options.shown = shown;
    int total = 0;
    QVERIFY(!exportPdf(path, workedProject(), noRows ? rows(5, {}) : workedRows(), options, &total).contains(false));
    verifyFooters(path, total);
    const QString text = pdfText(path);
    QVERIFY(!text.contains(QStringLiteral("nan")) && !text.contains(QStringLiteral("inf")));
    QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\d{20}"))), qPrintable(text));
    const QStringList pages = text.split(QLatin1Char('\f'));
    const QString vertical2 = pages.at(total - 3); // the last section's first segment, before the chart
    QVERIFY(vertical2.contains(quantity2 + "竖向分析表"));
    QVERIFY(hasLine(vertical2, {"通道", "最大" + quantity2}) && hasLine(vertical2, {"升温", "结束"}));
    QVERIFY(!vertical2.contains(QStringLiteral("全均值")));
}

void tst_VerificationReportPDF::importedProjectCountsAllChannels()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const Tool::Struct_Parameters imported = project({"1", "2", "3"}, {"℃", "℃", "℃"}, {"P530W"}, QStringLiteral("导入"));
    QVERIFY(!exportPdf(path, imported, rows(3, {"1,2,3"})).contains(false));
    QVERIFY(hasLine(pdfText(path).split(QLatin1Char('\f')).first(), {"1", "P530W", "SN1", "导入", "3"}));
}

void tst_VerificationReportPDF::unwritablePathFails()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("missing/report.pdf"));
    QCOMPARE(exportPdf(path, workedProject(), workedRows()), QList<bool>({false, false}));
    QVERIFY(!QFile::exists(path));
}

// A disk full from the start, or one that fills while the pages are written: the export fails,
// the earlier file stays as it was and nothing of the new one is left.
void tst_VerificationReportPDF::fullDiskKeepsEarlierFile_data()
{
    addFullDiskRows();
}

void tst_VerificationReportPDF::fullDiskKeepsEarlierFile()
{
    verifyFullDiskExport(QStringLiteral("report.pdf"), [](const QString &path, ProjectRows rows, const QDateTime &end) {
        Export options;
        options.starts = {at(0)};
        options.ends = {end};
        const QList<bool> steps = exportPdf(path, workedProject(), std::move(rows), options);
        return !steps.contains(false) || steps.last();
    });
}

QTEST_MAIN(tst_VerificationReportPDF)
#include "tst_VerificationReportPDF.moc"
