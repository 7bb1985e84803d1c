#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class QThread;

// Sends the limit-alarm mails of a run, each in a worker thread of its own that gets the body and
// its own copy of the recipients when it starts. The owner's destruction waits for every mail
// still on its way, so no worker outlives the run dialog.
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
    // Blocks until every mail started so far is done.
    void waitForDone();
    // Mails started since construction.
    int mailCount() const { return m_count; }

private:
    void dropFinished();

    QList<QThread *> m_threads;
    int m_count = 0;
};
