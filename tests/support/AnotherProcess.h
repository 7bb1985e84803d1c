#pragma once

#include <QProcess>
#include <QString>

// Runs one SQL statement on a database from a second process (Debian's sqlite3), as another
// instance of the program storing or deleting at the same time would; true when it succeeded.
inline bool sqlFromAnotherProcess(const QString &path, const QString &sql)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/sqlite3"), {QStringLiteral("-cmd"), QStringLiteral(".timeout 10000"), path, sql});
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
