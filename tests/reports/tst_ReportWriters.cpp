// The report writers, read back with openpyxl, pdftotext and pdfinfo: the workbook and the PDF of
// one worked example checked against one set of figures, small reports (no samples, a hidden
// group, an imported project, two groups of one quantity), the user's decimals, the PDF's columns
// past ten channels, PDF texts inside their cells, PDF page totals, refused workbook calls, and
// failures that must leave an earlier file untouched and name a failed file's reason.
#include "ReportTestHelpers.h"

#include "reports/VerificationReportExcel.h"
#include "reports/VerificationReportPDF.h"
#include "reports/XlsxWorkbook.h"
#include "support/SmallTmpfs.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTranslator>
#include <QStorageInfo>
#include <QtTest>

#include <functional>
#include <memory>

using namespace ReportFixture;

using Misuse = std::function<void(XlsxWorkbook &)>;
Q_DECLARE_METATYPE(Misuse)
Q_DECLARE_METATYPE(Tool::Struct_Parameters)

namespace {

struct Export
{
    int precision = 2;
    QList<bool> include = kAllSections;
    QList<bool> shown;
    QList<QDateTime> starts = {at(0), at(4)};
    QList<QDateTime> ends = {at(4), at(9)};
};

// Runs the writer of the path's format as the export worker does: every step of the workbook; the
// PDF's steps up to the first failure, then EndDocument. True when the file was written.
// fileError: the writer's file error afterwards; chart: the picture given, a null one when false.
bool exportReport(const QString &path, const Tool::Struct_Parameters &project, ProjectRows rows,
                  const Export &o = Export(), QList<bool> *steps = nullptr, int *pageTotal = nullptr,
                  QString *fileError = nullptr, bool withChart = true)
{
    const QStringList remarks{QStringLiteral("升温"), QStringLiteral("恒温")};
    QImage chart;
    if (withChart) {
        chart = QImage(800, 300, QImage::Format_RGB32);
        chart.fill(Qt::darkCyan);
    }
    QList<bool> done;
    const bool pdf = path.endsWith(QLatin1String(".pdf"));
    if (!pdf) {
        VerificationReportExcel writer(path);
        writer.SetData(o.precision, o.include, project, std::move(rows), o.shown, o.starts, o.ends, remarks, QStringLiteral("V2.1.4"));
        done = {writer.WriteCover(), writer.WriteChart(chart), writer.WriteAnalysis(), writer.Save()};
        if (fileError)
            *fileError = writer.fileError();
    } else {
        VerificationReportPDF writer(path);
        writer.SetData(o.precision, o.include, project, std::move(rows), o.shown, o.starts, o.ends, remarks, QStringLiteral("V2.1.4"));
        if (pageTotal)
            *pageTotal = writer.pageTotal();
        done << writer.WriteCover();
        if (done.last())
            done << writer.WriteAnalysis();
        if (done.last())
            done << writer.WriteChart(chart);
        done << writer.EndDocument();
        if (fileError)
            *fileError = writer.fileError();
    }
    if (steps)
        *steps = done;
    return pdf ? done.last() : !done.contains(false);
}

// Every page's footer numbers it among the pages the file really holds.
void verifyFooters(const QString &path, int pages)
{
    QCOMPARE(QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {path})).captured(1).toInt(), pages);
    const QStringList texts = pdfText(path).split(QLatin1Char('\f'));
    for (int page = 0; page < pages; ++page)
        QVERIFY2(texts.value(page).contains(QStringLiteral("第%1页,共%2页").arg(page + 1).arg(pages)) && texts.value(page).contains("QNRIX V2.1.4"),
                 qPrintable(texts.value(page)));
}


// One word of a PDF page as pdftotext -bbox gives it, in points from the page's top left.
struct Word
{
    double xMin, yMin, xMax, yMax;
    QString text;
};

QList<QList<Word>> pdfWords(const QString &path)
{
    QList<QList<Word>> pages;
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == QLatin1String("<page "))
            pages.append(QList<Word>());
        else if (!pages.isEmpty())
            pages.last().append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
    }
    return pages;
}

