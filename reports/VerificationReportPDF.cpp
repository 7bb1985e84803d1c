#include "reports/VerificationReportPDF.h"

#include "reports/ReportStatistics.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

const QColor kStripe(205, 205, 193);
const QColor kRule(144, 166, 188);
const int kLinesPerPage = 25;
// A vertical table starts below the segment summary.
const int kVerticalFirstLine = 7;

QPen pen(const QColor &color, int width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QFont reportFont(int points)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(points);
    return font;
}

// Pages of a table (see DrawTable): from its start banner on the line before firstLine to its
// end banner after the last item, 25 lines a page.
int tablePages(int firstLine, int items)
{
    const int lines = firstLine + items + 1;
    return (lines + kLinesPerPage - 1) / kLinesPerPage;
}

} // namespace

// The document's way to its file: passes every block on and keeps the system's reason of the
// first write that failed (after a failed buffered write the file's own error text says no more
// than "Unknown error").
class VerificationReportPDF::Sink : public QIODevice
{
public:
    explicit Sink(QSaveFile &file) : m_file(file) { open(QIODevice::WriteOnly); }
    int systemError() const { return m_systemError; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        errno = 0;
        const qint64 written = m_file.write(data, length);
        if (written != length && m_systemError == 0)
            m_systemError = errno;
        return written;
    }

private:
    QSaveFile &m_file;
    int m_systemError = 0;
};

VerificationReportPDF::VerificationReportPDF(const QString &path, QObject *parent)
    : QObject(parent)
    , m_file(path)
    , m_data("VerificationReportPDF")
    , m_font10(reportFont(10))
    , m_font12(reportFont(12))
    , m_font14(reportFont(14))
    , m_font16(reportFont(16))
{
    m_usable = m_file.open(QIODevice::WriteOnly);
    if (!m_usable) {
        failFile(QStringLiteral("the file cannot be made"));
        return;
    }
    m_logo = QImage(QStringLiteral(":/HKRQ5713/Image/Logo.png")).scaled(250, 90, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    m_printTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    m_sink = std::make_unique<Sink>(m_file);
    m_writer = std::make_unique<QPdfWriter>(m_sink.get());
    m_writer->setResolution(300);
    m_writer->setPageSize(QPageSize(QPageSize::A4));
    m_writer->setPageOrientation(QPageLayout::Landscape);
    m_writer->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Point);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get())) {
        fail(QStringLiteral("painting could not begin"));
        return;
    }
    m_viewWidth = m_painter->viewport().width();
    m_viewHeight = m_painter->viewport().height();
}

VerificationReportPDF::~VerificationReportPDF()
{
    // A document the caller did not end is incomplete: it never replaces a file.
    if (!m_ended) {
        m_failed = true;
        EndDocument();
    }
}

bool VerificationReportPDF::fail(const QString &what)
{
    if (!m_failed)
        qWarning().noquote() << "PDF report" << m_file.fileName() << "failed:" << what;
    m_failed = true;
    return false;
}

bool VerificationReportPDF::failFile(const QString &what, int systemError)
{
    // The file's own error text can be empty of meaning ("Unknown error") after a failed flush.
    const QString reason = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : m_file.errorString();
    if (!m_failed)
        m_fileError = QDir::toNativeSeparators(m_file.fileName()) + QStringLiteral(": ") + reason;
    return fail(what + QStringLiteral(" (") + reason + QLatin1Char(')'));
}

void VerificationReportPDF::SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                                    ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                                    const QList<QDateTime> &ends, const QStringList &remarks, const QString &version)
{
    m_data.SetData(precision, include, project, std::move(rows), shown, starts, ends, remarks, version);
    m_total = CountPages();
}

// The page total, from the tables the sections draw.
int VerificationReportPDF::CountPages() const
{
    int total = 2; // cover and chart
    const int channelGroups = (m_data.labels().size() + 9) / 10;
    for (int s = 0; s < m_data.segmentCount(); ++s) {
        const int rows = m_data.segmentRowCount(s);
        if (m_data.isIncluded(ReportData::WorkData))
            total += channelGroups * tablePages(1, rows);
        for (int group = 0; group < 2; ++group) {
            const int channels = m_data.groupSize(group);
            if (m_data.isIncluded(group == 0 ? ReportData::Horizontal1 : ReportData::Horizontal2))
                total += tablePages(1, channels > 0 ? rows : 0);
            if (m_data.isIncluded(group == 0 ? ReportData::Vertical1 : ReportData::Vertical2))
                total += tablePages(kVerticalFirstLine, rows > 0 ? channels : 0);
        }
    }
    return total;
}

