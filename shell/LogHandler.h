#pragma once

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QString>
#include <QtGlobal>

// The program's message handler: every debug, warning, critical and fatal message is appended
// to the day's log file "log_" + yyyy-MM-dd + ".log" in the working directory, in UTF-8, and
// flushed, always on a line of its own (a line left cut by a full disk or a killed program is
// ended first). Each message's fate is noted for the thread that raised it (see LogOutcome); a message
// the file does not take (it cannot be opened, the disk is full) goes to the standard error with
// the system's reason.
class LogHandler
{
public:
    static void install();
    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text);

    // One log line (without the line end):
    // "<level> File:(<file>) Line:(<line>)   (<yyyy-MM-dd hh:mm:ss.zzz>) <text>".
    static QString formatLine(QtMsgType type, const QMessageLogContext &context, const QString &text,
                              const QDateTime &time);
    static QString levelText(QtMsgType type);
    // "log_yyyy-MM-dd.log"
    static QString fileName(const QDate &date);
    // Date encoded in a log file name; invalid for any other name.
    static QDate dateOfFile(const QString &fileName);

    // Deletes the log files in dir whose date is more than maxAgeDays before today.
    // Files whose name carries no date are kept. Returns the number of files deleted.
    static int deleteOldLogs(const QDir &dir, const QDate &today, int maxAgeDays = 31);
};
