#include "acquisition/AlarmMailer.h"

#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ToolEmail.h"
#include "common/WorkerGuard.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QThread>

namespace {
// How long closing waits for the mails once they are cancelled; a cancelled wait of ToolEmail
// ends within 100 ms.
const int kCancelWaitMs = 500;
}

AlarmMailer::~AlarmMailer()
{
    waitForThreads(QDeadlineTimer(AcquisitionTiming::get().MailCloseGraceMs));
    if (m_threads.isEmpty())
        return;
    m_cancel->store(true);
    waitForThreads(QDeadlineTimer(kCancelWaitMs));
    // A mail that did not hear the cancel must not hold the window: its thread is left to end on
    // its own (it holds nothing of this object) and deletes itself then.
    for (QThread *thread : qAsConst(m_threads)) {
        qWarning().noquote() << QStringLiteral("报警邮件线程未及时结束，不再等待。");
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        if (thread->isFinished())
            thread->deleteLater();
    }
}

void AlarmMailer::sendAlarmMail(const QString &body, const QStringList &recipients)
{
    dropFinished();
    const QString subject = tr("异常通知");
    ToolEmail::CancelFlag cancel = m_cancel;
    QThread *thread = QThread::create([body, recipients, subject, cancel]() {
        runGuarded("AlarmMail", [&] {
            ToolEmail mail(cancel);
            mail.SendToList(recipients, subject, body);
        });
    });
    thread->setObjectName(QStringLiteral("AlarmMail"));
    m_threads.append(thread);
    ++m_count;
    thread->start();
}

void AlarmMailer::waitForThreads(QDeadlineTimer deadline)
{
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if ((*it)->wait(deadline)) {
            delete *it;
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
}

void AlarmMailer::dropFinished()
{
    waitForThreads(QDeadlineTimer(0));
}
