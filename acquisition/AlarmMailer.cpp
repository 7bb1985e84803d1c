#include "acquisition/AlarmMailer.h"

#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ToolEmail.h"

#include <QDeadlineTimer>
#include <QThread>

AlarmMailer::~AlarmMailer()
{
    QDeadlineTimer grace(AcquisitionTiming::get().MailCloseGraceMs);
    for (QThread *thread : qAsConst(m_threads))
        thread->wait(grace);
    m_cancel->store(true);
    waitForDone();
}

void AlarmMailer::sendAlarmMail(const QString &body, const QStringList &recipients)
{
    dropFinished();
    const QString subject = tr("异常通知");
    ToolEmail::CancelFlag cancel = m_cancel;
    QThread *thread = QThread::create([body, recipients, subject, cancel]() {
        ToolEmail mail(cancel);
        mail.SendToList(recipients, subject, body);
    });
    thread->setObjectName(QStringLiteral("AlarmMail"));
    m_threads.append(thread);
    ++m_count;
    thread->start();
}

void AlarmMailer::waitForDone()
{
    for (QThread *thread : qAsConst(m_threads)) {
        thread->wait();
        delete thread;
    }
    m_threads.clear();
}

void AlarmMailer::dropFinished()
{
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if ((*it)->isFinished()) {
            (*it)->wait();
            delete *it;
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
}
