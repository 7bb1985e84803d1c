#include "reports/VerificationReportExcel.h"

#include "reports/ReportStatistics.h"

#include <QDateTime>

namespace {

const QColor kStripe(205, 205, 193);

} // namespace

VerificationReportExcel::VerificationReportExcel(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_data("VerificationReportExcel")
    , m_logo(QImage(QStringLiteral(":/HKRQ5713/Image/Logo.png")).scaled(450, 171, Qt::IgnoreAspectRatio, Qt::FastTransformation))
    , m_printTime(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
{
}

VerificationReportExcel::~VerificationReportExcel() = default;

void VerificationReportExcel::SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                                      ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                                      const QList<QDateTime> &ends, const QStringList &remarks, const QString &version)
{
    m_data.SetData(precision, include, project, std::move(rows), shown, starts, ends, remarks, version);
    m_book = std::make_unique<XlsxWorkbook>(m_path);
}

XlsxWorkbook::Format VerificationReportExcel::format(double fontSize, bool border, XlsxFormat::Align align, bool stripe)
{
    XlsxFormat look;
    look.fontSize = fontSize;
    look.border = border;
    look.align = align;
    if (stripe)
        look.fill = kStripe;
    return m_book->format(look);
}

bool VerificationReportExcel::WriteMerged(const QString &text, XlsxWorkbook::Format format, int row, int column, int span)
{
    if (span <= 0)
        return m_book->writeText(row, column, text, format);
    return m_book->mergeText(row, column, row, column + span, text, format);
}

bool VerificationReportExcel::WriteDataRow(const QString &text, const QVector<double> &values)
{
    const XlsxWorkbook::Format cell = format(12, true, XlsxFormat::Left, m_row % 5 == 4);
    bool written = m_book->writeText(m_row, 1, text, cell);
    for (int j = 0; j < values.size() && written; ++j)
        written = m_book->writeText(m_row, j + 2, m_data.figure(values.at(j)), cell);
    ++m_row;
    return written;
}

bool VerificationReportExcel::WriteTextRow(const QStringList &texts)
{
    const XlsxWorkbook::Format cell = format(12, true, XlsxFormat::Left, m_row % 5 == 4);
    bool written = true;
    for (int j = 0; j < texts.size() && written; ++j)
        written = m_book->writeText(m_row, j + 1, texts.at(j), cell);
    ++m_row;
    return written;
}

bool VerificationReportExcel::WriteHeading(const QString &text)
{
    m_book->setRowHeight(m_row, 20);
    WriteMerged(text, format(14, false), m_row, 1, 9);
    ++m_row;
    return true;
}

bool VerificationReportExcel::WriteTitle(const QString &title, int width)
{
    m_book->setRowHeight(m_row, 28);
    WriteMerged(title, format(16, true, XlsxFormat::Center), m_row, 1, qMax(width, 8) - 1);
    ++m_row;
    return true;
}

bool VerificationReportExcel::AddSheet(const QString &name, const QString &title, int width)
{
    if (!m_book->addSheet(name))
        return false;
    m_row = 1;
    return WriteTitle(title, width);
}

bool VerificationReportExcel::WriteCover()
{
    if (!ready() || !m_book->addSheet(tr("首页")))
        return false;
    m_row = 1;
    WriteCoverTitle();
    const XlsxWorkbook::Format plain = format(12, false);
    WriteMerged(tr("项目名称:"), plain, m_row, 1, 0);
    WriteMerged(m_data.project().Name, plain, m_row, 2, 2);
    WriteMerged(tr("项目时间:"), plain, m_row + 1, 1, 0);
    WriteMerged(m_data.project().CreateTime, plain, m_row + 1, 2, 2);
    m_row += 3;
    if (!WriteDeviceList())
        return false;
    WriteHeading(tr("报告概述:"));
    const QStringList &sections = m_data.sections();
    for (int k = 0; k < 5; ++k) {
        if (k < sections.size())
            WriteMerged(QString::number(k + 1) + QLatin1Char('.') + sections.at(k), plain, m_row, 2 * k + 1, 1);
        if (k + 5 < sections.size())
            WriteMerged(QString::number(k + 6) + QLatin1Char('.') + sections.at(k + 5), plain, m_row + 1, 2 * k + 1, 1);
    }
    m_row += sections.size() > 5 ? 3 : 2;
    return ready();
}

bool VerificationReportExcel::WriteCoverTitle()
{
    m_book->setColumnWidth(1, 10, 12);
    m_book->setRowHeight(1, 28);
    WriteMerged(tr("采集报告"), format(16, false, XlsxFormat::Center), 1, 1, 9);
    m_book->insertImage(1, 1, m_logo);
    const XlsxWorkbook::Format line = format(12, false);
    WriteMerged(QStringLiteral("QNRIX ") + m_data.version(), line, 2, 1, 1);
    WriteMerged(QString(), line, 2, 4, 2);
    WriteMerged(tr("打印时间："), line, 2, 8, 0);
    WriteMerged(m_printTime, line, 2, 9, 1);
    m_row = 4;
    return true;
}

bool VerificationReportExcel::WriteDeviceList()
{
    const XlsxWorkbook::Format cell = format(12, false, XlsxFormat::Center);
    WriteHeading(tr("设备列表:"));
    WriteMerged(tr("序号"), cell, m_row, 1, 0);
    WriteMerged(tr("设备型号"), cell, m_row, 2, 1);
    WriteMerged(tr("设备序列号"), cell, m_row, 4, 3);
    WriteMerged(tr("采集方式"), cell, m_row, 8, 1);
    WriteMerged(tr("通道个数"), cell, m_row, 10, 0);
    ++m_row;
    const Tool::Struct_Parameters &project = m_data.project();
    for (int i = 0; i < m_data.deviceCount(); ++i) {
        WriteMerged(QString::number(i + 1), cell, m_row, 1, 0);
        WriteMerged(project.Model.at(i), cell, m_row, 2, 1);
        WriteMerged(project.Serial.value(i), cell, m_row, 4, 3);
        WriteMerged(Tool::toDisplayText(project.SignalMode.value(i)), cell, m_row, 8, 1);
        WriteMerged(QString::number(m_data.deviceChannelCount(i)), cell, m_row, 10, 0);
        ++m_row;
    }
    ++m_row;
    return ready();
}

bool VerificationReportExcel::WriteChart(const QImage &chart)
{
    if (!ready())
        return false;
    WriteHeading(tr("趋势图:"));
    m_book->insertImage(m_row + 1, 1, chart.scaled(2500, 900, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    m_row += 23;
    return ready();
}

bool VerificationReportExcel::WriteAnalysis()
{
    if (!m_book)
        return false;
    const bool written = m_data.writeSections([this] { return WriteWorkData(); },
                                              [this](int group) { return WriteHorizontal(group); },
                                              [this](int group) { return WriteVertical(group); });
    return written && ready();
}

bool VerificationReportExcel::WriteWorkData()
{
    Struct_ReportRow row;
    for (int s = 0; s < m_data.segmentCount(); ++s) {
        if (!AddSheet(tr("工作数据表") + QString::number(s + 1), tr("工作数据表"), m_data.labels().size() + 1))
            return false;
        WriteColumnHeads(m_data.labels(), m_data.units());
        WriteBanner(s, true);
        for (int i = m_data.firstRow(s); m_data.segmentRowCount(s) > 0 && i <= m_data.lastRow(s); ++i) {
            m_data.row(i, row);
            if (!WriteDataRow(row.time, row.values))
                return false;
        }
        WriteBanner(s, false);
    }
    return ready();
}

bool VerificationReportExcel::WriteColumnHeads(const QStringList &labels, const QStringList &units)
{
    m_book->setColumnWidth(1, 1, 24);
    m_book->setColumnWidth(2, qMax(labels.size(), 7) + 1, 16);
    QStringList heads = {tr("时间")};
    for (int j = 0; j < labels.size(); ++j)
        heads.append(labels.at(j) + QLatin1Char('(') + units.value(j) + QLatin1Char(')'));
    WriteHeadRow(heads);
    return true;
}

void VerificationReportExcel::WriteHeadRow(const QStringList &heads)
{
    m_book->setRowHeight(m_row, 20);
    const XlsxWorkbook::Format head = format(14, true, XlsxFormat::Center);
    for (int j = 0; j < heads.size(); ++j)
        m_book->writeText(m_row, j + 1, heads.at(j), head);
    ++m_row;
}

bool VerificationReportExcel::WriteBanner(int segment, bool start)
{
    const XlsxWorkbook::Format cell = format(12, true);
    if (!start) {
        WriteMerged(m_data.remark(segment) + tr("    结束"), cell, m_row, 1, 1);
        m_row += 2;
        return ready();
    }
    WriteMerged(m_data.remark(segment) + tr("    开始"), cell, m_row, 1, 1);
    WriteMerged(tr("开始时间："), cell, m_row, 3, 0);
    WriteMerged(m_data.startText(segment), cell, m_row, 4, 1);
    WriteMerged(tr("结束时间："), cell, m_row, 6, 0);
    WriteMerged(m_data.endText(segment), cell, m_row, 7, 1);
    ++m_row;
    return ready();
}

bool VerificationReportExcel::WriteVertical(int group)
{
    const QString title = m_data.groupTitle(group) + tr("竖向分析表");
    if (!AddSheet(ReportData::sheetName(title), title, 8))
        return false;
    const QString &quantity = m_data.quantity(group);
    const QStringList &labels = m_data.groupLabels(group);
    for (int s = 0; s < m_data.segmentCount() && ready(); ++s) {
        // A segment without rows or a group without channels shows its banners and header only.
        const bool figures = m_data.segmentRowCount(s) > 0 && !labels.isEmpty();
        const QVector<ChannelStatistics> channels = ReportStatistics::segment(m_data, group, s);
        WriteBanner(s, true);
        if (figures)
            WriteSummary(quantity, ReportStatistics::summary(m_data, group, channels));
        WriteVerticalHeader(quantity);
        for (int k = 0; figures && k < labels.size(); ++k)
            WriteDataRow(labels.at(k), channels.at(k).figures());
        WriteBanner(s, false);
    }
    return ready();
}

bool VerificationReportExcel::WriteSummary(const QString &quantity, const QStringList &texts)
{
    const XlsxWorkbook::Format cell = format(14, true, XlsxFormat::Center);
    const QStringList labels = ReportStatistics::summaryLabels(m_data, quantity);
    for (int i = 0; i < 5; ++i) {
        m_book->setRowHeight(m_row, 20);
        WriteMerged(labels.at(i), cell, m_row, 1, 1);
        WriteMerged(texts.value(i), cell, m_row, 3, 1);
        WriteMerged(labels.at(i + 5), cell, m_row, 5, 1);
        WriteMerged(texts.value(i + 5), cell, m_row, 7, 1);
        ++m_row;
    }
    ++m_row;
    return true;
}

bool VerificationReportExcel::WriteVerticalHeader(const QString &quantity)
{
    m_book->setColumnWidth(1, 8, 17);
    WriteHeadRow(ReportStatistics::verticalHeads(m_data, quantity));
    return true;
}

bool VerificationReportExcel::WriteHorizontal(int group)
{
    const QString title = m_data.groupTitle(group) + tr("横向分析表");
    if (!AddSheet(ReportData::sheetName(title), title, 10))
        return false;
    WriteHorizontalHeader(m_data.quantity(group));
    for (int s = 0; s < m_data.segmentCount() && ready(); ++s) {
        WriteBanner(s, true);
        const bool rows = m_data.segmentRowCount(s) > 0 && m_data.groupSize(group) > 0;
        for (int i = m_data.firstRow(s); rows && i <= m_data.lastRow(s); ++i) {
            if (!RowStatistics(group, i))
                return false;
        }
        WriteBanner(s, false);
    }
    return ready();
}

bool VerificationReportExcel::WriteHorizontalHeader(const QString &quantity)
{
    m_book->setColumnWidth(1, 1, 24);
    m_book->setColumnWidth(2, 10, 17);
    WriteHeadRow(ReportStatistics::horizontalHeads(m_data, quantity));
    return true;
}

bool VerificationReportExcel::RowStatistics(int group, int index)
{
    return WriteTextRow(ReportStatistics::row(m_data, group, index));
}

bool VerificationReportExcel::Save()
{
    if (!m_book)
        return false;
    if (ready() && !m_book->sheetNames().isEmpty())
        m_book->selectSheet(m_book->sheetNames().first());
    const bool saved = m_book->save();
    m_fileError = m_book->fileError();
    m_book.reset();
    return saved;
}

QString VerificationReportExcel::fileError() const
{
    return m_book ? m_book->fileError() : m_fileError;
}
