#pragma once

#include "common/TimingSeam.h"

#include <QtGlobal>

// The fixed waits of a calibration run. The shipped program keeps the defaults; tests shorten them
// through set() before the run dialog is started (the dialog takes a copy when it starts).
struct CalibrationTiming : TimingSeam<CalibrationTiming> {
    // The run flag is looked at between sleeps of this length during the source's waits.
    int PollMs = 100;
    // Least time between two stability queries of the source.
    int StabilityQueryMs = 10000;
    // One minute of the stability delay.
    qint64 MinuteMs = 60000;
    // Pause after closing the instrument at the end of a manual run.
    int CloseSettleMs = 500;
    // Between two attempts to store a run that a save could not store.
    int PendingRetryMs = 5000;
};
