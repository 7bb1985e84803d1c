#include "calibration/CoefficientIni.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QSaveFile>
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

QString notWritten()
{
    return QCoreApplication::translate("CoefficientIni", "文件写入失败。");
}

// The text of the file at fileName, without a leading byte-order mark; empty when there is no
// file. False when it is not empty or UTF-8 text without NUL bytes: rewriting anything else
// through the INI reader would garble it. problem receives the reason.
bool existingText(const QString &fileName, QByteArray &text, QString &problem)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QFile file(fileName);
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
    return true;
}

QStringList entriesOf(const Column &column, const QList<Tool::Struct_CalibrationData> &records)
{
    QStringList entries;
    for (const Record &record : records)
        entries.append(column.field ? record.*column.field : QString::fromLatin1(column.constant));
    return entries;
}

// Sets the keys through the INI reader and writer in the file work. False when its text does not
// parse without a format error or the result cannot be written.
bool setKeys(const QString &work, const QList<Tool::Struct_CalibrationData> &records, QString &problem)
{
    QSettings settings(work, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QStringList existing = settings.allKeys(); // groups are parsed when their keys are asked for
    if (settings.status() != QSettings::NoError) {
        problem = QCoreApplication::translate("CoefficientIni", "已有的文件不是有效的INI文件。");
        return false;
    }
    for (const Column &column : kColumns) {
        const QString key = kGroup + QLatin1Char('/') + QLatin1String(column.key);
        for (const QString &other : existing)
            if (other != key && sameKey(other, key))
                settings.remove(other);
        settings.setValue(key, entriesOf(column, records));
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        problem = notWritten();
        return false;
    }
    return true;
}

} // namespace

// The file is worked on as a copy: the INI reader takes a leading byte-order mark into the first
// key's name (and reports a format error that would hide a failed write), and the file itself is
// replaced in one step only once the new text is complete.
bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path, QString *reason)
{
    if (reason)
        reason->clear();
    if (records.isEmpty() || path.isEmpty())
        return false;
    const QString fileName = iniFileName(path);
    QByteArray text;
    QString problem;
    if (!existingText(fileName, text, problem))
        return refuse(reason, fileName, problem);
    QTemporaryFile work;
    // The name first: a temporary file without one is gone once closed.
    if (!work.open() || work.fileName().isEmpty() || work.write(text) != text.size() || !work.flush())
        return refuse(reason, fileName, unreadable(work.errorString()));
    work.close();
    if (!setKeys(work.fileName(), records, problem))
        return refuse(reason, fileName, problem);
    // The writer replaced the work file: it is read by its name, not through the handle kept open.
    QFile result(work.fileName());
    QSaveFile target(fileName);
    if (!result.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return refuse(reason, fileName, notWritten());
    text = result.readAll();
    if (result.error() != QFileDevice::NoError || target.write(text) != text.size() || !target.commit())
        return refuse(reason, fileName, notWritten());
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
