#include "reports/XlsxWorkbook.h"

#include <xlsxwriter.h>

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::atomic<int> s_rowLimit{LXW_ROW_MAX};

// Replaces the target by the finished file in one step (QFile::rename refuses an existing target).
bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// The reason of the last failed system call.
QString systemReason()
{
#ifdef Q_OS_WIN
    return qt_error_string(int(GetLastError()));
#else
    return QString::fromLocal8Bit(std::strerror(errno));
#endif
}

// The sheets' row files of a constant-memory workbook. When writing the file fails, the library
// frees the workbook without closing those still open, and their space on the disk stays taken
// until the process ends; they are found again by descriptor and file identity and closed.
class RowFiles
{
public:
    explicit RowFiles(const std::vector<lxw_worksheet *> &sheets)
    {
#ifndef Q_OS_WIN
        for (lxw_worksheet *sheet : sheets) {
            struct stat status;
            if (sheet->optimize_tmpfile && fstat(fileno(sheet->optimize_tmpfile), &status) == 0)
                m_files.push_back({fileno(sheet->optimize_tmpfile), status.st_dev, status.st_ino});
        }
#else
        Q_UNUSED(sheets)
#endif
    }

    void closeLeftOpen() const
    {
#ifndef Q_OS_WIN
        for (const File &file : m_files) {
            struct stat status;
            if (fstat(file.descriptor, &status) == 0 && status.st_dev == file.device && status.st_ino == file.inode)
                ::close(file.descriptor);
        }
#endif
    }

private:
#ifndef Q_OS_WIN
    struct File
    {
        int descriptor;
        dev_t device;
        ino_t inode;
    };
    std::vector<File> m_files;
#endif
};

} // namespace

bool XlsxFormat::operator==(const XlsxFormat &other) const
{
    return fontName == other.fontName && fontSize == other.fontSize && align == other.align
           && border == other.border && fill == other.fill && numberFormat == other.numberFormat;
}

XlsxWorkbook::XlsxWorkbook(const QString &path, bool constantMemory) : m_path(path)
{
    const QFileInfo target(path);
    m_temp = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.")
                                              + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!m_temp->open()) {
        failFile(QStringLiteral("cannot create a file in %1").arg(target.absolutePath()), m_temp->errorString());
        return;
    }
    m_temp->close();
    m_tmpDir = QFile::encodeName(target.absolutePath());
    lxw_workbook_options lxwOptions = {};
    lxwOptions.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxwOptions.tmpdir = m_tmpDir.data();
    m_book = workbook_new_opt(QFile::encodeName(m_temp->fileName()).constData(), &lxwOptions);
    if (!m_book)
        fail(QStringLiteral("the workbook could not be created"));
}

XlsxWorkbook::~XlsxWorkbook()
{
    discard();
}

bool XlsxWorkbook::fail(const QString &what)
{
    if (m_error.isEmpty()) {
        m_error = what;
        qWarning().noquote() << "Workbook" << m_path << "failed:" << what;
    }
    return false;
}

bool XlsxWorkbook::failFile(const QString &what, const QString &reason)
{
    if (m_error.isEmpty())
        m_fileError = QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason;
    return fail(what + QStringLiteral(": ") + reason);
}

bool XlsxWorkbook::check(int error, const char *what)
{
    // Read first: a failed file operation of the library leaves the system's reason in errno.
    const int systemError = errno;
    if (error == LXW_NO_ERROR)
        return true;
    const QString library = QLatin1String(lxw_strerror(lxw_error(error)));
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        if (systemError != 0)
            return failFile(QStringLiteral("%1 (%2)").arg(QLatin1String(what), library), QString::fromLocal8Bit(std::strerror(systemError)));
        return failFile(QLatin1String(what), library);
    default:
        return fail(QStringLiteral("%1: %2").arg(QLatin1String(what), library));
    }
}

bool XlsxWorkbook::cellInRange(int row, int column)
{
    if (!m_book || !m_sheet)
        return fail(QStringLiteral("no sheet to write to"));
    if (row < 1 || row > rowLimit())
        return fail(QStringLiteral("row %1 lies outside the sheet (at most %2 rows)").arg(row).arg(rowLimit()));
    if (column < 1 || column > LXW_COL_MAX)
        return fail(QStringLiteral("column %1 lies outside the sheet").arg(column));
    return true;
}

XlsxWorkbook::Format XlsxWorkbook::format(const XlsxFormat &look)
{
    for (const auto &known : qAsConst(m_formats)) {
        if (known.first == look)
            return known.second;
    }
    if (!m_book)
        return nullptr;
    lxw_format *made = workbook_add_format(m_book);
    if (!made) {
        fail(QStringLiteral("no format could be added"));
        return nullptr;
    }
    format_set_font_name(made, look.fontName.toUtf8().constData());
    format_set_font_size(made, look.fontSize);
    format_set_align(made, look.align == XlsxFormat::Center ? LXW_ALIGN_CENTER : LXW_ALIGN_LEFT);
    format_set_align(made, LXW_ALIGN_VERTICAL_CENTER);
    if (look.border)
        format_set_border(made, LXW_BORDER_THIN);
    if (look.fill.isValid()) {
        format_set_pattern(made, LXW_PATTERN_SOLID);
        format_set_bg_color(made, look.fill.rgb() & 0xFFFFFF);
    }
    if (!look.numberFormat.isEmpty())
        format_set_num_format(made, look.numberFormat.toUtf8().constData());
    m_formats.append(qMakePair(look, made));
    return made;
}

