#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

// Seconds typed or stored as decimal texts become whole milliseconds by rounding to the nearest
// millisecond (2.01 s is 2010 ms, not the 2009 ms that truncating 2009.9999... would give).
// Returns -1 for a value that is not a finite number, is negative, or lies beyond 64 bits.
inline qint64 secondsToMilliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        return -1;
    const double ms = std::round(seconds * 1000.0);
    if (ms >= 9.0e18)
        return -1;
    return qint64(ms);
}

// The same, limited to what an int holds: -1 when the rounded value is below 1 ms or beyond INT_MAX.
inline int secondsToIntervalMs(double seconds)
{
    const qint64 ms = secondsToMilliseconds(seconds);
    if (ms < 1 || ms > std::numeric_limits<int>::max())
        return -1;
    return int(ms);
}
