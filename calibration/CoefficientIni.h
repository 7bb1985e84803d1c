#pragma once

#include "store/Tool.h"

#include <QList>
#include <QSettings>
#include <QString>
#include <QVariant>

// The coefficient exchange file: INI (UTF-8), group "Standardizer", ten keys, each a string list
// with one entry per channel record: the seven coefficients, the correction Mx+B as "1" and "0",
// and the run's name. Channel dialogs read such files to load coefficients into a channel.
namespace CoefficientIni {

// Writes the records into the file at path (".ini" is added to a name without a suffix). Each key
// replaces the value it had, also under another spelling of its case; other groups and keys of an
// existing file stay. False when there is no record, an existing file cannot be read as INI
// (it is then left as it is) or the file could not be written.
bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path);

// The path a name without a suffix is written to.
QString iniFileName(const QString &path);

// A key such as "/Standardizer/MX_B_M" looked up without regard to case (INI keys are
// case-sensitive here, but the file's writers and readers spell the correction keys differently).
// The exactly spelled key wins; an invalid QVariant when no key matches.
QVariant value(const QSettings &settings, const QString &key);

} // namespace CoefficientIni