// The first text of the page's tables that leaves its cell, as "page: text [from-to] cell [left-right]"; empty when
// every one fits. Cells are the columns of the page's table, in points: the PDF has 300 dots an inch and margins of
// 20 points. A text starts at its cell's left edge and its words stay before the next edge; a word further into a
// cell continues a text begun there. The centred texts of a vertical table's summary must not cross its column
// lines. Segment banners, which span columns, and the page's head and foot are left out.
QString textOutsideCells(const QList<QList<Word>> &pages, int width, int height)
{
    const double dot = 72.0 / 300.0, margin = 20.0;
    const auto x = [&](double dots) { return margin + dots * dot; };
    const auto y = [&](double dots) { return margin + dots * dot; };
    for (int page = 0; page < pages.size(); ++page) {
        const QList<Word> &words = pages.at(page);
        QString title;
        for (const Word &w : words) {
            if (w.yMin > y(200) && w.yMax < y(290))
                title += w.text + ' ';
        }
        QList<double> columns, summary;
        if (title.contains("工作数据表") || title.contains("Work data")) {
            columns << x(0);
            for (int j = 0; j <= 10; ++j)
                columns << x(480 + j * ((width - 480) / 10));
        } else if (title.contains("横向") || title.contains("horizontal")) {
            columns << x(0);
            for (int j = 0; j <= 9; ++j)
                columns << x(480 + j * ((width - 480) / 9));
        } else if (title.contains("竖向") || title.contains("vertical")) {
            for (int j = 0; j <= 10; ++j)
                columns << x(j * (width / 10));
            for (int k : {1, 4, 6, 9, 11})
                summary << x(k * (width / 12));
        } else {
            continue;
        }
        // A vertical table's first page has its column heads below the summary.
        const bool firstPage = std::any_of(words.cbegin(), words.cend(), [&](const Word &w) {
            return (w.text == "通道" || w.text == "Channel") && w.yMin > y(820) && w.yMax < y(890) && w.xMin < x(0) + 4;
        });
        // Lines of words, by the table line (70 dots) their middle lies on: words of other fonts
        // have other tops.
        QMap<int, QList<Word>> lines;
        for (const Word &w : words) {
            if (w.yMin >= y(400) - 2 && w.yMax <= y(height - 80))
                lines[int(((w.yMin + w.yMax) / 2 - y(400)) / (70 * dot))].append(w);
        }
        for (QList<Word> line : qAsConst(lines)) {
            std::sort(line.begin(), line.end(), [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
            // A segment banner is drawn from 400 dots on.
            const bool banner = line.first().xMin > x(400) - 0.5 && line.first().xMin < x(400) + 4;
            // The summary's rows lie above the first page's column heads, 420 dots below the table's top.
            const bool inSummary = !summary.isEmpty() && firstPage && line.first().yMin < y(400 + 420) - 1;
            if (banner)
                continue;
            int cell = -1;
            for (const Word &w : line) {
                const QString where = QStringLiteral("page %1: %2 [%3-%4]").arg(page + 1).arg(w.text).arg(w.xMin).arg(w.xMax);
                if (inSummary) {
                    for (double border : summary) {
                        if (w.xMin < border - 0.3 && w.xMax > border + 0.3)
                            return where + QStringLiteral(" crosses %1").arg(border);
                    }
                    if (w.xMin < summary.first() - 0.3 || w.xMax > summary.last() + 0.3)
                        return where + QStringLiteral(" outside the summary");
                    continue;
                }
                int in = -1;
                for (int c = 0; c + 1 < columns.size(); ++c) {
                    if (w.xMin >= columns.at(c) - 0.5)
                        in = c;
                }
                if (in < 0 || in + 1 >= columns.size())
                    return where + QStringLiteral(" starts in no cell");
                // A text starts at its cell's left edge (after a leading space at most).
                if (in != cell && w.xMin > columns.at(in) + 4.0)
                    return where + QStringLiteral(" runs on from the cell before [%1]").arg(columns.at(in));
                cell = in;
                if (w.xMax > columns.at(cell + 1) + 0.3)
                    return where + QStringLiteral(" cell [%1-%2]").arg(columns.at(cell)).arg(columns.at(cell + 1));
            }
        }
    }
    return QString();
}

// The report's language and font while it lives: the English catalogue loaded as the program
// loads it (none for Chinese), and "宋体" mapped to the installed Chinese font or left to Qt's own
// fallback.
class ReportLanguage
{
public:
    ReportLanguage(const QString &catalogue, bool mapped) : m_substitutes(QFont::substitutes(QStringLiteral("宋体")))
    {
        if (!mapped)
            QFont::removeSubstitutions(QStringLiteral("宋体"));
        m_loaded = catalogue.isEmpty() || m_translator.load(QDir(TestWorkDir::buildDir()).filePath(catalogue));
        if (!catalogue.isEmpty() && m_loaded)
            QCoreApplication::installTranslator(&m_translator);
    }
    ~ReportLanguage()
    {
        QCoreApplication::removeTranslator(&m_translator);
        QFont::insertSubstitutions(QStringLiteral("宋体"), m_substitutes);
    }
    bool loaded() const { return m_loaded; }

private:
    QStringList m_substitutes;
    QTranslator m_translator;
    bool m_loaded = false;
};

// The page's drawing area, in dots, as the PDF writer's painter sees it.
QRect pdfArea()
{
    QBuffer buffer;
    QPdfWriter probe(&buffer);
    probe.setResolution(300);
    probe.setPageSize(QPageSize(QPageSize::A4));
    probe.setPageOrientation(QPageLayout::Landscape);
    probe.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Point);
    QPainter painter(&probe);
    return painter.viewport();
}

// Points on a PDF page of a position in the writer's dots: 300 dots an inch, margins of 20 points.
double points(double dots)
{
    return 20.0 + dots * 72.0 / 300.0;
}

double height(const Word &w)
{
    return w.yMax - w.yMin;
}

const char *const kFormats[] = {"report.xls", "report.pdf"};

// The worked example's samples; the third one's group 2 values are all "nan".
const QStringList kWorked{"20.0,21.0,21.0,50,40", "22.0,20.0,22.0,52,44", "24.0,22.0,20.0,nan,nan", "26.0,23.0,23.0,54,48",
                          "28.0,24.0,24.0,56,52"};

QString verticalHeads(const QString &q)
{
    return "通道 最大" + q + " 最小" + q + " 平均" + q + " 最大-平均 平均-最小 最大-最小 标准偏差";
}

QString horizontalHeads(const QString &q)
{
    return "时间 最大" + q + " 最大" + q + "通道 最小" + q + " 最小" + q + "通道 平均" + q + " 最大-平均 平均-最小 最大-最小 标准偏差";
}

} // namespace

