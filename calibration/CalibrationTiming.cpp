#include "calibration/CalibrationTiming.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex timingMutex;
CalibrationTiming currentTiming;
}

CalibrationTiming CalibrationTiming::get()
{
    QMutexLocker lock(&timingMutex);
    return currentTiming;
}

void CalibrationTiming::set(const CalibrationTiming &timing)
{
    QMutexLocker lock(&timingMutex);
    currentTiming = timing;
}
