#pragma once

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO at a path, for code that must never wait on one. Should that code open it for reading
// and wait for a writer, a writer comes once the deadline has passed, so the test goes on and
// sees the wait (releasedAReader) instead of hanging.
//
//   FifoWithDeadline fifo(dir.filePath("coefficients.ini"), 2000);
//   QVERIFY2(fifo.isMade(), qPrintable(fifo.error()));
//   ... the code under test ...
//   QVERIFY(!fifo.releasedAReader() && fifo.isStillFifo());
class FifoWithDeadline
{
public:
    FifoWithDeadline(const QString &path, int deadlineMs) : m_path(QFile::encodeName(path))
    {
        if (::mkfifo(m_path.constData(), 0600) != 0) {
            m_error = QStringLiteral("mkfifo %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_made = true;
        m_helper = std::thread([this, deadlineMs] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_stop.wait_for(lock, std::chrono::milliseconds(deadlineMs), [this] { return m_stopping; }))
                return;
            // Past the deadline: a writer that opens and closes at once gives a waiting reader
            // the end of the file. Opening without a reader fails at once, so it is tried again.
            while (!m_stop.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopping; })) {
                const int descriptor = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (descriptor >= 0) {
                    ::close(descriptor);
                    m_released = true;
                }
            }
        });
    }
    ~FifoWithDeadline()
    {
        if (m_helper.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_stopping = true;
            }
            m_stop.notify_all();
            m_helper.join();
        }
    }
    FifoWithDeadline(const FifoWithDeadline &) = delete;
    FifoWithDeadline &operator=(const FifoWithDeadline &) = delete;

    bool isMade() const { return m_made; }
    QString error() const { return m_error; }
    bool releasedAReader() const { return m_released; }
    bool isStillFifo() const
    {
        struct stat status;
        return ::lstat(m_path.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
    }

private:
    QByteArray m_path;
    QString m_error;
    bool m_made = false;
    std::atomic<bool> m_released{false};
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::thread m_helper;
};
