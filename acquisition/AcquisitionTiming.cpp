#include "acquisition/AcquisitionTiming.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex timingMutex;
AcquisitionTiming currentTiming;
}

AcquisitionTiming AcquisitionTiming::get()
{
    QMutexLocker lock(&timingMutex);
    return currentTiming;
}

void AcquisitionTiming::set(const AcquisitionTiming &timing)
{
    QMutexLocker lock(&timingMutex);
    currentTiming = timing;
}
