#include "calibration/CoefficientIni.h"

#include "calibration/IniText.h"
#include "common/WithReason.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextCodec>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace CoefficientIni {

namespace {

const QString kGroup = QStringLiteral("Standardizer");
const QByteArray kByteOrderMark("\xEF\xBB\xBF");
// An existing file larger than this is no coefficient file; it is not read into memory.
const int kMaxFileMegabytes = 16;
const qint64 kMaxFileBytes = qint64(kMaxFileMegabytes) * 1024 * 1024;

// "/a//b/" → "a/b", as QSettings spells its keys.
QString normalizedKey(const QString &key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

bool sameKey(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

using Record = Tool::Struct_CalibrationData;

// One key of the file: its entries are a field of each record, or a constant text.
struct Column {
    const char *key;
    QString Record::*field;
    const char *constant;
};

const Column kColumns[] = {
    {"A_C0", &Record::A, nullptr},   {"B_C1", &Record::B, nullptr},
    {"C_C2", &Record::C, nullptr},   {"D_C3", &Record::D, nullptr},
    {"R0_C4", &Record::R0, nullptr}, {"A4_C5", &Record::A4, nullptr},
    {"B4_C6", &Record::B4, nullptr}, {"Mx_B_M", nullptr, "1"},
    {"Mx_B_B", nullptr, "0"},        {"Name", &Record::Name, nullptr},
};

// ---- Texts --------------------------------------------------------------------------------

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString unreadable(const QString &error)
{
    return QCoreApplication::translate("CoefficientIni", "无法读取已有的文件：%1").arg(error);
}

QString notWritten()
{
    return QCoreApplication::translate("CoefficientIni", "文件写入失败。");
}

QString notIni()
{
    return QCoreApplication::translate("CoefficientIni", "已有的文件不是有效的INI文件。");
}

// kind: what is at the path instead of a file, already translated.
QString notRegular(const QString &fileName, const QString &kind)
{
    return QCoreApplication::translate("CoefficientIni", "%1 不是普通文件（%2），未做任何更改。")
        .arg(shownName(fileName), kind);
}

#ifndef Q_OS_WIN
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QCoreApplication::translate("CoefficientIni", "文件夹");
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("CoefficientIni", "命名管道");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("CoefficientIni", "设备");
    return QCoreApplication::translate("CoefficientIni", "特殊文件");
}
#endif

// Logs and hands out why the file is not written; false, for write to return.
bool refuse(QString *reason, const QString &fileName, const QString &text)
{
    qWarning().noquote() << "coefficient file" << fileName << "not written:" << text;
    if (reason)
        *reason = text;
    return false;
}

QStringList entriesOf(const Column &column, const QList<Tool::Struct_CalibrationData> &records)
{
    QStringList entries;
    for (const Record &record : records)
        entries.append(column.field ? record.*column.field : QString::fromLatin1(column.constant));
    return entries;
}

// ---- The file ----------------------------------------------------------------------------------

struct Existing {
    QByteArray bytes;
    bool linked = false; // the file has more than one name (hard links)
};

// Reads the file at fileName when there is one. False, with the reason in problem, when
// something else is there (a folder, a FIFO, a device: left as it is, and never opened in a way
// that could wait), it cannot be read or it is too large.
bool readExisting(const QString &fileName, Existing &existing, QString &problem)
{
    QFile file;
#ifndef Q_OS_WIN
    const QByteArray name = QFile::encodeName(fileName);
    struct stat status;
    if (::stat(name.constData(), &status) != 0) {
        if (errno == ENOENT)
            return true;
        problem = withReason(notWritten(), shownName(fileName) + QStringLiteral(": ") + systemReason(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        problem = notRegular(fileName, kindOf(status.st_mode));
        return false;
    }
    // Without waiting: a FIFO put in the file's place since is refused below, not waited on.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem = unreadable(shownName(fileName) + QStringLiteral(": ") + systemReason(errno));
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        problem = unreadable(shownName(fileName) + QStringLiteral(": ") + file.errorString());
        return false;
    }
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = notRegular(fileName, kindOf(status.st_mode));
        return false;
    }
    existing.linked = status.st_nlink > 1;
#else
    const QFileInfo info(fileName);
    if (!info.exists())
        return true;
    if (!info.isFile()) {
        const char *kind = info.isDir() ? QT_TRANSLATE_NOOP("CoefficientIni", "文件夹")
                                        : QT_TRANSLATE_NOOP("CoefficientIni", "特殊文件");
        problem = notRegular(fileName, QCoreApplication::translate("CoefficientIni", kind));
        return false;
    }
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = unreadable(shownName(fileName) + QStringLiteral(": ") + file.errorString());
        return false;
    }
#endif
    // One byte beyond the limit tells a file of exactly the limit from a larger one.
    existing.bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = unreadable(shownName(fileName) + QStringLiteral(": ") + file.errorString());
        return false;
    }
    if (existing.bytes.size() > kMaxFileBytes) {
        problem = QCoreApplication::translate("CoefficientIni", "已有的文件过大（超过 %1 MB），未做任何更改。")
                      .arg(kMaxFileMegabytes);
        return false;
    }
    return true;
}

