#include "acquisition/ParametersDataWriter.h"

#include "common/WorkerGuard.h"
#include "store/Tool.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

namespace {
const char kTimeMs[] = "yyyy-MM-dd hh:mm:ss.zzz";
}

ParametersDataWriter::ParametersDataWriter(const Settings &settings, const QList<Project> &projects)
    : m_Settings(settings)
    , m_Projects(projects)
{
    for (int j = 0; j < m_Projects.size(); ++j)
        m_Live.append(true);
}

ParametersDataWriter::~ParametersDataWriter()
{
    finish();
}

bool ParametersDataWriter::start()
{
    if (m_Thread)
        return false;
    m_Thread = QThread::create([this] {
        if (runGuarded("sample store", [this] { run(); }))
            return;
        // Whatever was not stored is counted as given up by the last try, and so is every sample
        // added from now on; a waiting start() learns that the store is gone.
        int lost = 0;
        {
            QMutexLocker lock(&m_Mutex);
            m_OpenDone = true;
            m_Stopped = true;
            lost = m_Held.size() + m_Queue.size();
            m_Held.clear();
            m_Queue.clear();
            m_Refused += lost;
            m_FinalRefused += lost;
            m_Wake.wakeAll();
        }
        Tool::closeDatabase(m_Settings.ConnectionName);
        if (lost > 0 && onRefused)
            onRefused(lost, true);
    });
    m_Thread->start();
    QMutexLocker lock(&m_Mutex);
    while (!m_OpenDone)
        m_Wake.wait(&m_Mutex);
    return m_Opened;
}

void ParametersDataWriter::add(const Struct_Sample &sample)
{
    {
        QMutexLocker lock(&m_Mutex);
        if (!m_Stopped) {
            m_Queue.append(sample);
            // While held samples wait for their retry, new ones only join them: the pause is kept.
            if (m_WaitingForData)
                m_Wake.wakeAll();
            return;
        }
        ++m_FinalRefused;
    }
    ++m_Refused;
    qWarning().noquote() << "sample not stored in the database, the sample store has stopped:"
                         << sample.Time.toString(QLatin1String(kTimeMs));
    if (onRefused)
        onRefused(1, true);
}

int ParametersDataWriter::finish()
{
    if (!m_Thread)
        return 0;
    {
        QMutexLocker lock(&m_Mutex);
        m_Finishing = true;
        m_Wake.wakeAll();
    }
    m_Thread->wait();
    delete m_Thread;
    m_Thread = nullptr;
    QMutexLocker lock(&m_Mutex);
    return m_FinalRefused;
}

QString ParametersDataWriter::lastFailure() const
{
    QMutexLocker lock(&m_Mutex);
    return m_LastFailure;
}

void ParametersDataWriter::setLockWait(int milliseconds)
{
    QSqlQuery(QSqlDatabase::database(m_Settings.ConnectionName))
        .exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(qMax(0, milliseconds)));
}

void ParametersDataWriter::run()
{
    const bool opened = Tool::openDatabase(m_Settings.DatabasePath, m_Settings.ConnectionName);
    {
        QMutexLocker lock(&m_Mutex);
        m_Opened = opened;
        m_OpenDone = true;
        m_Wake.wakeAll();
    }
    if (!opened) {
        Tool::closeDatabase(m_Settings.ConnectionName);
        return;
    }
    m_Clock.start();
    setLockWait(m_Settings.LockWaitMs);

    for (;;) {
        {
            QMutexLocker lock(&m_Mutex);
            // After a refused try, the pause first (new samples join the queue meanwhile); then
            // whatever is held or queued.
            while (!m_Finishing) {
                const qint64 left = m_RetryAt - m_Clock.elapsed();
                if (left > 0) {
                    m_Wake.wait(&m_Mutex, ulong(left));
                    continue;
                }
                if (!m_Held.isEmpty() || !m_Queue.isEmpty())
                    break;
                m_WaitingForData = true;
                m_Wake.wait(&m_Mutex);
                m_WaitingForData = false;
            }
            m_Held.append(m_Queue);
            m_Queue.clear();
            if (m_Finishing)
                break;
        }
        storeHeld(false, false);
    }

    // The last try waits a try's wait first; only when another connection holds the lock does it
    // wait the full FinalLockWaitMs, and onFinalWait says so before.
    storeHeld(true, true);
    if (!m_Held.isEmpty()) {
        if (onFinalWait)
            onFinalWait();
        setLockWait(m_Settings.FinalLockWaitMs);
        storeHeld(true, false);
    }
    Tool::closeDatabase(m_Settings.ConnectionName);
}

