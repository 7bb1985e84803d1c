#include "acquisition/AlarmMailer.h"

#include "acquisition/ToolEmail.h"

#include <QThread>

AlarmMailer::~AlarmMailer()
{
    waitForDone();
}

void AlarmMailer::sendAlarmMail(const QString &body, const QStringList &recipients)
{
    dropFinished();
    const QString subject = tr("异常通知");
    QThread *thread = QThread::create([body, recipients, subject]() {
        ToolEmail mail;
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
