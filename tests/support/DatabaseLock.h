#pragma once

#include <QProcess>
#include <QString>

// A second process (/usr/bin/python3's sqlite3) holding the write lock of a SQLite database
// with BEGIN EXCLUSIVE until the test releases it; writes of this process wait meanwhile.
//
//   DatabaseLock lock;
//   QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));   // returns once the lock is held
//   lock.release();                                              // rolls back, the process ends
class DatabaseLock
{
public:
    DatabaseLock() = default;
    ~DatabaseLock() { release(); }
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    bool hold(const QString &path)
    {
        m_process.start("/usr/bin/python3", {"-c", "import sqlite3, sys\n"
                                                   "db = sqlite3.connect(sys.argv[1], timeout=30, isolation_level=None)\n"
                                                   "db.execute('BEGIN EXCLUSIVE')\n"
                                                   "print('locked', flush=True)\n"
                                                   "sys.stdin.readline()\n"
                                                   "db.execute('ROLLBACK')\n",
                                             path});
        while (m_process.waitForReadyRead(10000)) {
            if (m_process.readAllStandardOutput().contains("locked"))
                return true;
        }
        m_error = QString::fromLocal8Bit(m_process.readAllStandardError()) + m_process.errorString();
        return false;
    }

    void release()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("release\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    QString error() const { return m_error; }

private:
    QProcess m_process;
    QString m_error;
};
