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

// Writes the records into the file at path (".ini" is added to a name without a suffix). The
// keys are set as a reader through QSettings finds them, looked up without regard to case: each
// replaces the first line that holds it in the group where that line stands, other lines naming it
// (another spelling of its case too) go, missing keys are added to the group and the group to the
// file. Every other line stays byte for byte (comments, line ends, a byte-order mark).
//
// A file of one name is replaced by a complete new file, written and synced beside it and renamed
// over it: a failure or a crash leaves the old file or the new one, never a mix. A file of
// several names (hard links) keeps them all and is rewritten where it stands: the space for the
// new text is reserved first where the file system allows it, so a full disk or quota refuses the
// write before a byte changes, and a write that fails after that writes the old text back; a
// crash while it is rewritten can leave it part old and part new. On Windows every file takes
// the first way (the other names of a hard-linked file keep the old text).
//
// An existing file must be a regular file (anything else is left as it is, without waiting on it)
// holding nothing or UTF-8 text without NUL bytes whose every line is a group, a key or a comment
// (';' or '#' first); any other file is left byte for byte as it was. False also when there is no
// record or the file could not be written; reason (when given) then receives a translated text for
// the user (empty without records), for a failed write "文件写入失败。" with the path and the
// system's reason on a second line.
bool write(const QList<Tool::Struct_CalibrationData> &records, const QString &path, QString *reason = nullptr);

// The path a name without a suffix is written to.
QString iniFileName(const QString &path);

// A key such as "/Standardizer/MX_B_M" looked up without regard to case (INI keys are
// case-sensitive here, but the file's writers and readers spell the correction keys differently).
// The exactly spelled key wins; an invalid QVariant when no key matches.
QVariant value(const QSettings &settings, const QString &key);

} // namespace CoefficientIni
