#include "comm/CommTiming.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex &timingMutex()
{
    static QMutex mutex;
    return mutex;
}

CommTiming &timingRecord()
{
    static CommTiming record;
    return record;
}
}

CommTiming CommTiming::get()
{
    QMutexLocker lock(&timingMutex());
    return timingRecord();
}

void CommTiming::set(const CommTiming &timing)
{
    QMutexLocker lock(&timingMutex());
    timingRecord() = timing;
}

void CommTiming::reset()
{
    set(CommTiming());
}