class tst_ReportWriters : public QObject
{
    Q_OBJECT

private slots:
    // Each format of each report: the export replaces a file already at the path and leaves
    // nothing else; never a "nan", an "inf" or a figure made of the largest double; the blocks of
    // lines in this order; the sheets of a workbook, the page total of a PDF in every footer.
    // The worked example's figures were worked out by hand: population deviation, ties to the
    // first channel in channel order, the row whose group 2 values are all "nan" shows its time
    // only there; the second segment starts on the row the first ends on. Without samples, or
    // with a group's channels all hidden (one unit shown: group 2 is that of no unit, "其他"),
    // tables hold their heads only. The cover's project time is the creation time, and each
    // instrument has its own line with its serial number and its channels. An imported project's
    // labels carry no instrument prefix: its one instrument counts them all. Two groups of one quantity get distinct sections: the second
    // adds its unit, which in a sheet name has the characters a sheet forbids replaced.
    void reports_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Tool::Struct_Parameters>("project");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("blocks");
        QTest::addColumn<QStringList>("sheets"); // the analysis sheets of a workbook, when given
        QTest::addColumn<int>("pages");          // of a PDF, when given
        const QStringList twoGroups{"温度横向分析表", "温度竖向分析表", "湿度横向分析表", "湿度竖向分析表"};
        for (const char *file : kFormats) {
            const auto row = [file](const char *name) { return &QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(file, name))); };
            *row("worked example") << file << workedProject() << kWorked << QList<bool>() << QStringList{
                "项目名称:Oven A\n项目时间:2024-01-02 03:00:00\n设备列表:\n序号 设备型号 设备序列号 采集方式 通道个数\n1 R27K SN1 串口 5\n"
                "报告概述:\n1.数据表 2.温度横向表 3.温度竖向表 4.湿度横向表 5.湿度竖向表",
                "工作数据表\n时间 1-1(℃) 1-2(℃) 1-3(℃) 1-4(%RH) 1-5(%RH)\n01-02 03:04:05.000 20.00 21.00 21.00 50.00 40.00\n"
                "01-02 03:04:06.000 22.00 20.00 22.00 52.00 44.00\n01-02 03:04:07.000 24.00 22.00 20.00\n"
                "01-02 03:04:08.000 26.00 23.00 23.00 54.00 48.00\n01-02 03:04:09.000 28.00 24.00 24.00 56.00 52.00\n升温 结束",
                "01-02 03:04:09.000 28.00 24.00 24.00 56.00 52.00\n恒温 结束",
                "温度横向分析表\n" + horizontalHeads("温度") + "\n"
                "01-02 03:04:05.000 21.00 1-2 20.00 1-1 20.67 0.33 0.67 1.00 0.47\n01-02 03:04:06.000 22.00 1-1 20.00 1-2 21.33 0.67 1.33 2.00 0.94\n"
                "01-02 03:04:07.000 24.00 1-1 20.00 1-3 22.00 2.00 2.00 4.00 1.63\n01-02 03:04:08.000 26.00 1-1 23.00 1-2 24.00 2.00 1.00 3.00 1.41\n"
                "01-02 03:04:09.000 28.00 1-1 24.00 1-2 25.33 2.67 1.33 4.00 1.89\n升温 结束",
                "01-02 03:04:09.000 28.00 1-1 24.00 1-2 25.33 2.67 1.33 4.00 1.89\n恒温 结束",
                "温度竖向分析表\n最小平均温度及通道 1-2/22.00 最大的最大值与全均值之差 5.33\n最大平均温度及通道 1-1/24.00 最大平均值与全均值之差 1.33\n"
                "最大的最大值及通道 1-1/28.00 全均值与最小的最小值之差 2.67\n最小的最小值及通道 1-1/20.00 全均值与最小平均值之差 0.67\n全均值 22.67\n"
                + verticalHeads("温度") + "\n1-1 28.00 20.00 24.00 4.00 4.00 8.00 2.83\n"
                "1-2 24.00 20.00 22.00 2.00 2.00 4.00 1.41\n1-3 24.00 20.00 22.00 2.00 2.00 4.00 1.41\n升温 结束",
                "最小平均温度及通道 1-2/24.00 最大的最大值与全均值之差 2.67", "1-1 28.00 28.00 28.00 0.00 0.00 0.00 0.00",
                "湿度横向分析表", "01-02 03:04:05.000 50.00 1-4 40.00 1-5 45.00 5.00 5.00 10.00 5.00\n"
                "01-02 03:04:06.000 52.00 1-4 44.00 1-5 48.00 4.00 4.00 8.00 4.00\n01-02 03:04:07.000\n"
                "01-02 03:04:08.000 54.00 1-4 48.00 1-5 51.00 3.00 3.00 6.00 3.00\n01-02 03:04:09.000 56.00 1-4 52.00 1-5 54.00 2.00 2.00 4.00 2.00\n升温 结束",
                "湿度竖向分析表\n最小平均湿度及通道 1-5/46.00 最大的最大值与全均值之差 6.50\n最大平均湿度及通道 1-4/53.00 最大平均值与全均值之差 3.50\n"
                "最大的最大值及通道 1-4/56.00 全均值与最小的最小值之差 9.50\n最小的最小值及通道 1-5/40.00 全均值与最小平均值之差 3.50\n全均值 49.50",
                "1-4 56.00 50.00 53.00 3.00 3.00 6.00 2.24\n1-5 52.00 40.00 46.00 6.00 6.00 12.00 4.47\n升温 结束"} << twoGroups << 12;
            *row("no samples") << file << workedProject() << QStringList() << QList<bool>()
                << QStringList{"1 R27K SN1 串口 5", "工作数据表\n时间 1-1(℃) 1-2(℃) 1-3(℃) 1-4(%RH) 1-5(%RH)\n升温 结束",
                               "温度竖向分析表\n" + verticalHeads("温度") + "\n升温 结束", "湿度横向分析表\n" + horizontalHeads("湿度") + "\n升温 结束",
                               "湿度竖向分析表\n" + verticalHeads("湿度") + "\n升温 结束"} << twoGroups << 0;
            *row("group 2 hidden") << file << workedProject() << kWorked << QList<bool>{true, true, true, false, false}
                << QStringList{"1 R27K SN1 串口 3", "时间 1-1(℃) 1-2(℃) 1-3(℃)\n01-02 03:04:05.000 20.00 21.00 21.00",
                               "其他横向分析表\n" + horizontalHeads("其他") + "\n升温 结束", "其他竖向分析表\n" + verticalHeads("其他") + "\n升温 结束"}
                << QStringList{"温度横向分析表", "温度竖向分析表", "其他横向分析表", "其他竖向分析表"} << 0;
            Tool::Struct_Parameters two = project({"1-1", "1-2", "2-1"}, {"℃", "℃", "℃"}, {"R27K", "R24K"});
            two.StartTime = QStringLiteral("2024-01-02 03:30:00");
            two.SignalMode[1] = QStringLiteral("网络");
            *row("two instruments") << file << two << QStringList{"1,2,3"} << QList<bool>() << QStringList{
                "项目名称:Oven A\n项目时间:2024-01-02 03:00:00\n设备列表:\n序号 设备型号 设备序列号 采集方式 通道个数\n"
                "1 R27K SN1 串口 2\n2 R24K SN2 网络 1\n报告概述:"} << QStringList() << 0;
            *row("imported") << file << project({"1", "2", "3"}, {"℃", "℃", "℃"}, {"P530W"}, "导入") << QStringList{"1,2,3"}
                             << QList<bool>() << QStringList{"1 P530W SN1 导入 3"} << QStringList() << 0;
            *row("℃ and ℉") << file << project(labels(2), {"℃", "℉"}) << QStringList{"1,2", "3,4"} << QList<bool>()
                << QStringList{"1.数据表 2.温度横向表 3.温度竖向表 4.温度(℉)横向表 5.温度(℉)竖向表", "温度(℉)横向分析表", "温度(℉)竖向分析表"}
                << QStringList{"温度横向分析表", "温度竖向分析表", "温度(℉)横向分析表", "温度(℉)竖向分析表"} << 0;
            *row("forbidden characters") << file << project(labels(2), {"m/s", "[x]"}) << QStringList{"1,2", "3,4"} << QList<bool>()
                << QStringList{"1.数据表 2.其他横向表 3.其他竖向表 4.其他(m/s)横向表 5.其他(m/s)竖向表"}
                << QStringList{"其他横向分析表", "其他竖向分析表", "其他(m_s)横向分析表", "其他(m_s)竖向分析表"} << 0;
        }
    }

    void reports()
    {
        QFETCH(QString, file);
        QFETCH(Tool::Struct_Parameters, project);
        QFETCH(QStringList, stored);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, blocks);
        QFETCH(QStringList, sheets);
        QFETCH(int, pages);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath(file);
        QVERIFY(writeFile(path, "an earlier report"));
        Export options;
        options.shown = shown;
        int total = 0;
        QVERIFY(exportReport(path, project, rows(project.CHName.size(), stored), options, nullptr, &total));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{file});
        const QStringList lines = reportLines(path);
        const QString all = lines.join('\n');
        QVERIFY2(!all.contains(QRegularExpression(QStringLiteral("nan|inf|\\d{20}"))), qPrintable(all));
        QVERIFY(all.contains(QRegularExpression(QStringLiteral("^QNRIX V2.1.4 打印时间：\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"),
                                                QRegularExpression::MultilineOption)));
        QVERIFY(all.contains(QStringLiteral("开始时间：2024-01-02 03:04:05 结束时间：2024-01-02 03:04:09"))
                && all.contains(QStringLiteral("开始时间：2024-01-02 03:04:09 结束时间：2024-01-02 03:04:14")));
        const QString missing = missingBlock(lines, blocks);
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + all));
        if (file.endsWith(QLatin1String(".pdf"))) {
            QVERIFY(pages == 0 || total == pages);
            verifyFooters(path, total);
            QVERIFY(run(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("842 x 595 pts (A4)")));
        } else if (!sheets.isEmpty()) {
            QCOMPARE(readWorkbook(path).value("sheets").toVariant().toStringList(), QStringList({"首页", "工作数据表1", "工作数据表2"}) + sheets);
        }
    }

    // The user's number of decimals reaches every figure of both writers: work data, row
    // statistics, summary and channel figures of the worked example at 0 and at 3 decimals.
    void decimals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QStringList>("blocks");
        for (const char *file : kFormats) {
            QTest::newRow(qPrintable(QStringLiteral("%1 0").arg(file))) << file << 0 << QStringList{
                "01-02 03:04:05.000 20 21 21 50 40",
                horizontalHeads("温度") + "\n01-02 03:04:05.000 21 1-2 20 1-1 21 0 1 1 0",
                "最小平均温度及通道 1-2/22 最大的最大值与全均值之差 5\n最大平均温度及通道 1-1/24 最大平均值与全均值之差 1",
                "1-1 28 20 24 4 4 8 3"};
            QTest::newRow(qPrintable(QStringLiteral("%1 3").arg(file))) << file << 3 << QStringList{
                "01-02 03:04:05.000 20.000 21.000 21.000 50.000 40.000",
                horizontalHeads("温度") + "\n01-02 03:04:05.000 21.000 1-2 20.000 1-1 20.667 0.333 0.667 1.000 0.471",
                "最小平均温度及通道 1-2/22.000 最大的最大值与全均值之差 5.333\n最大平均温度及通道 1-1/24.000 最大平均值与全均值之差 1.333",
                "1-1 28.000 20.000 24.000 4.000 4.000 8.000 2.828"};
        }
    }

    void decimals()
    {
        QFETCH(QString, file);
        QFETCH(int, precision);
        QFETCH(QStringList, blocks);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath(file);
        Export options;
        options.precision = precision;
        QVERIFY(exportReport(path, workedProject(), rows(5, kWorked), options));
        const QStringList lines = reportLines(path);
        const QString missing = missingBlock(lines, blocks);
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + lines.join('\n')));
    }

    // More than ten channels: the PDF's work data goes on in a second block of columns that
    // shows channels 11 and 12 with their own values, after the first ten.
    void pdfWorkDataBeyondTenChannels()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath("report.pdf");
        QStringList stored;
        for (int i = 0; i < 3; ++i) {
            QStringList values;
            for (int c = 1; c <= 12; ++c)
                values << QString::number(c * 10 + i);
            stored << values.join(',');
        }
        Export options;
        options.include = {true, false, false, false, false};
        options.starts = {at(0)};
        options.ends = {at(2)};
        QVERIFY(exportReport(path, project(labels(12), QStringList(QVector<QString>(12, "℃").toList())), rows(12, stored), options));
        const QStringList lines = reportLines(path);
        const QString missing = missingBlock(lines, {
            "时间 1-1(℃) 1-2(℃) 1-3(℃) 1-4(℃) 1-5(℃) 1-6(℃) 1-7(℃) 1-8(℃) 1-9(℃) 1-10(℃)\n"
            "01-02 03:04:05.000 10.00 20.00 30.00 40.00 50.00 60.00 70.00 80.00 90.00 100.00",
            "01-02 03:04:07.000 12.00 22.00 32.00 42.00 52.00 62.00 72.00 82.00 92.00 102.00\n升温 结束",
            "时间 1-11(℃) 1-12(℃)\n01-02 03:04:05.000 110.00 120.00\n01-02 03:04:06.000 111.00 121.00\n"
            "01-02 03:04:07.000 112.00 122.00\n升温 结束"});
        QVERIFY2(missing.isEmpty(), qPrintable(missing + "\n---\n" + lines.join('\n')));
    }

    // Every text of a PDF's tables fits its cell with the fonts this machine has, in Chinese and
    // in English (the catalogue loaded as the program loads it), also where "宋体" is left to
    // Qt's own fallback, with twelve channels of long figures at 3 decimals: each text's box as
    // pdftotext reads it lies inside its cell.
    void pdfTextsFitTheirCells_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<bool>("mapped"); // "宋体" mapped to the installed Chinese font
        QTest::newRow("Chinese") << "" << true;
        QTest::newRow("English") << "DAQ_en.qm" << true;
        QTest::newRow("Chinese, fallback font") << "" << false;
        QTest::newRow("English, fallback font") << "DAQ_en.qm" << false;
    }

    void pdfTextsFitTheirCells()
    {
        QFETCH(QString, catalogue);
        QFETCH(bool, mapped);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath("report.pdf");
        QStringList stored;
        for (int i = 0; i < 30; ++i) {
            QStringList values;
            for (int c = 0; c < 12; ++c)
                values << QString::number(-12345.678 + 1111.111 * c + i * 0.001, 'f', 3);
            stored << values.join(',');
        }
        QStringList units = QStringList(QVector<QString>(6, "℃").toList()) + QStringList(QVector<QString>(6, "%RH").toList());
        Export options;
        options.precision = 3;
        options.starts = {at(0)};
        options.ends = {at(29)};
        {
            ReportLanguage language(catalogue, mapped);
            QVERIFY2(language.loaded(), "the catalogues are built with the program");
            QVERIFY(exportReport(path, project(labels(12), units), rows(12, stored), options));
        }
        const QRect area = pdfArea();
        const QList<QList<Word>> pages = pdfWords(path);
        QVERIFY(pages.size() > 6);
        const QString outside = textOutsideCells(pages, area.width(), area.height());
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
    }

    // Text sizes as pdftotext -bbox reads them, in the font each text gets: a project name too long
    // for its line is made smaller, the texts after it are not; an English heading too wide for its
    // cell breaks at a word onto a second line, its two lines one below the other within the cell,
    // never smaller than 7 points; every figure and label of the tables, drawn after those headings
    // and after times made smaller, has the 12 points of the page footer. The headings read as the
    // catalogue's English.
    void pdfTextSizes_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<bool>("mapped"); // "宋体" mapped to the installed Chinese font
        QTest::newRow("English") << "DAQ_en.qm" << true;
        QTest::newRow("English, fallback font") << "DAQ_en.qm" << false;
        QTest::newRow("Chinese") << "" << true;
    }

    void pdfTextSizes()
    {
        QFETCH(QString, catalogue);
        QFETCH(bool, mapped);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath("report.pdf");
        Tool::Struct_Parameters longName = workedProject();
        longName.Name = QStringLiteral("Oven A, shelf 3, after the repair of the door seal, second run of the acceptance test");
        Export options;
        options.starts = {at(0)};
        options.ends = {at(4)};
        {
            ReportLanguage language(catalogue, mapped);
            QVERIFY2(language.loaded(), "the catalogues are built with the program");
            QVERIFY(exportReport(path, longName, rows(5, kWorked), options));
        }
        const bool english = !catalogue.isEmpty();
        const QList<QList<Word>> pages = pdfWords(path);
        QCOMPARE(pages.size(), 7); // cover, work data, four analysis pages, chart
        const double bottom = points(pdfArea().height() - 80);
        // The words of the line whose text starts with start, left to right.
        const auto line = [](const QList<Word> &words, const QString &start) {
            QMap<int, QList<Word>> lines;
            for (const Word &w : words)
                lines[qRound(w.yMin * 2)].append(w);
            for (QList<Word> found : qAsConst(lines)) {
                std::sort(found.begin(), found.end(), [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
                QStringList texts;
                for (const Word &w : qAsConst(found))
                    texts << w.text;
                if (texts.join(' ').startsWith(start))
                    return found;
            }
            return QList<Word>();
        };
        const QList<Word> footer = line(pages.at(1), english ? "Page" : "第");
        QVERIFY(!footer.isEmpty());
        const double twelve = height(footer.first());

        const QList<Word> name = line(pages.at(0), english ? "Project name" : "项目名称");
        const QList<Word> time = line(pages.at(0), english ? "Project time" : "项目时间");
        const QList<Word> devices = line(pages.at(0), english ? "Device" : "设备列表");
        QVERIFY(!name.isEmpty() && !time.isEmpty() && !devices.isEmpty());
        QVERIFY2(height(name.first()) < height(devices.first()) - 0.5, "the long name is made smaller");
        QCOMPARE(qRound(height(time.first()) * 100), qRound(height(devices.first()) * 100));

        // The header lines of the horizontal and the vertical table (pages 3 and 4: group 1) and
        // the left edges of their cells, in dots.
        const int width = pdfArea().width();
        QList<int> horizontal{0}, vertical;
        for (int j = 0; j < 9; ++j)
            horizontal << 480 + j * ((width - 480) / 9);
        for (int j = 0; j < 8; ++j)
            vertical << j * (width / 10);
        const struct { int page, top; QList<int> lefts; QStringList heads; } tables[] = {
            {2, 400, horizontal, english ? QStringList{"Time", "Max. Temperature", "Max. Temperature Channel", "Min. Temperature",
                                                       "Min. Temperature Channel", "Mean Temperature", "Max. - Mean", "Mean - Min.",
                                                       "Max. - Min.", "Std. Deviation"}
                                         : horizontalHeads("温度").split(' ')},
            {3, 820, vertical, english ? QStringList{"Channel", "Max. Temperature", "Min. Temperature", "Mean Temperature",
                                                     "Max. - Mean", "Mean - Min.", "Max. - Min.", "Std. Deviation"}
                                       : verticalHeads("温度").split(' ')}};
        bool smaller = false;
        for (const auto &table : tables) {
            const double top = points(table.top), end = points(table.top + 70);
            QVector<QList<Word>> cells(table.lefts.size());
            for (const Word &w : pages.at(table.page)) {
                const double middle = (w.yMin + w.yMax) / 2;
                if (middle < top || middle > end)
                    continue;
                QVERIFY2(w.yMin > top - 1 && w.yMax < end + 1, qPrintable(w.text + " leaves its line"));
                QVERIFY2(height(w) >= twelve * 7 / 12 - 0.05, qPrintable(QStringLiteral("%1: %2 of %3").arg(w.text).arg(height(w)).arg(twelve)));
                smaller = smaller || height(w) < twelve - 0.05;
                int cell = 0;
                while (cell + 1 < table.lefts.size() && w.xMin >= points(table.lefts.at(cell + 1)) - 0.5)
                    ++cell;
                cells[cell].append(w);
            }
            QStringList heads;
            for (QList<Word> words : qAsConst(cells)) {
                std::stable_sort(words.begin(), words.end(), [](const Word &a, const Word &b) {
                    return a.yMin < b.yMin - 0.5 || (qAbs(a.yMin - b.yMin) <= 0.5 && a.xMin < b.xMin);
                });
                QStringList texts;
                for (int k = 0; k < words.size(); ++k) {
                    texts << words.at(k).text;
                    // A second line lies below the first, not over it.
                    if (k > 0 && words.at(k).yMin > words.at(k - 1).yMin + 0.5)
                        QVERIFY2(words.at(k).yMin > words.at(k - 1).yMax - 0.3, qPrintable(texts.join(' ')));
                }
                heads << texts.join(' ');
            }
            QCOMPARE(heads, table.heads);
        }
        QCOMPARE(smaller, english); // the English headings did not fit at 12 points

        // Figures and channel labels of every table line below the heads, each drawn after a time
        // or a heading that may have been made smaller: 12 points.
        for (int page = 1; page <= 5; ++page) {
            int checked = 0;
            for (const Word &w : pages.at(page)) {
                if (w.yMin > points(470) && w.yMax < bottom && w.text.contains(QRegularExpression("^(-?\\d+\\.\\d+|\\d-\\d)$"))) {
                    QVERIFY2(qAbs(height(w) - twelve) < 0.05, qPrintable(QStringLiteral("page %1: %2 %3 of %4").arg(page + 1).arg(w.text).arg(height(w)).arg(twelve)));
                    ++checked;
                }
            }
            QVERIFY(checked > 0);
        }
    }

    // A sheet may use its last allowed row: a report whose work data ends exactly on it is
    // written; one row more and it is refused.
    void workbookExactlyFillsASheet()
    {
        for (int spare : {0, -1}) {
            TestWorkDir dir(TestWorkDir::NoDatabase);
            const QString path = dir.filePath(QStringLiteral("report.xls"));
            Export options;
            options.include = {true, false, false, false, false};
            options.starts = {at(0)};
            options.ends = {at(59)};
            // Title, column heads and start banner, 60 rows, end banner.
            XlsxWorkbook::setRowLimit(3 + 60 + 1 + spare);
            const bool written = exportReport(path, workedProject(), steadyRows(5, 60), options);
            XlsxWorkbook::setRowLimit(1048576);
            QCOMPARE(written, spare == 0);
            if (written)
                QVERIFY(reportLines(path).contains(QStringLiteral("升温 结束")));
        }
        TestWorkDir dir(TestWorkDir::NoDatabase);
        XlsxWorkbook book(dir.filePath(QStringLiteral("book.xls")));
        XlsxWorkbook::setRowLimit(5);
        const bool last = book.addSheet(QStringLiteral("Sheet")) && book.writeText(5, 1, QStringLiteral("last"), nullptr);
        XlsxWorkbook::setRowLimit(1048576);
        QVERIFY(last && book.save());
    }

    // A segment with no row within its bounds (here one ending before the first sample) gets its
    // banners and heads only, in both formats, and the PDF's page total still counts its pages;
    // the segment after it keeps its own rows.
    void segmentWithoutRows()
    {
        for (const char *file : kFormats) {
            TestWorkDir dir(TestWorkDir::NoDatabase);
            const QString path = dir.filePath(file);
            Export options;
            options.include = {true, true, true, false, false};
            options.starts = {at(-10), at(3)};
            options.ends = {at(-5), at(4)};
            int total = 0;
            QVERIFY(exportReport(path, workedProject(), rows(5, kWorked), options, nullptr, &total));
            const QStringList lines = reportLines(path);
            const QString missing = missingBlock(lines, {
                "时间 1-1(℃) 1-2(℃) 1-3(℃) 1-4(%RH) 1-5(%RH)\n升温 结束",
                "时间 1-1(℃) 1-2(℃) 1-3(℃) 1-4(%RH) 1-5(%RH)\n01-02 03:04:08.000 26.00 23.00 23.00 54.00 48.00\n"
                "01-02 03:04:09.000 28.00 24.00 24.00 56.00 52.00\n恒温 结束",
                horizontalHeads("温度") + "\n升温 结束", "01-02 03:04:09.000 28.00 1-1 24.00 1-2 25.33 2.67 1.33 4.00 1.89\n恒温 结束",
                verticalHeads("温度") + "\n升温 结束", "1-1 28.00 26.00 27.00 1.00 1.00 2.00 1.00"});
            QVERIFY2(missing.isEmpty(), qPrintable(QString(file) + ": " + missing + "\n---\n" + lines.join('\n')));
            if (QString(file).endsWith(".pdf"))
                verifyFooters(path, total);
        }
    }

    // The worked example's workbook opens on its cover, which holds the logo over the title and
    // the chart one row below its heading (zero-based anchors); every fifth row of a sheet is
    // shaded, counted from the sheet's top; titles span the table, and summary labels and figures
    // sit in merged pairs of columns.
    void workbookLayout()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QString path = dir.filePath("report.xls");
        QVERIFY(exportReport(path, workedProject(), rows(5, kWorked)));
        const QJsonObject book = readWorkbook(path);
        QStringList shaded;
        for (const QString &name : book.value("sheets").toVariant().toStringList())
            shaded << name + ':' + sheet(book, name).value("shaded").toVariant().toStringList().join(',');
        QCOMPARE(book.value("active").toString() + ' ' + shaded.join(' '),
                 QStringLiteral("首页 首页: 工作数据表1:4 工作数据表2:4 温度横向分析表:4 温度竖向分析表:24 湿度横向分析表:4 湿度竖向分析表:"));
        QCOMPARE(book.value("pictures").toObject().value("首页").toVariant(), QVariant(QVariantList({QVariantList({0, 0}), QVariantList({15, 0})})));
        QCOMPARE(sheetRow(sheet(book, "温度竖向分析表"), 3, 8),
                 QStringList({"最小平均温度及通道", "", "1-2/22.00", "", "最大的最大值与全均值之差", "", "5.33"}));
        const QStringList coverMerged = sheet(book, "首页").value("merged").toVariant().toStringList();
        const QStringList verticalMerged = sheet(book, "温度竖向分析表").value("merged").toVariant().toStringList();
        for (const QString &range : {"A1:J1", "B4:D4", "B5:D5"})
            QVERIFY2(coverMerged.contains(range), qPrintable(range + ' ' + coverMerged.join(',')));
        for (const QString &range : {"A1:H1", "A2:B2", "A3:B3", "C3:D3", "E3:F3", "G3:H3", "G7:H7"})
            QVERIFY2(verticalMerged.contains(range), qPrintable(range + ' ' + verticalMerged.join(',')));
    }

    // The total printed in every footer is the number of pages drawn: a table page holds 25 lines
    // (start banner, rows, end banner), a vertical table starts on line 7, ten channels go across.
    // So 23 rows of work data fill a page and a 24th pushes the end banner on; 17 channels of a
    // vertical table fit, an 18th pushes it on; no rows still give every section its page.
    void pdfPageTotals()
    {
        // channels, rows, the one section included (-1: all), pages
        const int cases[][4] = {{5, 23, 0, 3}, {5, 24, 0, 4}, {5, 49, 0, 5}, {15, 10, 0, 4},
                                {17, 3, 2, 3}, {18, 3, 2, 4}, {5, 30, 1, 4}, {5, 0, -1, 7}};
        for (const auto &c : cases) {
            TestWorkDir dir(TestWorkDir::NoDatabase);
            const QString path = dir.filePath(QStringLiteral("report.pdf"));
            Export options;
            for (int k = 0; k < 5; ++k)
                options.include[k] = c[2] < 0 || c[2] == k;
            options.starts = {at(0)};
            options.ends = {at(c[1] + 10)};
            int total = 0;
            QVERIFY(exportReport(path, project(labels(c[0]), QStringList(QVector<QString>(c[0], "℃").toList())),
                                 steadyRows(c[0], c[1]), options, nullptr, &total));
            QCOMPARE(total, c[3]);
            verifyFooters(path, c[3]);
        }
    }

    // The export fails and the folder stays as it was, the earlier file at the path included, and
    // no space stays held by an open file: a sheet that would pass the row limit (even when a later
    // section succeeds), a missing chart picture, a PDF that cannot be opened, a folder that is a
    // file (refused even to root), a disk full from the start or one that fills while 5000 samples
    // are written. A failure of the file names the path and the system's reason; one of the data
    // names none.
    void failureKeepsEarlierFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rowLimit");
        QTest::addColumn<QString>("disk"); // "full", "fills", or the test's folder
        QTest::addColumn<QList<bool>>("steps"); // when known
        QTest::addColumn<bool>("chart");
        QTest::addColumn<QString>("reason"); // the system's reason given, empty for none
        QTest::newRow("row limit") << "report.xls" << 20 << "" << QList<bool>({true, true, false, false}) << true << "";
        QTest::newRow("missing folder") << "missing/report.pdf" << 1048576 << "" << QList<bool>({false, false}) << true
                                        << "No such file or directory";
        QTest::newRow("report.xls no chart") << "report.xls" << 1048576 << "" << QList<bool>({true, false, false, false}) << false << "";
        QTest::newRow("report.pdf no chart") << "report.pdf" << 1048576 << "" << QList<bool>({true, true, false, false}) << false << "";
        for (const char *file : kFormats) {
            QTest::newRow(qPrintable(QStringLiteral("%1 under a file").arg(file)))
                << QStringLiteral("a file/%1").arg(file) << 1048576 << "" << QList<bool>() << true << "Not a directory";
            QTest::newRow(qPrintable(QStringLiteral("%1 full before").arg(file))) << file << 1048576 << "full" << QList<bool>()
                                                                                  << true << "No space left on device";
            QTest::newRow(qPrintable(QStringLiteral("%1 fills while writing").arg(file))) << file << 1048576 << "fills" << QList<bool>()
                                                                                          << true << "No space left on device";
        }
    }

    void failureKeepsEarlierFile()
    {
        QFETCH(QString, file);
        QFETCH(int, rowLimit);
        QFETCH(QString, disk);
        QFETCH(QList<bool>, steps);
        QFETCH(bool, chart);
        QFETCH(QString, reason);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        std::unique_ptr<SmallTmpfs> tmpfs(disk.isEmpty() ? nullptr : new SmallTmpfs(256 * 1024));
        if (tmpfs && !tmpfs->isMounted())
            QSKIP("mounting a tmpfs needs root");
        const QString folder = tmpfs ? tmpfs->path() : dir.path();
        const QString path = QDir(folder).filePath(file);
        QVERIFY(!file.startsWith("a file/") || writeFile(dir.filePath("a file"), "a file, not a folder"));
        const bool earlier = writeFile(path, "an earlier report");
        QVERIFY(disk != "full" || tmpfs->fill());
        const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        const qint64 freeBefore = QStorageInfo(folder).bytesAvailable();
        XlsxWorkbook::setRowLimit(rowLimit);
        Export options;
        options.include = tmpfs ? kAllSections : QList<bool>({true, false, true, false, false});
        options.starts = {at(0)};
        options.ends = {at(5000)};
        QList<bool> done;
        QString fileError;
        const bool written = exportReport(path, workedProject(), steadyRows(5, tmpfs ? 5000 : 30), options, &done, nullptr,
                                          &fileError, chart);
        XlsxWorkbook::setRowLimit(1048576);
        QVERIFY(!written);
        QVERIFY2(steps.isEmpty() || done == steps, qPrintable(QVariant::fromValue(done).toString()));
        QVERIFY(earlier ? readsFile(path, "an earlier report") : !QFile::exists(path));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(!tmpfs || QStorageInfo(folder).bytesAvailable() == freeBefore);
        if (reason.isEmpty())
            QCOMPARE(fileError, QString());
        else
            QVERIFY2(fileError.startsWith(QDir::toNativeSeparators(path) + ": ") && fileError.contains(reason), qPrintable(fileError));
    }

    // One refused call and the workbook is never saved; nothing is left in the folder.
    void workbookRefusedCallPreventsTheSave_data()
    {
        QTest::addColumn<Misuse>("misuse");
        QTest::newRow("sheet name taken") << Misuse([](XlsxWorkbook &b) { b.addSheet(QStringLiteral("SHEET")); });
        QTest::newRow("forbidden character") << Misuse([](XlsxWorkbook &b) { b.addSheet(QStringLiteral("a:b")); });
        QTest::newRow("past the row limit") << Misuse([](XlsxWorkbook &b) {
            XlsxWorkbook::setRowLimit(5);
            b.writeText(6, 1, QStringLiteral("x"), nullptr);
            XlsxWorkbook::setRowLimit(1048576);
        });
        QTest::newRow("row written out of order") << Misuse([](XlsxWorkbook &b) { b.writeText(3, 1, "x", nullptr); b.writeText(2, 1, "y", nullptr); });
        QTest::newRow("empty picture") << Misuse([](XlsxWorkbook &b) { b.insertImage(1, 1, QImage()); });
    }

    void workbookRefusedCallPreventsTheSave()
    {
        QFETCH(Misuse, misuse);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        XlsxWorkbook book(dir.filePath(QStringLiteral("book.xls")));
        QVERIFY(book.addSheet(QStringLiteral("Sheet")) && book.writeText(1, 1, QStringLiteral("kept?"), nullptr));
        misuse(book);
        QVERIFY(!book.ok() && !book.errorString().isEmpty() && !book.save());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(tst_ReportWriters)
#include "tst_ReportWriters.moc"
