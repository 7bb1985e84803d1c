#include "calibration/CoefficientIni.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextCodec>

namespace CoefficientIni {

namespace {

const QString kGroup = QStringLiteral("Standardizer");

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

} // namespace

QString iniFileName(const QString &path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".ini") : path;
}

namespace {

// Logs and hands out why the file is not written; false, for write to return.
bool refuse(QString *reason, const QString &fileName, const QString &text)
{
    qWarning().noquote() << "coefficient file" << fileName << "not written:" << text;
    if (reason)
        *reason = text;
    return false;
}

QString unreadable(const QString &error)
{
    return QCoreApplication::translate("CoefficientIni", "无法读取已有的文件：%1").arg(error);
}

// Whether INI text (without a byte-order mark) parses without a format error. QSettings reads
// only files, and takes a leading byte-order mark for a format error although it reads the keys
// behind it, so the text is parsed from a temporary copy without the mark.
bool parsesAsIni(const QByteArray &text, QString &problem)
{
    QTemporaryFile copy;
    if (!copy.open() || copy.write(text) != text.size() || !copy.flush()) {
        problem = unreadable(copy.errorString());
        return false;
    }
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.allKeys(); // groups are parsed when their keys are first asked for
    if (settings.status() != QSettings::NoError) {
        problem = QCoreApplication::translate("CoefficientIni", "已有的文件不是有效的INI文件。");
        return false;
    }
    return true;
}

// An existing file is written over only when it is empty or UTF-8 INI text: rewriting anything
// else through the INI reader would garble it. problem receives the reason otherwise.
bool acceptsExisting(const QString &fileName, QString &problem)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QFile file(fileName);
    QByteArray text;
    if (file.open(QIODevice::ReadOnly))
        text = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        problem = unreadable(file.errorString());
        return false;
    }
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
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
    return parsesAsIni(text, problem);
}

QStringList entriesOf(const Column &column, const QList<Tool::Struct_CalibrationData> &records)
{
    QStringList entries;
    for (const Record &record : records)
        entries.append(column.field ? record.*column.field : QString::fromLatin1(column.constant));
    return entries;
}

QString keyOf(const Column &column)
{
    return kGroup + QLatin1Char('/') + QLatin1String(column.key);
}

} // namespace

bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path, QString *reason)
{
    if (reason)
        reason->clear();
    if (records.isEmpty() || path.isEmpty())
        return false;
    const QString fileName = iniFileName(path);
    QString problem;
    if (!acceptsExisting(fileName, problem))
        return refuse(reason, fileName, problem);
    {
        QSettings settings(fileName, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        const QStringList existing = settings.allKeys();
        for (const Column &column : kColumns) {
            const QString key = keyOf(column);
            for (const QString &other : existing)
                if (other != key && sameKey(other, key))
                    settings.remove(other);
            settings.setValue(key, entriesOf(column, records));
        }
        settings.sync();
    }
    // The status of the writing object keeps a format error of its reading (a byte-order mark)
    // and then hides a failed write: the file read back tells what was written.
    QSettings written(fileName, QSettings::IniFormat);
    written.setIniCodec("UTF-8");
    bool same = written.status() == QSettings::NoError;
    for (const Column &column : kColumns)
        same = same && written.value(keyOf(column)).toStringList() == entriesOf(column, records);
    if (!same)
        return refuse(reason, fileName, QCoreApplication::translate("CoefficientIni", "文件写入失败。"));
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
