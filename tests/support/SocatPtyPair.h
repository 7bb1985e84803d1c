#pragma once

#include <QDeadlineTimer>
#include <QDebug>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

// Two linked pseudo-terminals made by socat ("socat -d -d pty,raw,echo=0 pty,raw,echo=0"):
// bytes written to one end come out of the other. start() launches socat and reads the two
// device paths from its log; the destructor (or stop()) ends it.
class SocatPtyPair
{
public:
    SocatPtyPair() = default;
    ~SocatPtyPair() { stop(); }
    SocatPtyPair(const SocatPtyPair &) = delete;
    SocatPtyPair &operator=(const SocatPtyPair &) = delete;

    // True once both ends exist and socat is transferring data.
    bool start()
    {
        stop();
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start("socat", {"-d", "-d", "pty,raw,echo=0", "pty,raw,echo=0"});
        if (!m_process.waitForStarted(10000)) {
            qWarning() << "socat did not start:" << m_process.errorString();
            return false;
        }
        m_process.setReadChannel(QProcess::StandardError);
        QByteArray log;
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            log += m_process.readAllStandardError();
            if (!log.contains("starting data transfer loop"))
                continue;
            QStringList paths;
            for (auto it = QRegularExpression("PTY is (\\S+)").globalMatch(QString::fromLocal8Bit(log)); it.hasNext();)
                paths.append(it.next().captured(1));
            if (paths.size() >= 2) {
                m_first = paths.at(0);
                m_second = paths.at(1);
                return true;
            }
        }
        qWarning() << "socat gave no pseudo-terminals:" << log;
        stop();
        return false;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
        m_first.clear();
        m_second.clear();
    }

    QString first() const { return m_first; }
    QString second() const { return m_second; }

private:
    QProcess m_process;
    QString m_first;
    QString m_second;
};
