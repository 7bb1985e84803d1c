#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QImage;
class QTemporaryFile;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// How a cell looks. Vertical alignment is always centred.
struct XlsxFormat
{
    enum Align { Left, Center };

    QString fontName = QStringLiteral("宋体");
    double fontSize = 12.0;
    Align align = Left;
    bool border = false;   // thin on all four sides
    QColor fill;           // solid background; invalid for none
    QString numberFormat;  // empty for the general format

    bool operator==(const XlsxFormat &other) const;
};

// One workbook written with libxlsxwriter. Rows and columns count from 1, as a spreadsheet shows
// them. Every call returns whether it succeeded; the first failure is remembered (ok(), errorString())
// and save() then refuses, so a workbook with a refused cell, merge or picture is never kept.
//
// The workbook is written to a temporary file beside the target and renamed over it by save(), so
// an existing file at the path stays untouched until the new one is complete; a workbook that is not
// saved leaves nothing behind. In constant-memory mode (the default) rows must be written in order
// on each sheet; the library keeps its own temporary files in the target's folder.
class XlsxWorkbook
{
public:
    using Format = lxw_format *;

    // Constant-memory mode keeps only the current row of a sheet in memory.
    explicit XlsxWorkbook(const QString &path, bool constantMemory = true);
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    // When the file could not be made, written or put in place: the path and the system's reason
    // ("/data/report.xls: No space left on device"); empty otherwise.
    QString fileError() const { return m_fileError; }

    // The format object for a look, made once per workbook and then reused.
    Format format(const XlsxFormat &look);

    // A new sheet becomes the current one; false for a name the workbook refuses.
    bool addSheet(const QString &name);
    // Makes a sheet current and the one the workbook opens on.
    bool selectSheet(const QString &name);
    QStringList sheetNames() const { return m_sheetNames; }

    bool writeText(int row, int column, const QString &text, Format format);
    bool writeText(int row, int column, const char *utf8, Format format);
    // A value that is not a finite number leaves the cell empty (with its format).
    bool writeNumber(int row, int column, double value, Format format);
    bool mergeText(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString &text,
                   Format format);
    bool setColumnWidth(int firstColumn, int lastColumn, double width);
    bool setRowHeight(int row, double height);
    // The picture's top-left corner lies in the cell; one image pixel is one screen pixel.
    bool insertImage(int row, int column, const QImage &image);

    // Writes the file and renames it over the path; false (and nothing at the path changed)
    // when any call before failed or the write fails. Ends the workbook either way.
    bool save();

    // The last row a sheet may use: the format's 1,048,576, lowered by tests.
    static int rowLimit();
    static void setRowLimit(int rows);

private:
    bool fail(const QString &what);
    // A failure of the file itself, with the system's reason.
    bool failFile(const QString &what, const QString &reason);
    bool check(int error, const char *what);
    bool cellInRange(int row, int column);
    void discard();

    QString m_path;
    std::unique_ptr<QTemporaryFile> m_temp;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    std::vector<lxw_worksheet *> m_sheets;
    QStringList m_sheetNames;
    QList<QPair<XlsxFormat, Format>> m_formats;
    QByteArray m_tmpDir;
    QString m_error;
    QString m_fileError;
};
