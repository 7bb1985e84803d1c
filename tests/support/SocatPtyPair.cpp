#include "support/SocatPtyPair.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QRegularExpression>

SocatPtyPair::~SocatPtyPair()
{
    stop();
}

bool SocatPtyPair::start()
{
    stop();
    m_process.setProgram(QStringLiteral("socat"));
    m_process.setArguments({QStringLiteral("-d"), QStringLiteral("-d"),
                            QStringLiteral("pty,raw,echo=0"), QStringLiteral("pty,raw,echo=0")});
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        qWarning() << "socat did not start:" << m_process.errorString();
        return false;
    }
    m_process.setReadChannel(QProcess::StandardError);
    const QRegularExpression ptyLine(QStringLiteral("PTY is (\\S+)"));
    QByteArray log;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (!m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        log += m_process.readAllStandardError();
        if (!log.contains("starting data transfer loop"))
            continue;
        auto it = ptyLine.globalMatch(QString::fromLocal8Bit(log));
        QStringList paths;
        while (it.hasNext())
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

void SocatPtyPair::stop()
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
