#include "DatabaseLock.h"

namespace {
const char kScript[] = "import sqlite3, sys\n"
                       "db = sqlite3.connect(sys.argv[1], timeout=30, isolation_level=None)\n"
                       "db.execute('BEGIN EXCLUSIVE')\n"
                       "print('locked', flush=True)\n"
                       "sys.stdin.readline()\n"
                       "db.execute('ROLLBACK')\n";
}

DatabaseLock::~DatabaseLock()
{
    release();
}

bool DatabaseLock::hold(const QString &path)
{
    m_process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QLatin1String(kScript), path});
    while (m_process.waitForReadyRead(10000)) {
        if (m_process.readAllStandardOutput().contains("locked"))
            return true;
    }
    m_error = QString::fromLocal8Bit(m_process.readAllStandardError()) + m_process.errorString();
    return false;
}

void DatabaseLock::release()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("release\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished();
}
