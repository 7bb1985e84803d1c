#include "store/AuditLogQueue.h"

#include <QDateTime>
#include <QDebug>

AuditLogQueue::AuditLogQueue(QObject *parent)
    : QObject(parent)
{
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (flush(LockWaitMs))
            m_retry.stop();
    });
}

AuditLogQueue::~AuditLogQueue()
{
    if (m_pending.isEmpty() || flush(Tool::BusyTimeoutMs))
        return;
    for (const Tool::Struct_AuditLog &entry : qAsConst(m_pending))
        qWarning().noquote() << "audit-log entry not stored:" << entry.Time << entry.Type << entry.Text;
}

void AuditLogQueue::add(const QString &type, const QString &text)
{
    m_pending.append({QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), type, text});
    // While earlier entries wait for the retry, a new one waits with them (in order).
    if (m_retry.isActive() || flush(LockWaitMs))
        return;
    qWarning() << "audit-log entries kept until the database can be written:" << m_pending.size();
    m_retry.start();
}

bool AuditLogQueue::flush(int lockWaitMs)
{
    if (!Tool::addAuditLogList(m_pending, lockWaitMs))
        return false;
    m_pending.clear();
    return true;
}
