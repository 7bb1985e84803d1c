#include "support/TestWorkDir.h"
#include "shell/LogHandler.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <QtTest>

class tst_LogHandler : public QObject
{
    Q_OBJECT

private:
    static QStringList readLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        QStringList lines;
        while (!stream.atEnd())
            lines << stream.readLine();
        return lines;
    }

    static void touch(const QString &name)
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x\n");
    }

private slots:
    // Release builds without context still give a well-formed line.
    void lineWithoutContext()
    {
        const QDateTime time(QDate(2024, 5, 1), QTime(8, 9, 10, 7));
        QCOMPARE(LogHandler::formatLine(QtDebugMsg, QMessageLogContext(), "t", time),
                 QStringLiteral("Debug: File:() Line:(0)   (2024-05-01 08:09:10.007) t"));
    }

    // The installed handler appends whole lines to the day's file, also from several threads at once.
    void handlerAppendsWholeLinesToDaysFile()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        const QDate before = QDate::currentDate();
        const int threads = 4, perThread = 300;
        QtMessageHandler previous = qInstallMessageHandler(&LogHandler::messageHandler);
        qWarning("second %d", 2);
        QList<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers << QThread::create([t]() {
                for (int i = 0; i < perThread; ++i)
                    qDebug().noquote() << QStringLiteral("thread %1 message %2").arg(t).arg(i) << QString(200, 'x');
            });
            workers.last()->start();
        }
        for (QThread *w : workers) {
            QVERIFY(w->wait(30000));
            delete w;
        }
        qInstallMessageHandler(previous);

        // A run across midnight continues in the next day's file.
        QStringList lines = readLines(dir.filePath(LogHandler::fileName(before)));
        if (QDate::currentDate() != before)
            lines += readLines(dir.filePath(LogHandler::fileName(QDate::currentDate())));
        QCOMPARE(lines.size(), 1 + threads * perThread);
        const QRegularExpression pattern(QStringLiteral(
            R"(^(Debug|Warning): File:\(.*tst_LogHandler\.cpp\) Line:\(\d+\)   \(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\) (.*)$)"));
        QCOMPARE(pattern.match(lines.at(0)).capturedTexts().mid(1), QStringList({"Warning", "second 2"}));
        const QRegularExpression whole(QStringLiteral(R"(^Debug: .* thread \d message \d+ x{200}$)"));
        for (const QString &line : lines.mid(1))
            QVERIFY2(pattern.match(line).hasMatch() && whole.match(line).hasMatch(), qPrintable(line.left(120)));
    }

    void oldLogsDeleted()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        const QDate today(2024, 3, 31);
        touch(LogHandler::fileName(today));
        touch(LogHandler::fileName(today.addDays(-31)));   // exactly 31 days: kept
        touch(LogHandler::fileName(today.addDays(-32)));   // older: deleted
        touch(LogHandler::fileName(today.addYears(-1)));   // deleted
        touch(QStringLiteral("log_notes.log"));            // no date: kept
        touch(QStringLiteral("DAQ.db3"));                  // not a log: kept

        QCOMPARE(LogHandler::deleteOldLogs(QDir(dir.path()), today), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), QStringList({"DAQ.db3", "log_2024-02-29.log", "log_2024-03-31.log", "log_notes.log"}));
    }
};

QTEST_GUILESS_MAIN(tst_LogHandler)
#include "tst_LogHandler.moc"