bool VerificationReportPDF::NewPage()
{
    if (!usable())
        return false;
    if (m_page == 0) {
        m_width = m_viewWidth;
        m_headTop = 200;
        m_contentHeight = m_viewHeight - 290;
        m_y0 = 400;
    } else if (!m_writer->newPage()) {
        return fail(QStringLiteral("no new page"));
    }
    if (m_file.error() != QFileDevice::NoError)
        return failFile(QStringLiteral("the file could not be written"), m_sink->systemError());
    ++m_page;
    DrawHeader();
    DrawFooter();
    return true;
}

void VerificationReportPDF::DrawHeader()
{
    QPainter &p = *m_painter;
    p.drawImage(QRect(0, 0, 250, 90), m_logo);
    p.setFont(m_font16);
    p.setPen(pen(Qt::black, 3));
    drawText(QRect(250, 0, m_viewWidth - 500, 90), Qt::AlignCenter, tr("采集报告"));
    p.setFont(m_font10);
    p.setPen(pen(kRule, 6));
    p.drawLine(0, 100, m_viewWidth, 100);
    drawText(QRect(0, 106, m_viewWidth / 2, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QNRIX ") + m_data.version());
    drawText(QRect(m_viewWidth / 2, 106, m_viewWidth / 2, 50), Qt::AlignRight | Qt::AlignVCenter,
               tr("打印时间：") + m_printTime);
}

void VerificationReportPDF::DrawFooter()
{
    QPainter &p = *m_painter;
    p.setPen(pen(kRule, 6));
    p.drawLine(0, m_viewHeight - 80, m_viewWidth, m_viewHeight - 80);
    p.setFont(m_font12);
    p.setPen(pen(Qt::black, 6));
    drawText(QRect(6 * (m_viewWidth / 7), m_viewHeight - 70, m_viewWidth / 7, 70), Qt::AlignRight | Qt::AlignVCenter,
               tr("第%1页,共%2页").arg(m_page).arg(m_total));
    p.setPen(pen(kRule, 6));
    p.drawLine(0, m_viewHeight, m_viewWidth, m_viewHeight);
    p.setPen(pen(Qt::black, 3));
}

bool VerificationReportPDF::WriteCover()
{
    if (!NewPage())
        return false;
    QPainter &p = *m_painter;
    const int half = m_width / 2;
    p.setFont(m_font14);
    p.setPen(pen(Qt::black, 3));
    drawText(QRect(30, 190, half, 90), Qt::AlignLeft | Qt::AlignVCenter, tr("项目名称:") + m_data.project().Name);
    drawText(QRect(30, 280, half, 90), Qt::AlignLeft | Qt::AlignVCenter, tr("项目时间:") + m_data.project().CreateTime);
    const int bottom = WriteDeviceList();
    p.setFont(m_font14);
    p.setPen(pen(Qt::black, 3));
    drawText(QRect(30, bottom + 45, half, 90), Qt::AlignLeft | Qt::AlignVCenter, tr("报告概述:"));
    p.setFont(m_font12);
    const QStringList &sections = m_data.sections();
    for (int k = 0; k < 5; ++k) {
        // Each entry's cell ends where the next one begins.
        const int x = 60 + 700 * k;
        const int cell = k < 4 ? 700 : half;
        if (k < sections.size())
            drawText(QRect(x, bottom + 155, cell, 90), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(k + 1) + QLatin1Char('.') + sections.at(k));
        if (k + 5 < sections.size())
            drawText(QRect(x, bottom + 255, cell, 90), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(k + 6) + QLatin1Char('.') + sections.at(k + 5));
    }
    return usable();
}

int VerificationReportPDF::WriteDeviceList()
{
    QPainter &p = *m_painter;
    const int n = m_data.deviceCount();
    p.setFont(m_font14);
    p.setPen(pen(Qt::black, 3));
    drawText(QRect(30, 400, m_width / 2, 90), Qt::AlignLeft | Qt::AlignVCenter, tr("设备列表:"));
    for (int k = 0; k <= n + 1; ++k)
        p.drawLine(30, 500 + 110 * k, m_width - 60, 500 + 110 * k);
    for (int x : {30, 280, 750, 2400, m_width - 310, m_width - 60})
        p.drawLine(x, 500, x, 610 + 110 * n);
    p.setFont(m_font12);
    const int lefts[5] = {30, 280, 750, 2400, m_width - 310};
    const int widths[5] = {250, 470, 1650, m_width - 2710, 250};
    const auto line = [&](int y, const QStringList &texts) {
        for (int c = 0; c < 5; ++c)
            drawText(QRect(lefts[c], y, widths[c], 110), Qt::AlignCenter, texts.value(c));
    };
    line(500, {tr("序号"), tr("设备型号"), tr("设备序列号"), tr("采集方式"), tr("通道个数")});
    const Tool::Struct_Parameters &project = m_data.project();
    for (int i = 0; i < n; ++i) {
        line(610 + 110 * i, {QString::number(i + 1), project.Model.at(i), project.Serial.value(i),
                             Tool::toDisplayText(project.SignalMode.value(i)),
                             QString::number(m_data.deviceChannelCount(i))});
    }
    return 610 + 110 * n;
}

bool VerificationReportPDF::WriteSectionHead(const QString &title, int segment)
{
    if (!NewPage())
        return false;
    QPainter &p = *m_painter;
    const QRect box(0, m_headTop, m_width, 90);
    p.setPen(pen(kStripe, 3));
    p.setBrush(kStripe);
    p.drawRoundedRect(box, 5, 5, Qt::AbsoluteSize);
    p.setBrush(Qt::NoBrush);
    p.setFont(m_font14);
    p.setPen(pen(Qt::black, 3));
    drawText(box, Qt::AlignCenter, title);
    if (segment >= m_data.segmentCount())
        return fail(QStringLiteral("no segment %1").arg(segment));
    p.setFont(m_font12);
    drawText(QRect(30, 300, m_width / 2, 70), Qt::AlignLeft | Qt::AlignVCenter, tr("开始时间：") + m_data.startText(segment));
    drawText(QRect(m_width / 2 - 30, 300, m_width / 2, 70), Qt::AlignRight | Qt::AlignVCenter,
               tr("结束时间：") + m_data.endText(segment));
    return true;
}

void VerificationReportPDF::stripe(int counter)
{
    if (counter % 5 == 4)
        m_painter->fillRect(QRect(0, lineTop(counter), m_width, kLine), kStripe);
}

void VerificationReportPDF::cellText(int x, int y, int width, const QString &text)
{
    drawText(QRect(x, y, width, kLine), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void VerificationReportPDF::headText(int x, int y, int width, const QString &text)
{
    drawText(QRect(x, y, width, kLine), Qt::AlignLeft | Qt::AlignVCenter, text, WrapAtWord);
}

qreal VerificationReportPDF::advance(const QFont &font, const QString &text) const
{
    return QFontMetricsF(font, m_painter->device()).horizontalAdvance(text);
}

qreal VerificationReportPDF::fittingSize(const QFont &font, const QStringList &lines, qreal room) const
{
    // Widths grow about in proportion to the size; hinting may add a little, so the size found
    // is measured and lowered until every line fits.
    QFont sized(font);
    qreal size = font.pointSizeF();
    for (int attempt = 0; attempt < 20 && size > 1.0; ++attempt) {
        sized.setPointSizeF(size);
        qreal widest = 0;
        for (const QString &line : lines)
            widest = qMax(widest, advance(sized, line));
        if (widest <= room)
            break;
        size = qMin(size * 0.97, size * room / widest);
    }
    return size;
}

void VerificationReportPDF::drawText(const QRect &box, int flags, const QString &text, TextFit fit)
{
    QPainter &p = *m_painter;
    const QFont font = p.font();
    const qreal room = box.width() - kTextGap;
    if (!m_metrics || !(m_metricsFont == font)) {
        m_metrics = std::make_unique<QFontMetricsF>(font, p.device());
        m_metricsFont = font;
        m_advances.clear();
    }
    // Most texts are figures and times of a few characters: the sum of their characters' widths,
    // kept per font, tells at once that they fit (with a dot to spare for kerning); only a text
    // near or over the limit is laid out to be measured.
    qreal sum = 0;
    for (const QChar c : text) {
        if (c.isSurrogate()) {
            sum = room + 1;
            break;
        }
        auto known = m_advances.constFind(c.unicode());
        if (known == m_advances.constEnd())
            known = m_advances.insert(c.unicode(), m_metrics->horizontalAdvance(c));
        sum += known.value();
    }
    if (sum + 1 <= room || text.isEmpty() || m_metrics->horizontalAdvance(text) <= room) {
        p.drawText(box, flags, text);
        return;
    }
    // Where the font would not fit, this text alone gets a smaller size of the same font: on one
    // line, or, for a heading, on two lines broken at a word, whichever keeps the larger size.
    QFont smaller(font);
    smaller.setPointSizeF(fittingSize(font, {text}, room));
    QStringList lines;
    if (fit == WrapAtWord) {
        const QStringList two = wordBreak(font, text);
        if (!two.isEmpty()) {
            const qreal size = qMin(fittingSize(font, two, room), twoLineSize(font, box.height()));
            if (size >= smaller.pointSizeF()) {
                smaller.setPointSizeF(size);
                lines = two;
            }
        }
    }
    p.setFont(smaller);
    if (lines.isEmpty()) {
        p.drawText(box, flags, text);
    } else {
        // The two line boxes one above the other, centred on the box's middle.
        const qreal pitch = QFontMetricsF(smaller, p.device()).height();
        const qreal top = box.y() + (box.height() - 2 * pitch) / 2;
        const int horizontal = flags & Qt::AlignHorizontal_Mask;
        for (int k = 0; k < 2; ++k)
            p.drawText(QRectF(box.x(), top + k * pitch, box.width(), pitch), horizontal | Qt::AlignVCenter, lines.at(k));
    }
    p.setFont(font);
}

qreal VerificationReportPDF::twoLineSize(const QFont &font, int height) const
{
    // Two line boxes (ascent and descent each) stack within the height; but a heading is never
    // made smaller than kLeastTwoLinePoints for it (rounded up to whole dots, the steps in which
    // glyphs are sized), so in a font of tall line boxes its lines may reach a little beyond a
    // table line's edges; and never larger than the font.
    const qreal dotsPerPoint = m_painter->device()->logicalDpiY() / 72.0;
    const qreal least = std::ceil(kLeastTwoLinePoints * dotsPerPoint - 1e-6) / dotsPerPoint;
    QFont sized(font);
    qreal size = font.pointSizeF();
    for (int attempt = 0; attempt < 20 && size > least; ++attempt) {
        sized.setPointSizeF(size);
        const qreal lines = 2 * QFontMetricsF(sized, m_painter->device()).height();
        if (lines <= height)
            break;
        size = qMin(size * 0.97, size * height / lines);
    }
    return qMin(font.pointSizeF(), qMax(size, least));
}

QStringList VerificationReportPDF::wordBreak(const QFont &font, const QString &text) const
{
    // The space that leaves the wider of the two lines narrowest.
    QStringList best;
    qreal bestWidth = 0;
    for (int at = text.indexOf(QLatin1Char(' ')); at >= 0; at = text.indexOf(QLatin1Char(' '), at + 1)) {
        const QString first = text.left(at).trimmed();
        const QString second = text.mid(at + 1).trimmed();
        if (first.isEmpty() || second.isEmpty())
            continue;
        const qreal width = qMax(advance(font, first), advance(font, second));
        if (best.isEmpty() || width < bestWidth) {
            best = QStringList{first, second};
            bestWidth = width;
        }
    }
    return best;
}

void VerificationReportPDF::DrawBanner(int counter, const QString &text)
{
    drawText(QRect(400, lineTop(counter), 1500, kLine), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void VerificationReportPDF::WriteColumnHeads(int first, int count)
{
    m_painter->setFont(m_font12);
    m_painter->fillRect(QRect(0, m_y0, m_width, kLine), kStripe);
    headText(0, m_y0, m_timeWidth, tr("时间"));
    const int w = (m_width - m_timeWidth) / 10;
    for (int j = 0; j < count; ++j) {
        headText(m_timeWidth + j * w, m_y0, w,
                 m_data.labels().at(first + j) + QLatin1Char('(') + m_data.units().value(first + j) + QLatin1Char(')'));
    }
}

void VerificationReportPDF::WriteDataRow(int &counter, const Struct_ReportRow &row, int first, int count)
{
    stripe(counter);
    const int y = lineTop(counter);
    cellText(0, y, m_timeWidth, row.time);
    const int w = (m_width - m_timeWidth) / 10;
    for (int j = 0; j < count; ++j)
        cellText(m_timeWidth + j * w, y, w, m_data.figure(row.values.at(first + j)));
    ++counter;
}

bool VerificationReportPDF::DrawTable(int segment, int firstLine, int items, const std::function<bool()> &head,
                                      const std::function<void(int &, int)> &line)
{
    DrawBanner(firstLine - 1, m_data.remark(segment) + tr("    开始"));
    int counter = firstLine;
    for (int item = 0; item <= items; ++item) {
        if (counter == kLinesPerPage) {
            counter = 0;
            if (!head())
                return false;
        }
        if (item < items)
            line(counter, item);
    }
    DrawBanner(counter, m_data.remark(segment) + tr("    结束"));
    return true;
}

bool VerificationReportPDF::WriteWorkData()
{
    if (!usable())
        return false;
    const int channels = m_data.labels().size();
    Struct_ReportRow row;
    for (int s = 0; s < m_data.segmentCount(); ++s) {
        const int firstRow = m_data.firstRow(s);
        for (int first = 0; first < channels; first += 10) {
            const int count = qMin(10, channels - first);
            const auto head = [&] {
                if (!WriteSectionHead(tr("工作数据表"), s))
                    return false;
                WriteColumnHeads(first, count);
                return true;
            };
            const auto line = [&](int &counter, int item) {
                m_data.row(firstRow + item, row);
                WriteDataRow(counter, row, first, count);
            };
            if (!head() || !DrawTable(s, 1, m_data.segmentRowCount(s), head, line))
                return false;
        }
    }
    return usable();
}

bool VerificationReportPDF::WriteVertical(int group)
{
    if (!usable())
        return false;
    const QString title = m_data.groupTitle(group) + tr("竖向分析表");
    const QString &quantity = m_data.quantity(group);
    const QStringList &labels = m_data.groupLabels(group);
    for (int s = 0; s < m_data.segmentCount(); ++s) {
        // A segment without rows or a group without channels shows its banners and header only.
        const bool figures = m_data.segmentRowCount(s) > 0 && !labels.isEmpty();
        const QVector<ChannelStatistics> channels = ReportStatistics::segment(m_data, group, s);
        if (!WriteSectionHead(title, s))
            return false;
        if (figures)
            WriteSummary(quantity, ReportStatistics::summary(m_data, group, channels));
        WriteVerticalHeader(quantity, false);
        const auto head = [&] {
            if (!WriteSectionHead(title, s))
                return false;
            WriteVerticalHeader(quantity, true);
            return true;
        };
        const auto line = [&](int &counter, int k) { WriteVerticalRow(counter, labels.at(k), channels.at(k).figures()); };
        if (!DrawTable(s, kVerticalFirstLine, figures ? labels.size() : 0, head, line))
            return false;
    }
    return usable();
}

void VerificationReportPDF::WriteSummary(const QString &quantity, const QStringList &texts)
{
    QPainter &p = *m_painter;
    p.setFont(m_font12);
    p.setPen(pen(Qt::black, 3));
    const int u = m_width / 12;
    const int top = m_y0 - 5;
    for (int k = 0; k <= 5; ++k)
        p.drawLine(u, top + 83 * k, 11 * u, top + 83 * k);
    for (int x : {u, 4 * u, 6 * u, 9 * u, 11 * u})
        p.drawLine(x, top, x, top + 415);
    const QStringList labels = ReportStatistics::summaryLabels(m_data, quantity);
    for (int i = 0; i < 5; ++i) {
        const int y = top + 83 * i;
        drawText(QRect(u, y, 3 * u, 83), Qt::AlignCenter, labels.at(i), WrapAtWord);
        drawText(QRect(4 * u, y, 2 * u, 83), Qt::AlignCenter, texts.value(i));
        drawText(QRect(6 * u, y, 3 * u, 83), Qt::AlignCenter, labels.at(i + 5), WrapAtWord);
        drawText(QRect(9 * u, y, 2 * u, 83), Qt::AlignCenter, texts.value(i + 5));
    }
}

void VerificationReportPDF::WriteVerticalHeader(const QString &quantity, bool continuation)
{
    m_painter->setFont(m_font12);
    const int y = continuation ? m_y0 : m_y0 + 420;
    m_painter->fillRect(QRect(0, y, m_width, kLine), kStripe);
    const int w = m_width / 10;
    const QStringList heads = ReportStatistics::verticalHeads(m_data, quantity);
    for (int j = 0; j < heads.size(); ++j)
        headText(j * w, y, w, heads.at(j));
}

void VerificationReportPDF::WriteVerticalRow(int &counter, const QString &label, const QVector<double> &figures)
{
    stripe(counter);
    const int y = lineTop(counter);
    const int w = m_width / 10;
    cellText(0, y, w, label);
    for (int j = 0; j < figures.size(); ++j)
        cellText(w + j * w, y, w, m_data.figure(figures.at(j)));
    ++counter;
}

bool VerificationReportPDF::WriteHorizontal(int group)
{
    if (!usable())
        return false;
    const QString title = m_data.groupTitle(group) + tr("横向分析表");
    const QString &quantity = m_data.quantity(group);
    for (int s = 0; s < m_data.segmentCount(); ++s) {
        const int firstRow = m_data.firstRow(s);
        const auto head = [&] {
            if (!WriteSectionHead(title, s))
                return false;
            WriteHorizontalHeader(quantity);
            return true;
        };
        const auto line = [&](int &counter, int item) { RowStatistics(counter, group, firstRow + item); };
        const int rows = m_data.groupSize(group) > 0 ? m_data.segmentRowCount(s) : 0;
        if (!head() || !DrawTable(s, 1, rows, head, line))
            return false;
    }
    return usable();
}

void VerificationReportPDF::WriteHorizontalHeader(const QString &quantity)
{
    m_painter->setFont(m_font12);
    m_painter->fillRect(QRect(0, m_y0, m_width, kLine), kStripe);
    const QStringList heads = ReportStatistics::horizontalHeads(m_data, quantity);
    headText(0, m_y0, m_timeWidth, heads.first());
    const int w = (m_width - m_timeWidth) / 9;
    for (int j = 1; j < heads.size(); ++j)
        headText(m_timeWidth + (j - 1) * w, m_y0, w, heads.at(j));
}

void VerificationReportPDF::RowStatistics(int &counter, int group, int index)
{
    stripe(counter);
    const int y = lineTop(counter);
    const QStringList cells = ReportStatistics::row(m_data, group, index);
    cellText(0, y, m_timeWidth, cells.first());
    const int w = (m_width - m_timeWidth) / 9;
    for (int j = 1; j < cells.size(); ++j)
        cellText(m_timeWidth + (j - 1) * w, y, w, cells.at(j));
    ++counter;
}

bool VerificationReportPDF::WriteAnalysis()
{
    if (!usable())
        return false;
    const bool written = m_data.writeSections([this] { return WriteWorkData(); },
                                              [this](int group) { return WriteHorizontal(group); },
                                              [this](int group) { return WriteVertical(group); });
    return written && usable();
}

bool VerificationReportPDF::WriteChart(const QImage &chart)
{
    if (!NewPage())
        return false;
    if (chart.isNull())
        return fail(QStringLiteral("no chart picture"));
    const QImage scaled = chart.scaled(m_width - 60, m_contentHeight - 60, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    m_painter->drawImage(QPoint(30, m_headTop + 30), scaled);
    return usable();
}

bool VerificationReportPDF::EndDocument()
{
    if (m_ended)
        return false;
    m_ended = true;
    bool complete = usable();
    errno = 0;
    if (m_painter && m_painter->isActive() && !m_painter->end())
        complete = fail(QStringLiteral("the document could not be completed"));
    if (complete && m_file.isOpen() && m_file.error() != QFileDevice::NoError)
        complete = failFile(QStringLiteral("the file could not be written"), m_sink->systemError() ? m_sink->systemError() : errno);
    m_painter.reset();
    m_writer.reset();
    m_sink.reset();
    if (complete && m_page != m_total)
        qWarning() << "PDF report drew" << m_page << "pages but numbered them out of" << m_total;
    if (!m_file.isOpen())
        return false;
    if (!complete)
        m_file.cancelWriting();
    errno = 0;
    const bool committed = m_file.commit();
    const int systemError = errno;
    if (complete && !committed)
        failFile(QStringLiteral("the file could not be written"), systemError);
    m_usable = false;
    return complete && committed;
}
