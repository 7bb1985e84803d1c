#pragma once

#include <QDate>
#include <QString>

// Name of the day's log file that the program's message handler writes in the working
// directory: "log_yyyy-MM-dd.log". Code that points the user at the log names it through this.
inline QString logFileName(const QDate &date)
{
    return QStringLiteral("log_") + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}
