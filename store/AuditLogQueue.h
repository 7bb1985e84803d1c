#pragma once

#include "store/Tool.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// Audit-log entries of the GUI thread, written without holding the window up. Each entry takes
// its time when it is added; the queue writes what it holds, oldest first, waiting only briefly
// for another connection's write lock (another program, a run's acquisition thread). What cannot
// be written stays queued and is tried again on a timer until it is stored, so a lock held for a
// while neither freezes the window nor loses an entry. The destructor tries once more with the
// store's full wait and logs every entry it still could not store.
class AuditLogQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int LockWaitMs = 50;
    static constexpr int RetryMs = 500;

    explicit AuditLogQueue(QObject *parent = nullptr);
    ~AuditLogQueue() override;

    void add(const QString &type, const QString &text);
    // Entries not stored yet.
    int pendingCount() const { return m_pending.size(); }

private:
    bool flush(int lockWaitMs);

    QList<Tool::Struct_AuditLog> m_pending;
    QTimer m_retry;
};
