#pragma once

#include <QHash>
#include <QString>

// Reads the small hand-written .ini files of the program (the alarm-mail account, the Bluetooth
// device name) as plain texts, so nothing in such a file is ever deserialised: "@Variant(...)" or
// "@ByteArray(...)" stay the texts they are.
//
// Layout: "[Group]" lines and "key=value" lines, UTF-8 with or without a byte order mark, LF or
// CR LF. Spaces around keys and values are removed; everything else after the first '=' is the
// value as written (no quotes, escapes or lists). Lines whose first character is ';' or '#' are
// comments. The result maps "Group/key" (or "key" before the first group) to the value; a later
// line wins over an earlier one with the same key.
//
// A missing file gives no values. So does a file that cannot be read, is no regular file (a FIFO
// would block the reader) or is larger than 1 MiB; those are logged with the path.
QHash<QString, QString> readPlainIni(const QString &path);
