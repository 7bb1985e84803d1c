#pragma once

#include <QProcess>
#include <QString>

// A second process (/usr/bin/python3's sqlite3) holding the write lock of a SQLite database
// with BEGIN EXCLUSIVE until the test releases it; writes of this process wait meanwhile.
//
//   DatabaseLock lock;
//   QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));   // returns once the lock is held
//   ...
//   lock.release();                                              // rolls back, the process ends
class DatabaseLock
{
public:
    DatabaseLock() = default;
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    bool hold(const QString &path);
    void release();
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QString m_error;
};
