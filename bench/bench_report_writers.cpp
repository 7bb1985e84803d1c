// Report writers on one project of 30 channels (20 ℃, 10 %RH), all five sections, six segments
// covering the samples, 2 decimals:
//   - the workbook of 1e5 and of 1e6 samples: time, peak memory, file size; beside each, in the
//     same run, a bare libxlsxwriter constant-memory write of the same cells (the floor);
//     for 1e6 also the rows of the largest sheet and the peak space taken in the output folder;
//   - the PDF of 5e4 samples (about 10000 pages): time, peak memory, file size; beside it a bare
//     QPdfWriter drawing the same number of pages with the same number of texts (the floor).
//
//   bench_report_writers            as above
//   bench_report_writers --quick    the 1e5 workbook and a PDF of 5e3 samples (about 1000 pages)
//
// Peak memory is the process's high-water mark (VmHWM), reset before each measured step; the
// project's rows (about 250 MB at 1e6) are built before and count in it, as they do in the export.
// Files are written to the working folder.

#include "BenchFigures.h"
#include "reports/VerificationReportExcel.h"
#include "reports/VerificationReportPDF.h"
#include "shell/AppSetup.h"

#include <xlsxwriter.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

const int kChannels = 30;
const int kSegments = 6;
const qint64 kStart = 1704164645000; // 2024-01-02 03:04:05 UTC

double sizeMb(const QString &path)
{
    return QFileInfo(path).size() / 1048576.0;
}

// The total size of the files in a folder: those listed in it (hidden ones too) and those this
// process still holds open after removing them from it (the library's temporary files are
// removed as soon as they are made and take their space until they are closed).
qint64 folderBytes(const QString &folder)
{
    const QDir dir(folder);
    qint64 bytes = 0;
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        bytes += file.size();
    const QByteArray removedFrom = QFile::encodeName(dir.canonicalPath()) + '/';
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : descriptors.entryList(QDir::Files | QDir::System)) {
        const QByteArray path = QFile::encodeName(descriptors.absoluteFilePath(fd));
        char target[4096];
        const ssize_t length = ::readlink(path.constData(), target, sizeof target);
        struct stat status;
        if (length > 0 && QByteArray(target, int(length)).startsWith(removedFrom)
            && QByteArray(target, int(length)).endsWith(" (deleted)") && ::stat(path.constData(), &status) == 0)
            bytes += status.st_size;
    }
    return bytes;
}

Tool::Struct_Parameters benchProject()
{
    Tool::Struct_Parameters p;
    p.Name = QStringLiteral("Bench");
    p.CreateTime = QStringLiteral("2024-01-02 03:00:00");
    p.Model = QStringList{QStringLiteral("R27K")};
    p.Serial = QStringList{QStringLiteral("SN1")};
    p.SignalMode = QStringList{QStringLiteral("串口")};
    for (int c = 1; c <= kChannels; ++c) {
        p.CHName.append(QStringLiteral("1-%1").arg(c));
        p.CHDisplayUnit.append(c <= 20 ? QStringLiteral("℃") : QStringLiteral("%RH"));
    }
    return p;
}

ProjectRows benchRows(int samples)
{
    ProjectRows rows(kChannels);
    rows.reserve(samples);
    double values[kChannels];
    for (int i = 0; i < samples; ++i) {
        for (int c = 0; c < kChannels; ++c)
            values[c] = (c < 20 ? 20.0 : 45.0) + ((i * 37 + c * 11) % 200) / 100.0;
        rows.append(kStart + qint64(i) * 1000, values, kChannels);
    }
    return rows;
}

struct Segments
{
    QList<QDateTime> starts, ends;
    QStringList remarks;
    QVector<int> rows; // rows of each segment: those within its start and end, a row on a shared second on both
};

Segments benchSegments(int samples)
{
    Segments s;
    for (int k = 0; k < kSegments; ++k) {
        const qint64 from = qint64(samples) * k / kSegments, to = qint64(samples) * (k + 1) / kSegments;
        s.starts.append(QDateTime::fromMSecsSinceEpoch(kStart + from * 1000));
        s.ends.append(QDateTime::fromMSecsSinceEpoch(kStart + to * 1000));
        s.remarks.append(QStringLiteral("段%1").arg(k + 1));
        s.rows.append(int(qMin<qint64>(to, samples - 1) - from + 1));
    }
    return s;
}

