#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"
#include "common/LogOutcome.h"
#include "shell/LogHandler.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>

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

    // The file is UTF-8 also where the system's locale has another encoding (a Chinese Windows
    // writes GB18030 as its local 8-bit text).
    void utf8UnderAnotherLocale()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        QTextCodec *previous = QTextCodec::codecForLocale();
        QTextCodec *gb18030 = QTextCodec::codecForName("GB18030");
        QVERIFY(gb18030);
        const QString text = QStringLiteral("校准数据 25.000000℃ 108.76543210Ω");
        QVERIFY(gb18030->fromUnicode(text) != text.toUtf8());
        QTextCodec::setCodecForLocale(gb18030);
        QtMessageHandler before = qInstallMessageHandler(&LogHandler::messageHandler);
        const auto restore = qScopeGuard([&] {
            qInstallMessageHandler(before);
            QTextCodec::setCodecForLocale(previous);
        });
        qWarning().noquote() << text;
        QFile file(LogHandler::fileName(QDate::currentDate()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith(" " + text.toUtf8() + "\n"), bytes.toHex().constData());
    }

    // Whether its messages reached the file, each thread can ask: written and flushed lines are
    // counted; a file that cannot be opened (a folder in its place) or written (a full disk)
    // counts the messages as failed, with the file and the system's reason.
    void outcomeOfEachMessage()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        QtMessageHandler before = qInstallMessageHandler(&LogHandler::messageHandler);
        const auto restore = qScopeGuard([&] { qInstallMessageHandler(before); });
        const QString name = LogHandler::fileName(QDate::currentDate());
        const auto outcome = [](int messages) {
            LogOutcome::start();
            for (int i = 0; i < messages; ++i)
                qWarning("line %d", i);
            const LogOutcome::Count c = LogOutcome::count();
            return QStringLiteral("%1 %2 %3").arg(c.written).arg(c.failed).arg(c.error.isEmpty() ? "-" : "error");
        };

        QCOMPARE(outcome(3), QString("3 0 -"));
        QCOMPARE(LogOutcome::count().file, dir.filePath(name));
        // Another thread's messages are not this thread's.
        LogOutcome::start();
        std::unique_ptr<QThread> other(QThread::create([] { qWarning("elsewhere"); }));
        other->start();
        QVERIFY(other->wait(10000));
        QCOMPARE(LogOutcome::count().written, 0);

        QVERIFY(QFile::remove(name) && QDir().mkdir(name));
        QCOMPARE(outcome(2), QString("0 2 error"));
        QVERIFY(QDir().rmdir(name));
        QCOMPARE(outcome(1), QString("1 0 -"));

        SmallTmpfs disk(256 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        QVERIFY(QDir::setCurrent(disk.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(dir.path()); });
        QVERIFY(disk.fill());
        QCOMPARE(outcome(2), QString("0 2 error"));
        QCOMPARE(LogOutcome::count().file + ' ' + LogOutcome::count().error, disk.filePath(name) + " No space left on device");
        disk.makeRoom();
        QCOMPARE(outcome(1), QString("1 0 -"));
        QFile file(disk.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(file.readAll()).endsWith(" line 0\n"));

        // Without the program's handler nothing counts as written.
        qInstallMessageHandler(before);
        QCOMPARE(outcome(1), QString("0 0 -"));
    }

    // A full disk cuts a line in the middle. Once there is room again the next message starts a
    // line of its own: the fragment is not read as the start of the next record. The reason
    // given is the system's.
    void nextMessageAfterACutLineStartsALine()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        SmallTmpfs disk(256 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        QVERIFY(QDir::setCurrent(disk.path()));
        const auto back = qScopeGuard([&] { QDir::setCurrent(dir.path()); });
        QtMessageHandler before = qInstallMessageHandler(&LogHandler::messageHandler);
        const auto restore = qScopeGuard([&] { qInstallMessageHandler(before); });
        // A disk full but for 8 kB: a 24 kB line is cut.
        QFile spare(disk.filePath("spare"));
        QVERIFY(spare.open(QIODevice::WriteOnly) && spare.write(QByteArray(8192, 's')) == 8192);
        spare.close();
        QVERIFY(disk.fill());
        QVERIFY(spare.remove());
        LogOutcome::start();
        qWarning().noquote() << "record not stored:" << QString(24000, 'x');
        QCOMPARE(LogOutcome::count().failed, 1);
        QCOMPARE(LogOutcome::count().error, QStringLiteral("No space left on device"));

        disk.makeRoom();
        qWarning("next record");
        QCOMPARE(LogOutcome::count().written, 1);
        const QStringList lines = readLines(disk.filePath(LogHandler::fileName(QDate::currentDate())));
        QCOMPARE(lines.size(), 2);
        const QString head = QStringLiteral(R"(^Warning: File:\(.*\) Line:\(\d+\)   \(.{23}\) )");
        QVERIFY2(QRegularExpression(head + "record not stored: x+$").match(lines.at(0)).hasMatch(), qPrintable(lines.at(0).left(120)));
        QVERIFY(lines.at(0).size() < 24000);
        QVERIFY2(QRegularExpression(head + "next record$").match(lines.at(1)).hasMatch(), qPrintable(lines.at(1).left(120)));
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
