#pragma once

#include "acquisition/Struct_Sample.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <atomic>
#include <functional>

class QThread;

// Stores the samples of an on-line run from a thread of its own, on a database connection of its
// own, so that the reading thread never waits for the disk or for another program's lock: add()
// only queues the sample.
//
// Every transaction holds whole samples (the rows of all projects of a sample, or none of them),
// in the order the samples were added. Before a sample's rows are written, each project is looked
// up in the same transaction: a project that is no longer stored (deleted or merged away by
// another program) gets no further rows, and onProjectGone names it once.
//
// A store refused under another connection's write lock keeps its samples; they are tried again
// after a pause, together with the newer ones. While they wait, at most maxHeldSamples are held,
// the oldest beyond that being given up. Any other refusal (a full disk, a damaged file) gives up
// the samples of that try; after any refusal the next try waits for the pause. Samples given up
// are counted, logged one line per batch with their count and time range, and reported through
// onRefused.
//
// Should the thread end by an exception, what it held is given up as by the last try, stopped()
// turns true, and every sample added after that is counted as given up at once, never queued.
class ParametersDataWriter
{
public:
    struct Project {
        QString Name;
        QString CreateTime; // tells the run's project from a later one of the same name
    };
    struct Settings {
        QString DatabasePath;
        QString ConnectionName;
        int LockWaitMs = 1000;        // how long one try waits for another connection's lock
        int RetryMs = 500;            // pause after a try the lock refused
        int FinalLockWaitMs = 10000;  // the last try, when the run ends
        int MaxHeldSamples = 100000;
        int MaxSamplesPerTransaction = 2000;
        std::function<void()> BeforeStore; // called before each transaction (a planted fault)
    };

    ParametersDataWriter(const Settings &settings, const QList<Project> &projects);
    ~ParametersDataWriter();
    ParametersDataWriter(const ParametersDataWriter &) = delete;
    ParametersDataWriter &operator=(const ParametersDataWriter &) = delete;

    // Starts the thread, which opens the connection; false when it does not open.
    bool start();
    // Queues one sample (one value list per project, in project order). Never waits for the disk.
    // Once the writer has stopped the sample is given up instead.
    void add(const Struct_Sample &sample);
    // Stores what is still queued or held, then ends the thread and closes the connection. The
    // last try waits for another connection's lock a try's wait first, then, with onFinalWait
    // called, at most FinalLockWaitMs. Returns how many samples the last try (or a stop) gave up.
    int finish();
    // True once the thread has ended by an exception: nothing is stored any more.
    bool stopped() const { return m_Stopped; }

    // Samples given up so far.
    int refusedSamples() const { return m_Refused; }
    // Why the last store failed (the database's words or the lock note); empty before any failure.
    QString lastFailure() const;

    // Called from the writer thread: samples given up (how many now, and whether by the last try),
    // and a project found gone.
    std::function<void(int count, bool last)> onRefused;
    std::function<void(const QString &project)> onProjectGone;
    // Called from the writer thread when the last try finds the lock held and starts its long wait.
    std::function<void()> onFinalWait;

private:
    enum class Result { Stored, Locked, Failed };

    void run();
    void storeHeld(bool last, bool keepWhenLocked);
    Result storeBatch(const QList<Struct_Sample> &batch, QStringList &gone);
    void giveUp(int count, bool last, const QString &reason);
    void setLockWait(int milliseconds);

    const Settings m_Settings;
    const QList<Project> m_Projects;
    QList<bool> m_Live; // per project: still stored (writer thread only)

    mutable QMutex m_Mutex; // guards the members below it up to m_Held
    QWaitCondition m_Wake;
    QList<Struct_Sample> m_Queue;
    bool m_Finishing = false;
    bool m_WaitingForData = false;
    bool m_Opened = false;
    bool m_OpenDone = false;
    QString m_LastFailure;

    QList<Struct_Sample> m_Held; // writer thread only: oldest first
    QElapsedTimer m_Clock;        // writer thread only
    qint64 m_RetryAt = -1;        // on m_Clock: no try before (the pause after a refused try)
    std::atomic<int> m_Refused{0};
    std::atomic<bool> m_Stopped{false};
    int m_FinalRefused = 0;       // by the last try or after a stop (guarded by m_Mutex)
    QThread *m_Thread = nullptr;
};
