// The audit-log queue while another program holds the database's write lock: the window is not
// held, and the entries are stored in the order they were added once the lock is gone.
#include "store/AuditLogQueue.h"
#include "support/DatabaseLock.h"
#include "support/TestWorkDir.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

// The stored entries' texts, in the order they were stored.
QStringList storedTexts()
{
    QList<Tool::Struct_AuditLog> log;
    QStringList texts;
    if (Tool::getAuditLog(log)) {
        for (const Tool::Struct_AuditLog &entry : qAsConst(log))
            texts << entry.Text;
    }
    return texts;
}

} // namespace

class tst_AuditLogQueue : public QObject
{
    Q_OBJECT

private slots:
    // An entry added under the lock waits without holding the window for the store's full wait.
    // One added after the lock has gone, but before the waiting entry's retry, waits behind it:
    // the log keeps the order in which things happened.
    void entriesWaitingForTheRetryKeepTheirOrder()
    {
        TestWorkDir dir;
        QVERIFY(dir.isValid());
        AuditLogQueue queue;
        queue.add(QStringLiteral("通讯异常"), QStringLiteral("first"));
        DatabaseLock lock;
        QVERIFY2(lock.hold(QStringLiteral("DAQ.db3")), qPrintable(lock.error()));
        QElapsedTimer clock;
        clock.start();
        queue.add(QStringLiteral("通讯异常"), QStringLiteral("second"));
        QVERIFY2(clock.elapsed() < Tool::BusyTimeoutMs / 2, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(queue.pendingCount(), 1);

        lock.release();
        // No event has been handled since: the retry has not run.
        queue.add(QStringLiteral("下限通知"), QStringLiteral("third"));
        QCOMPARE(queue.pendingCount(), 2);
        QTRY_COMPARE(queue.pendingCount(), 0);
        QCOMPARE(storedTexts(), QStringList({"first", "second", "third"}));
    }

    // Entries still held when the window closes wait the store's full time for a lock that
    // another program holds longer than the short wait: they are stored, not lost.
    void heldEntriesStoredWhenTheLockGoesWithinTheFullWait()
    {
        TestWorkDir dir;
        QVERIFY(dir.isValid());
        QSemaphore held, closing;
        QString lockError;
        // The lock's process is driven from a thread of its own: the queue's destructor blocks
        // this one.
        std::unique_ptr<QThread> holder(QThread::create([&] {
            DatabaseLock lock;
            if (!lock.hold(QStringLiteral("DAQ.db3")))
                lockError = lock.error();
            held.release();
            closing.acquire();
            QThread::msleep(300); // far past the short wait, well within the full one
        }));
        holder->start();
        const auto joined = qScopeGuard([&] {
            closing.release();
            holder->wait();
        });
        held.acquire();
        QVERIFY2(lockError.isEmpty(), qPrintable(lockError));
        {
            AuditLogQueue queue;
            queue.add(QStringLiteral("通讯异常"), QStringLiteral("first"));
            queue.add(QStringLiteral("下限通知"), QStringLiteral("second"));
            QCOMPARE(queue.pendingCount(), 2);
            closing.release();
        }
        QCOMPARE(storedTexts(), QStringList({"first", "second"}));
    }
};

QTEST_GUILESS_MAIN(tst_AuditLogQueue)
#include "tst_AuditLogQueue.moc"
