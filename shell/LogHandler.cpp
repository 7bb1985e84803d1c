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
    QString error;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = file.errorString();
    } else {
        if (file.write(bytes) != bytes.size() || !file.flush())
            error = file.errorString();
        file.close();
        if (error.isEmpty() && file.error() != QFileDevice::NoError)
            error = file.errorString();
    }
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