// Stores the held samples, oldest first, in transactions of whole samples. A try the lock
// refuses keeps them for a retry after the pause, unless it is the last one and not told to keep
// them.
void ParametersDataWriter::storeHeld(bool last, bool keepWhenLocked)
{
    const int over = m_Held.size() - m_Settings.MaxHeldSamples;
    if (!last && over > 0) {
        giveUp(over, false, QStringLiteral("more samples held than the limit while the database is locked"));
    }
    while (!m_Held.isEmpty()) {
        const int count = qMin(m_Held.size(), qMax(1, m_Settings.MaxSamplesPerTransaction));
        QStringList gone;
        const Result result = storeBatch(m_Held.mid(0, count), gone);
        if (result == Result::Stored) {
            m_Held.erase(m_Held.begin(), m_Held.begin() + count);
            m_RetryAt = -1;
            for (const QString &project : qAsConst(gone)) {
                qWarning() << "project" << project << "is no longer stored; its samples are not stored any more";
                if (onProjectGone)
                    onProjectGone(project);
            }
            continue;
        }
        const QString reason = Tool::lastFailureReason();
        {
            QMutexLocker lock(&m_Mutex);
            m_LastFailure = reason;
        }
        // Whatever refused it, the next try waits for the pause: a full disk refuses the samples of
        // a pause in one batch, not each sample on its own.
        m_RetryAt = m_Clock.elapsed() + m_Settings.RetryMs;
        if (result == Result::Locked && (!last || keepWhenLocked)) {
            qWarning() << "samples held, the database is locked by another connection:" << m_Held.size();
            return;
        }
        giveUp(m_Held.size(), last, reason);
        return;
    }
}

// One transaction: the projects still stored are looked up, then the rows of every sample of the
// batch are written for them.
ParametersDataWriter::Result ParametersDataWriter::storeBatch(const QList<Struct_Sample> &batch, QStringList &gone)
{
    if (!m_Live.contains(true))
        return Result::Stored; // no project left to store for
    if (m_Settings.BeforeStore)
        m_Settings.BeforeStore();
    const auto failed = [] { return Tool::lastFailureWasLock() ? Result::Locked : Result::Failed; };
    const QString &connection = m_Settings.ConnectionName;

    Tool::Transaction transaction(connection);
    if (!transaction.isActive())
        return failed();
    QList<bool> live = m_Live;
    for (int j = 0; j < m_Projects.size(); ++j) {
        if (!live.at(j))
            continue;
        bool exists = false;
        if (!Tool::projectExists(m_Projects.at(j).Name, m_Projects.at(j).CreateTime, exists, connection))
            return failed();
        if (!exists) {
            live[j] = false;
            gone.append(m_Projects.at(j).Name);
        }
    }
    QList<Tool::Struct_ParametersData> rows;
    rows.reserve(batch.size() * m_Projects.size());
    for (const Struct_Sample &sample : batch) {
        for (int j = 0; j < m_Projects.size(); ++j) {
            if (live.at(j))
                rows.append({m_Projects.at(j).Name, sample.Time, Tool::toStringList(10, sample.Values.value(j))});
        }
    }
    if (!rows.isEmpty() && !Tool::addParametersDataList(rows, connection))
        return failed();
    if (!transaction.commit())
        return failed();
    m_Live = live;
    return Result::Stored;
}

// Gives up the oldest held samples: counted, logged in one line with their time range, reported.
void ParametersDataWriter::giveUp(int count, bool last, const QString &reason)
{
    count = qMin(count, m_Held.size());
    if (count <= 0)
        return;
    qWarning().noquote() << "samples not stored in the database:" << count << "from"
                         << m_Held.at(0).Time.toString(QLatin1String(kTimeMs)) << "to"
                         << m_Held.at(count - 1).Time.toString(QLatin1String(kTimeMs)) << "-" << reason;
    m_Held.erase(m_Held.begin(), m_Held.begin() + count);
    m_Refused += count;
    if (last)
        m_FinalRefused += count;
    if (onRefused)
        onRefused(count, last);
}
