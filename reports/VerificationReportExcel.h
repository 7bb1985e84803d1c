#pragma once

#include "reports/ReportData.h"
#include "reports/XlsxWorkbook.h"

#include <QImage>
#include <QObject>

#include <memory>

// Writes one verification report workbook: the cover sheet "首页" (title, project, device list,
// report summary, trend chart), one work-data sheet per time segment and the analysis sheets of
// the chosen sections. Lives in the export worker's thread; the caller runs, in this order,
// SetData, WriteCover, WriteChart, WriteAnalysis and Save, and stops at the first false result.
// Nothing reaches the path unless Save succeeds; an earlier file there stays untouched otherwise.
class VerificationReportExcel : public QObject
{
    Q_OBJECT

public:
    explicit VerificationReportExcel(const QString &path, QObject *parent = nullptr);
    ~VerificationReportExcel() override;

    // See ReportData::SetData.
    void SetData(int precision, const QList<bool> &include, const Tool::Struct_Parameters &project,
                 ProjectRows rows, const QList<bool> &shown, const QList<QDateTime> &starts,
                 const QList<QDateTime> &ends, const QStringList &remarks, const QString &version);
    bool WriteCover();
    bool WriteChart(const QImage &chart);
    // Every chosen section; true only when all of them were written completely.
    bool WriteAnalysis();
    // Writes the file; false when anything before failed or the file cannot be written.
    bool Save();
    // When the file could not be made, written or put in place: the path and the system's
    // reason; empty otherwise.
    QString fileError() const;

private:
    XlsxWorkbook::Format format(double fontSize, bool border, XlsxFormat::Align align = XlsxFormat::Left,
                                bool stripe = false);
    bool WriteMerged(const QString &text, XlsxWorkbook::Format format, int row, int column, int span);
    bool WriteDataRow(const QString &text, const QVector<double> &values);
    bool WriteTextRow(const QStringList &texts);
    bool WriteHeading(const QString &text);
    bool WriteTitle(const QString &title, int width);
    // A new sheet with its title row.
    bool AddSheet(const QString &name, const QString &title, int width);
    bool WriteCoverTitle();
    bool WriteDeviceList();
    bool WriteWorkData();
    bool WriteColumnHeads(const QStringList &labels, const QStringList &units);
    // A table's head row: height 20, 14 point, centred.
    void WriteHeadRow(const QStringList &heads);
    bool WriteBanner(int segment, bool start);
    bool WriteHorizontal(int group);
    bool WriteVertical(int group);
    bool WriteSummary(const QString &quantity, const QStringList &texts);
    bool WriteVerticalHeader(const QString &quantity);
    bool WriteHorizontalHeader(const QString &quantity);
    bool RowStatistics(int group, int index);
    bool ready() const { return m_book && m_book->ok(); }

    QString m_path;
    std::unique_ptr<XlsxWorkbook> m_book;
    QString m_fileError; // the ended workbook's
    ReportData m_data;
    int m_row = 1;
    QImage m_logo;
    QString m_printTime;
};