QImage benchChart()
{
    QImage chart(1600, 600, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter p(&chart);
    p.setPen(Qt::darkCyan);
    for (int x = 0; x < 1600; x += 4)
        p.drawLine(x, 300 + (x * 37) % 200 - 100, x + 4, 300 + ((x + 4) * 37) % 200 - 100);
    return chart;
}

const QList<bool> kAllSections = {true, true, true, true, true};

bool writeWorkbook(const QString &path, int samples, ProjectRows rows)
{
    const Segments s = benchSegments(samples);
    VerificationReportExcel writer(path);
    writer.SetData(2, kAllSections, benchProject(), std::move(rows), {}, s.starts, s.ends, s.remarks, QStringLiteral("V2.1.4"));
    return writer.WriteCover() && writer.WriteChart(benchChart()) && writer.WriteAnalysis() && writer.Save();
}

// The same cells written straight through libxlsxwriter in constant-memory mode: per segment a
// work-data sheet of time and 30 values, and two horizontal sheets of ten cells a row; values
// formatted with snprintf.
bool writeFloorWorkbook(const QString &path, int samples, const ProjectRows &rows)
{
    const Segments s = benchSegments(samples);
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_format *plain = workbook_add_format(book);
    format_set_font_name(plain, "宋体");
    format_set_border(plain, LXW_BORDER_THIN);
    lxw_format *stripe = workbook_add_format(book);
    format_set_font_name(stripe, "宋体");
    format_set_border(stripe, LXW_BORDER_THIN);
    format_set_pattern(stripe, LXW_PATTERN_SOLID);
    format_set_bg_color(stripe, 0xCDCDC1);
    char text[64];
    const auto timeText = [&](int i) {
        const qint64 ms = rows.time(i) % 86400000;
        std::snprintf(text, sizeof text, "01-02 %02d:%02d:%02d.%03d", int(ms / 3600000), int(ms / 60000 % 60),
                      int(ms / 1000 % 60), int(ms % 1000));
        return text;
    };
    const auto horizontalSheet = [&](const char *name, int columns) {
        lxw_worksheet *sheet = workbook_add_worksheet(book, name);
        int row = 2;
        int first = 0;
        for (int k = 0; k < kSegments; ++k) {
            for (int i = first; i < first + s.rows[k]; ++i, ++row) {
                lxw_format *f = row % 5 == 3 ? stripe : plain;
                worksheet_write_string(sheet, lxw_row_t(row), 0, timeText(i), f);
                for (int c = 1; c < columns; ++c) {
                    std::snprintf(text, sizeof text, "%.2f", rows.value(i, (c - 1) % kChannels));
                    worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(c), text, f);
                }
            }
            first += s.rows[k] - 1;
            row += 3;
        }
    };
    int first = 0;
    for (int k = 0; k < kSegments; ++k) {
        lxw_worksheet *sheet = workbook_add_worksheet(book, QStringLiteral("工作数据表%1").arg(k + 1).toUtf8().constData());
        for (int i = first, row = 3; i < first + s.rows[k]; ++i, ++row) {
            lxw_format *f = row % 5 == 3 ? stripe : plain;
            worksheet_write_string(sheet, lxw_row_t(row), 0, timeText(i), f);
            for (int c = 0; c < kChannels; ++c) {
                std::snprintf(text, sizeof text, "%.2f", rows.value(i, c));
                worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(c + 1), text, f);
            }
        }
        first += s.rows[k] - 1;
    }
    horizontalSheet("温度横向分析表", 10);
    horizontalSheet("湿度横向分析表", 10);
    return workbook_close(book) == LXW_NO_ERROR;
}

// The largest sheet of the workbook: a horizontal analysis sheet (title and header, then per
// segment its banner, its rows, its end banner and, between segments, a blank row).
int largestSheetRows(int samples)
{
    int rows = 1;
    for (int r : benchSegments(samples).rows)
        rows += r + 3;
    return rows;
}

