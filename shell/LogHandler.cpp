#include "shell/LogHandler.h"
#include "common/LogFileName.h"
#include "common/LogOutcome.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace {
QRecursiveMutex &logMutex()
{
    static QRecursiveMutex mutex;  // a message raised while writing must not dead-lock
    return mutex;
}
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// Appends bytes to the file as a line of its own and returns the system's reason when the file
// does not take them all. A line an earlier write left cut (a full disk, a killed program) is
// ended first, so the new line is never joined onto the fragment. Unbuffered, so every failure
// is seen by the call that meets it: after a partial write the next call for the rest meets the
// error itself and gives its reason (a full disk reads "No space left on device").
QString append(QFile &file, const QByteArray &bytes)
{
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    QByteArray line = bytes;
    const qint64 size = file.size();
    char last = '\n';
    if (size > 0 && !(file.seek(size - 1) && file.getChar(&last)))
        return file.errorString();
    if (last != '\n')
        line.prepend('\n');
    for (qint64 done = 0; done < line.size();) {
        const qint64 written = file.write(line.constData() + done, line.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}
}

void LogHandler::install()
{
    qInstallMessageHandler(&LogHandler::messageHandler);
}

QString LogHandler::levelText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return QStringLiteral("Debug:");
    case QtInfoMsg: return QStringLiteral("Info:");
    case QtWarningMsg: return QStringLiteral("Warning:");
    case QtCriticalMsg: return QStringLiteral("Critical:");
    case QtFatalMsg: return QStringLiteral("Fatal:");
    }
    return QStringLiteral("Debug:");
}

QString LogHandler::formatLine(QtMsgType type, const QMessageLogContext &context, const QString &text,
                               const QDateTime &time)
{
    const QString where = QStringLiteral("File:(%1) Line:(%2)")
                              .arg(QString::fromUtf8(context.file ? context.file : ""))
                              .arg(context.line);
    const QString when = QStringLiteral("(%1)").arg(time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
    return QStringLiteral("%1 %2   %3 %4").arg(levelText(type), where, when, text);
}

QString LogHandler::fileName(const QDate &date)
{
    return logFileName(date);
}

QDate LogHandler::dateOfFile(const QString &fileName)
{
    const QString prefix = QStringLiteral("log_");
    const QString suffix = QStringLiteral(".log");
    if (!fileName.startsWith(prefix) || !fileName.endsWith(suffix))
        return QDate();
    const QString middle = fileName.mid(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    return QDate::fromString(middle, dateFormat);
}

void LogHandler::messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QDateTime now = QDateTime::currentDateTime();
    // The file is UTF-8 whatever the system's locale.
    const QByteArray bytes = formatLine(type, context, text, now).toUtf8() + '\n';

    QMutexLocker locker(&logMutex());
    QFile file(fileName(now.date()));
    const QString error = append(file, bytes);
    const QString path = QFileInfo(file).absoluteFilePath();
    LogOutcome::note(path, error);
    if (!error.isEmpty()) {
        // Never dropped in silence: the message and why the file did not take it go to the
        // standard error, and the thread's log outcome tells whoever asks.
        std::fprintf(stderr, "%s%s: %s\n", bytes.constData(), path.toLocal8Bit().constData(),
                     error.toLocal8Bit().constData());
        std::fflush(stderr);
    }
}

int LogHandler::deleteOldLogs(const QDir &dir, const QDate &today, int maxAgeDays)
{
    int deleted = 0;
    const QStringList names = dir.entryList({QStringLiteral("log_*.log")}, QDir::Files);
    for (const QString &name : names) {
        const QDate date = dateOfFile(name);
        if (!date.isValid() || date.daysTo(today) <= maxAgeDays)
            continue;
        if (QFile::remove(dir.filePath(name)))
            ++deleted;
        else
            qWarning() << "cannot delete old log file" << name;
    }
    return deleted;
}
