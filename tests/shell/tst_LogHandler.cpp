#include "support/TestWorkDir.h"
#include "shell/LogHandler.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QtTest>

#include <functional>

class tst_LogHandler : public QObject
{
    Q_OBJECT

private:
    static QStringList readLines(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
    }

    // With the program's handler installed: first() in this thread, then write(t) in each of
    // `threads` threads at once. Returns the lines of the day's log file; a run across midnight
    // continues in the next day's file. Empty when a thread does not end.
    static QStringList logFromThreads(int threads, const std::function<void(int)> &write, const std::function<void()> &first)
    {
        const QDate before = QDate::currentDate();
        QtMessageHandler previous = qInstallMessageHandler(&LogHandler::messageHandler);
        first();
        QList<QThread *> workers;
        for (int t = 0; t < threads; ++t)
            workers << QThread::create(write, t);
        for (QThread *w : workers)
            w->start();
        bool ended = true;
        for (QThread *w : workers) {
            ended = w->wait(60000) && ended;
            delete w;
        }
        qInstallMessageHandler(previous);
        QStringList lines = readLines(LogHandler::fileName(before));
        if (QDate::currentDate() != before)
            lines += readLines(LogHandler::fileName(QDate::currentDate()));
        return ended ? lines : QStringList();
    }

private slots:
    // The installed handler appends whole lines to the day's file, also from several threads at
    // once; release builds without context still give a well-formed line.
    void handlerAppendsWholeLinesToDaysFile()
    {
        QCOMPARE(LogHandler::formatLine(QtDebugMsg, QMessageLogContext(), "t", QDateTime(QDate(2024, 5, 1), QTime(8, 9, 10, 7))),
                 QStringLiteral("Debug: File:() Line:(0)   (2024-05-01 08:09:10.007) t"));
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        const int threads = 4, perThread = 300;
        const QStringList lines = logFromThreads(threads, [](int t) {
            for (int i = 0; i < perThread; ++i)
                qDebug().noquote() << QStringLiteral("thread %1 message %2").arg(t).arg(i) << QString(200, 'x');
        }, [] { qWarning("second %d", 2); });
        QCOMPARE(lines.size(), 1 + threads * perThread);
        const QRegularExpression pattern(QStringLiteral(
            R"(^(Debug|Warning): File:\(.*tst_LogHandler\.cpp\) Line:\(\d+\)   \(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\) (.*)$)"));
        QCOMPARE(pattern.match(lines.at(0)).capturedTexts().mid(1), QStringList({"Warning", "second 2"}));
        const QRegularExpression whole(QStringLiteral(R"(^Debug: .* thread \d message \d+ x{200}$)"));
        for (const QString &line : lines.mid(1))
            QVERIFY2(pattern.match(line).hasMatch() && whole.match(line).hasMatch(), qPrintable(line.left(120)));
    }

    // Lines longer than the text stream's and the file's buffers, in UTF-8 of several bytes a
    // character, from several threads at once: every line arrives whole, not cut by another
    // thread's line, and none is missing or repeated.
    void longLinesFromSeveralThreadsStayWhole()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        const int threads = 8, perThread = 100;
        const QString body(12000, QChar(0x6E29)); // 36 kB of UTF-8
        const QStringList lines = logFromThreads(threads, [body](int t) {
            for (int i = 0; i < perThread; ++i)
                qWarning().noquote() << QStringLiteral("T%1 #%2 %3 end T%1 #%2").arg(t).arg(i).arg(body);
        }, [] {});
        const QRegularExpression whole(QStringLiteral(R"(^Warning: File:\(.*\) Line:\(\d+\)   \(.{23}\) T(\d) #(\d+) %1 end T\1 #\2$)").arg(body));
        QSet<QString> seen;
        for (const QString &line : qAsConst(lines)) {
            const QRegularExpressionMatch match = whole.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line.left(80) + " ... " + line.right(40)));
            seen << match.captured(1) + '#' + match.captured(2);
        }
        QCOMPARE(lines.size(), threads * perThread);
        QCOMPARE(seen.size(), threads * perThread);
    }

    // Logs older than 31 days are deleted; other files are kept.
    void oldLogsDeleted()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QDate today(2024, 3, 31);
        for (const QString &name : {LogHandler::fileName(today), LogHandler::fileName(today.addDays(-31)),
                                    LogHandler::fileName(today.addDays(-32)), LogHandler::fileName(today.addYears(-1)),
                                    QStringLiteral("log_notes.log"), QStringLiteral("DAQ.db3")}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(LogHandler::deleteOldLogs(QDir(dir.path()), today), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"DAQ.db3", "log_2024-02-29.log", "log_2024-03-31.log", "log_notes.log"}));
    }
};

QTEST_GUILESS_MAIN(tst_LogHandler)
#include "tst_LogHandler.moc"
