#include "calibration/CoefficientIni.h"

#include <QDebug>
#include <QFileInfo>
#include <QStringList>

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

bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path)
{
    if (records.isEmpty() || path.isEmpty())
        return false;
    const QString fileName = iniFileName(path);
    QSettings settings(fileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    if (settings.status() != QSettings::NoError) {
        // Writing now would replace a file that could not be read as a whole.
        qWarning() << "coefficient file cannot be read:" << fileName << settings.status();
        return false;
    }
    const QStringList existing = settings.allKeys();
    for (const Column &column : kColumns) {
        const QString key = kGroup + QLatin1Char('/') + QLatin1String(column.key);
        for (const QString &other : existing)
            if (other != key && sameKey(other, key))
                settings.remove(other);
        QStringList entries;
        for (const Record &record : records)
            entries.append(column.field ? record.*column.field
                                        : QString::fromLatin1(column.constant));
        settings.setValue(key, entries);
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning() << "coefficient file not written:" << fileName << settings.status();
        return false;
    }
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