// False when the text is not empty or UTF-8 text (a leading byte-order mark allowed) without NUL
// bytes: keys written into anything else would garble it. problem receives the reason.
bool isUtf8Text(const QByteArray &bytes, QString &problem)
{
    const QByteArray text = bytes.startsWith(kByteOrderMark) ? bytes.mid(kByteOrderMark.size()) : bytes;
    if (text.contains('\0')) {
        problem = QCoreApplication::translate("CoefficientIni", "已有的文件含有NUL字节，不是文本文件。");
        return false;
    }
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        problem = QCoreApplication::translate("CoefficientIni", "已有的文件不是UTF-8文本。");
        return false;
    }
    return true;
}

#ifndef Q_OS_WIN
bool writeAll(int descriptor, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(descriptor, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

// Rewrites the file where it stands, so that each of its names sees the new text. Nothing changes
// before the space for the new text is reserved, so a full disk or quota stops it there; the text
// then goes in with one write, and should that still fail, the old text is put back.
bool rewriteInPlace(const QString &fileName, const QByteArray &before, const QByteArray &after, QString &problem)
{
    const int descriptor = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem = systemReason(errno);
        return false;
    }
    int error = 0;
    struct stat status;
    if (::fstat(descriptor, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        problem = notRegular(fileName, kindOf(status.st_mode));
        ::close(descriptor);
        return false;
    }
#ifdef Q_OS_LINUX
    if (error == 0 && ::fallocate(descriptor, FALLOC_FL_KEEP_SIZE, 0, off_t(after.size())) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        error = errno;
#endif
    if (error == 0 && !writeAll(descriptor, after)) {
        error = errno;
        if (writeAll(descriptor, before))
            (void)::ftruncate(descriptor, off_t(before.size()));
    }
    if (error == 0 && (::ftruncate(descriptor, off_t(after.size())) != 0 || ::fsync(descriptor) != 0))
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error != 0)
        problem = systemReason(error);
    return error == 0;
}
#endif

// Replaces the file by the text. A file of one name is replaced in one step by a complete new
// file (a crash leaves the old or the new file, never a mix); a file of several names (hard
// links) is rewritten where it stands, as only that keeps every name on the new text.
bool replace(const QString &fileName, const Existing &existing, const QByteArray &text, QString &problem)
{
#ifndef Q_OS_WIN
    if (existing.linked)
        return rewriteInPlace(fileName, existing.bytes, text, problem);
#else
    Q_UNUSED(existing)
#endif
    // Unbuffered and synced here: QSaveFile's commit takes a failed flush or sync (a full disk)
    // for success and puts an empty or cut file in place of the old one.
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text) == text.size();
#ifndef Q_OS_WIN
    if (written && ::fsync(file.handle()) != 0) {
        problem = systemReason(errno);
        return false;
    }
#endif
    written = written && file.commit();
    if (!written)
        problem = file.errorString();
    return written;
}

} // namespace

QString iniFileName(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".ini") : path;
}

bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path, QString *reason)
{
    if (reason)
        reason->clear();
    if (records.isEmpty() || path.isEmpty())
        return false;
    const QString fileName = iniFileName(path);
    Existing existing;
    QString problem;
    if (!readExisting(fileName, existing, problem) || !isUtf8Text(existing.bytes, problem))
        return refuse(reason, fileName, problem);
    const IniText before(existing.bytes);
    if (!before.isValid())
        return refuse(reason, fileName, notIni());
    QVector<IniText::Key> keys;
    for (const Column &column : kColumns)
        keys.append({QString::fromLatin1(column.key), entriesOf(column, records)});
    const QByteArray text = before.withKeys(kGroup, keys);
    if (!IniText(text).holds(kGroup, keys))
        return refuse(reason, fileName, notIni());
    if (!replace(fileName, existing, text, problem))
        return refuse(reason, fileName, withReason(notWritten(), shownName(fileName) + QStringLiteral(": ") + problem));
    return true;
}

QVariant value(const QSettings &settings, const QString &key)
{
    const QString wanted = normalizedKey(key);
    if (settings.contains(wanted))
        return settings.value(wanted);
    const QStringList keys = settings.allKeys();
    for (const QString &candidate : keys)
        if (sameKey(candidate, wanted))
            return settings.value(candidate);
    return QVariant();
}

} // namespace CoefficientIni