bool XlsxWorkbook::addSheet(const QString &name)
{
    if (!m_book)
        return fail(QStringLiteral("no workbook"));
    const QByteArray utf8 = name.toUtf8();
    const lxw_error refused = workbook_validate_sheet_name(m_book, utf8.constData());
    if (refused != LXW_NO_ERROR)
        return fail(QStringLiteral("sheet \"%1\" refused: %2").arg(name, QLatin1String(lxw_strerror(refused))));
    lxw_worksheet *sheet = workbook_add_worksheet(m_book, utf8.constData());
    if (!sheet)
        return fail(QStringLiteral("sheet \"%1\" refused").arg(name));
    m_sheet = sheet;
    m_sheets.push_back(sheet);
    m_sheetNames.append(name);
    return true;
}

bool XlsxWorkbook::selectSheet(const QString &name)
{
    const int index = m_sheetNames.indexOf(name);
    if (index < 0)
        return fail(QStringLiteral("no sheet \"%1\"").arg(name));
    m_sheet = m_sheets[size_t(index)];
    worksheet_activate(m_sheet);
    return true;
}

bool XlsxWorkbook::writeText(int row, int column, const QString &text, Format format)
{
    return writeText(row, column, text.toUtf8().constData(), format);
}

bool XlsxWorkbook::writeText(int row, int column, const char *utf8, Format format)
{
    if (!cellInRange(row, column))
        return false;
    return check(worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), utf8, format),
                 "text cell");
}

bool XlsxWorkbook::writeNumber(int row, int column, double value, Format format)
{
    if (!cellInRange(row, column))
        return false;
    if (!std::isfinite(value))
        return check(worksheet_write_blank(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), format), "blank cell");
    return check(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format),
                 "number cell");
}

bool XlsxWorkbook::mergeText(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString &text,
                             Format format)
{
    if (!cellInRange(firstRow, firstColumn) || !cellInRange(lastRow, lastColumn))
        return false;
    return check(worksheet_merge_range(m_sheet, lxw_row_t(firstRow - 1), lxw_col_t(firstColumn - 1),
                                       lxw_row_t(lastRow - 1), lxw_col_t(lastColumn - 1),
                                       text.toUtf8().constData(), format),
                 "merged range");
}

bool XlsxWorkbook::setColumnWidth(int firstColumn, int lastColumn, double width)
{
    if (!cellInRange(1, firstColumn) || !cellInRange(1, lastColumn))
        return false;
    return check(worksheet_set_column(m_sheet, lxw_col_t(firstColumn - 1), lxw_col_t(lastColumn - 1), width, nullptr),
                 "column width");
}

bool XlsxWorkbook::setRowHeight(int row, double height)
{
    if (!cellInRange(row, 1))
        return false;
    return check(worksheet_set_row(m_sheet, lxw_row_t(row - 1), height, nullptr), "row height");
}

bool XlsxWorkbook::insertImage(int row, int column, const QImage &image)
{
    if (!cellInRange(row, column))
        return false;
    // The library sizes a picture by the resolution stored in the PNG: 96 dpi keeps pixels as pixels.
    QImage picture(image);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    QByteArray png;
    QBuffer buffer(&png);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        return fail(QStringLiteral("the picture could not be encoded"));
    return check(worksheet_insert_image_buffer(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                               reinterpret_cast<const unsigned char *>(png.constData()),
                                               size_t(png.size())),
                 "picture");
}

bool XlsxWorkbook::save()
{
    if (!m_book || !ok()) {
        discard();
        return false;
    }
    lxw_workbook *book = m_book;
    const RowFiles rowFiles(m_sheets);
    m_book = nullptr;
    m_sheets.clear();
    m_sheet = nullptr;
    errno = 0;
    if (!check(workbook_close(book), "writing the file")) {
        rowFiles.closeLeftOpen();
        m_temp.reset();
        return false;
    }
    const QString temp = m_temp->fileName();
    const QFileDevice::Permissions permissions = QFileInfo::exists(m_path)
        ? QFile::permissions(m_path)
        : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser
              | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(temp, permissions);
    errno = 0;
    if (!replaceFile(temp, m_path)) {
        failFile(QStringLiteral("the file could not replace %1").arg(m_path), systemReason());
        m_temp.reset();
        return false;
    }
    m_temp->setAutoRemove(false);
    m_temp.reset();
    return true;
}

void XlsxWorkbook::discard()
{
    if (m_book) {
        // Freeing the workbook writes nothing but leaves the sheets' row files open; close them
        // first so their space is given back at once.
        for (lxw_worksheet *sheet : m_sheets) {
            if (sheet->optimize_tmpfile) {
                std::fclose(sheet->optimize_tmpfile);
                sheet->optimize_tmpfile = nullptr;
            }
        }
        lxw_workbook_free(m_book);
        m_book = nullptr;
    }
    m_sheets.clear();
    m_sheet = nullptr;
    m_temp.reset(); // removes the temporary file
}

int XlsxWorkbook::rowLimit()
{
    return s_rowLimit.load();
}

void XlsxWorkbook::setRowLimit(int rows)
{
    s_rowLimit.store(qBound(1, rows, int(LXW_ROW_MAX)));
}
