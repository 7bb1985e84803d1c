#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class QDeadlineTimer;
class QThread;

// Sends the limit-alarm mails of a run, each in a worker thread of its own that gets the body and
// its own copy of the recipients when it starts. The owner's destruction gives the mails still on
// their way a short grace time (AcquisitionTiming::MailCloseGraceMs), then cancels every wait of
// theirs (connection, handshake, replies) and waits at most half a second more, so a silent or
// unreachable server never holds the window for long.
class AlarmMailer
{
    Q_DECLARE_TR_FUNCTIONS(AlarmMailer)
public:
    AlarmMailer() = default;
    ~AlarmMailer();
    AlarmMailer(const AlarmMailer &) = delete;
    AlarmMailer &operator=(const AlarmMailer &) = delete;

    // Starts one mail (connect, log in, one message per recipient, quit) with the subject
    // "异常通知". Failures show only in the diagnostics log.
    void sendAlarmMail(const QString &body, const QStringList &recipients);
    // Mails started since construction.
    int mailCount() const { return m_count; }

private:
    // Waits for each mail thread until the deadline; the finished ones are deleted and dropped.
    void waitForThreads(QDeadlineTimer deadline);
    void dropFinished();

    QList<QThread *> m_threads;
    std::shared_ptr<std::atomic_bool> m_cancel = std::make_shared<std::atomic_bool>(false);
    int m_count = 0;
};
