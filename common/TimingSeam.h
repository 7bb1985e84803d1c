#pragma once

#include <QMutex>
#include <QMutexLocker>

// The fixed waits of one subsystem as a settable record. The shipped program keeps the record's
// defaults; tests shorten them with set() before the objects that read them start. Readers take a
// copy with get(), so a change never tears a record that another thread is reading.
//
//   struct SomeTiming : TimingSeam<SomeTiming> { int PollMs = 100; };
template <class Record>
struct TimingSeam {
    static Record get()
    {
        QMutexLocker lock(&mutex());
        return current();
    }
    static void set(const Record &timing)
    {
        QMutexLocker lock(&mutex());
        current() = timing;
    }
    // Back to the shipped values.
    static void reset() { set(Record()); }

private:
    static QMutex &mutex()
    {
        static QMutex m;
        return m;
    }
    static Record &current()
    {
        static Record record;
        return record;
    }
};
