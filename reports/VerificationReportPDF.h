#pragma once

#include "reports/ReportData.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSaveFile>

#include <functional>
#include <memory>

class QPainter;
class QPdfWriter;

// Writes one verification report as a PDF document, A4 landscape at 300 dpi: the cover page, the
// work-data pages, the analysis pages of the chosen sections and the trend-chart page, each with
// the same header and a footer "第n页,共N页". Lives in the export worker's thread; the caller runs
// SetData, WriteCover, WriteAnalysis and WriteChart (stopping at the first false result) and
// always EndDocument, whose result is the export's: the document reaches the path only when every
// page was drawn and written, and an earlier file there stays untouched otherwise.
class VerificationReportPDF : public QObject
{
    Q_OBJECT

public:
    explicit VerificationReportPDF(const QString &path, QObject *parent = nullptr);
    ~VerificationReportPDF() override;

    // See ReportData::SetData; also fixes the page total.
    void SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                 ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                 const QList<QDateTime> &ends, const QStringList &remarks, const QString &version);
    bool WriteCover();
    // Every chosen section; true only when all of them were drawn completely.
    bool WriteAnalysis();
    bool WriteChart(const QImage &chart);
    // Ends the document: true when it is complete and now stands at the path.
    bool EndDocument();

    int pageTotal() const { return m_total; }
    // When the file could not be made or written: the path and the system's reason; empty otherwise.
    QString fileError() const { return m_fileError; }

private:
    int CountPages() const;
    bool NewPage();
    void DrawHeader();
    void DrawFooter();
    int WriteDeviceList();
    bool WriteSectionHead(const QString &title, int segment);
    void WriteColumnHeads(int first, int count);
    void WriteDataRow(int &counter, const Struct_ReportRow &row, int first, int count);
    bool WriteWorkData();
    bool WriteVertical(int group);
    void WriteSummary(const QString &quantity, const QStringList &texts);
    void WriteVerticalHeader(const QString &quantity, bool continuation);
    void WriteVerticalRow(int &counter, const QString &label, const QVector<double> &figures);
    bool WriteHorizontal(int group);
    void WriteHorizontalHeader(const QString &quantity);
    void RowStatistics(int &counter, int group, int index);
    void DrawBanner(int counter, const QString &text);
    // One segment's table: the start banner on the line before firstLine, one line per item
    // (line(counter, item) draws it and advances the counter), the end banner after the last.
    // Lines 0 to 24 fit a page; a full page goes on on a new one whose heads head() draws.
    bool DrawTable(int segment, int firstLine, int items, const std::function<bool()> &head,
                   const std::function<void(int &, int)> &line);
    int lineTop(int counter) const { return m_y0 + (counter + 1) * kLine; }
    void stripe(int counter);
    void cellText(int x, int y, int width, const QString &text);
    // A heading of a table line: broken at a word onto a second line rather than set small.
    void headText(int x, int y, int width, const QString &text);
    enum TextFit { OneLine, WrapAtWord };
    // Draws a text in its box with the painter's font, made smaller for this text where the font
    // actually used (a substitute where the named one is missing) would not fit the box: a text
    // is never cut. WrapAtWord: where it keeps the text larger, the text is broken at a word onto
    // two lines centred in the box. The painter's font is the same afterwards.
    void drawText(const QRect &box, int flags, const QString &text, TextFit fit = OneLine);
    // The two lines a text breaks into at a space, the wider one as narrow as can be; empty when
    // the text has no space between words.
    QStringList wordBreak(const QFont &font, const QString &text) const;
    // The largest size, at most the font's, at which every line fits room.
    qreal fittingSize(const QFont &font, const QStringList &lines, qreal room) const;
    // The largest size, at most the font's, for two lines in a box of that height.
    qreal twoLineSize(const QFont &font, int height) const;
    qreal advance(const QFont &font, const QString &text) const;
    bool fail(const QString &what);
    // A failure of the file itself; its reason is the system's error, or the file's error text
    // when none is given.
    bool failFile(const QString &what, int systemError = 0);
    bool usable() const { return m_usable && !m_failed; }

    static constexpr int kLine = 70;
    // Space kept free at a box's end, so that a text never touches the next column's.
    static constexpr int kTextGap = 8;
    // A heading broken onto two lines is never set smaller for the lines' height.
    static constexpr qreal kLeastTwoLinePoints = 7.0;

    class Sink;

    QSaveFile m_file;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_usable = false;
    bool m_failed = false;
    bool m_ended = false;
    QString m_fileError;
    int m_headTop = 200;
    int m_y0 = 400;
    int m_width = 0;
    int m_contentHeight = 0;
    int m_viewWidth = 0;
    int m_viewHeight = 0;
    const int m_timeWidth = 480;
    QImage m_logo;
    QString m_printTime;
    int m_total = 0;
    int m_page = 0;
    ReportData m_data;
    QFont m_font10, m_font12, m_font14, m_font16;
    // Metrics of the font last measured, on the PDF.
    QFont m_metricsFont;
    std::unique_ptr<QFontMetricsF> m_metrics;
    QHash<ushort, qreal> m_advances; // of single characters in that font
};