void workbook(const char *label, int samples)
{
    QDir().mkpath(QStringLiteral("out"));
    const QString path = QDir(QStringLiteral("out")).absoluteFilePath(QStringLiteral("report_%1.xls").arg(QLatin1String(label)));
    ProjectRows rows = benchRows(samples);

    // The files in the output folder, the library's temporary ones included, sampled while writing.
    std::atomic<bool> writing{true};
    std::atomic<qint64> folderPeak{folderBytes(QStringLiteral("out"))};
    std::thread sampler([&] {
        while (writing) {
            folderPeak = qMax(folderPeak.load(), folderBytes(QStringLiteral("out")));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    resetPeakRss();
    QElapsedTimer timer;
    timer.start();
    const bool written = writeWorkbook(path, samples, std::move(rows));
    const double seconds = timer.elapsed() / 1000.0;
    writing = false;
    sampler.join();
    folderPeak = qMax(folderPeak.load(), folderBytes(QStringLiteral("out")));
    const QByteArray name = QByteArray("workbook_") + label;
    if (!written)
        std::printf("%s failed\n", name.constData());
    figure(name + "_time", seconds, "s");
    figure(name + "_peak_rss", peakRss(), "MB");
    figure(name + "_size", sizeMb(path), "MB");
    figure(name + "_folder_peak", folderPeak / 1048576.0, "MB");
    figure(name + "_largest_sheet_rows", largestSheetRows(samples), "rows", 0);
    QFile::remove(path);

    const QString floorPath = path + QStringLiteral(".floor.xlsx");
    const ProjectRows floorRows = benchRows(samples);
    resetPeakRss();
    timer.start();
    if (!writeFloorWorkbook(floorPath, samples, floorRows))
        std::printf("%s floor failed\n", name.constData());
    const double floorSeconds = timer.elapsed() / 1000.0;
    figure(name + "_floor_time", floorSeconds, "s");
    figure(name + "_floor_peak_rss", peakRss(), "MB");
    figure(name + "_vs_floor", seconds / floorSeconds, "x", 2);
    QFile::remove(floorPath);
}

// A bare QPdfWriter drawing the given pages: per page the header and footer texts and 25 lines of
// eleven cells.
void floorPdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter p(&writer);
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(12);
    p.setFont(font);
    const int w = (p.viewport().width() - 480) / 10;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        p.drawText(QRect(250, 0, 2000, 90), Qt::AlignCenter, QStringLiteral("采集报告"));
        p.drawText(QRect(0, 106, 1600, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QNRIX V2.1.4"));
        p.drawText(QRect(2800, 2200, 500, 70), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("第%1页,共%2页").arg(page).arg(pages));
        for (int line = 0; line < 25; ++line) {
            const int y = 400 + (line + 1) * 70;
            p.drawText(QRect(0, y, 480, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("01-02 03:04:05.000"));
            for (int c = 0; c < 10; ++c)
                p.drawText(QRect(480 + c * w, y, w, 70), Qt::AlignLeft | Qt::AlignVCenter,
                           QString::number(20.0 + ((page + line * 7 + c) % 200) / 100.0, 'f', 2));
        }
    }
}

void pdf(int samples)
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("report.pdf"));
    ProjectRows rows = benchRows(samples);
    const Segments s = benchSegments(samples);
    resetPeakRss();
    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    {
        VerificationReportPDF writer(path);
        writer.SetData(2, kAllSections, benchProject(), std::move(rows), {}, s.starts, s.ends, s.remarks, QStringLiteral("V2.1.4"));
        pages = writer.pageTotal();
        const bool drawn = writer.WriteCover() && writer.WriteAnalysis() && writer.WriteChart(benchChart());
        if (!writer.EndDocument() || !drawn)
            std::printf("pdf failed\n");
    }
    const double seconds = timer.elapsed() / 1000.0;
    figure("pdf_pages", pages, "pages", 0);
    figure("pdf_time", seconds, "s");
    figure("pdf_peak_rss", peakRss(), "MB");
    figure("pdf_size", sizeMb(path), "MB");
    QFile::remove(path);

    resetPeakRss();
    timer.start();
    floorPdf(path, pages);
    const double floorSeconds = timer.elapsed() / 1000.0;
    figure("pdf_floor_time", floorSeconds, "s");
    figure("pdf_floor_peak_rss", peakRss(), "MB");
    figure("pdf_vs_floor", seconds / floorSeconds, "x", 2);
    QFile::remove(path);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    AppSetup::initResources();
    AppSetup::installFontSubstitution();
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    workbook("1e5", 100000);
    pdf(quick ? 5000 : 50000);
    if (!quick)
        workbook("1e6", 1000000);
    return 0;
}
