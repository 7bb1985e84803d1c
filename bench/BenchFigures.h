#pragma once

#include <QByteArray>
#include <QFile>

#include <cstdio>

// One figure per line, "<figure>: <number> <unit>" with the given decimals, flushed at once.
inline void figure(const char *name, double value, const char *unit, int decimals = 2)
{
    std::printf("%s: %.*f %s\n", name, decimals, value, unit);
    std::fflush(stdout);
}

// Memory figures of the benchmark process, in MB, from /proc/self/status (-1 when unreadable).
inline double statusMegabytes(const char *key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// The high-water mark of the resident size (VmHWM) and the resident size now (VmRSS).
inline double peakRss() { return statusMegabytes("VmHWM:"); }
inline double currentRss() { return statusMegabytes("VmRSS:"); }

// The high-water mark starts again from the current resident size; false when it cannot.
inline bool resetPeakRss()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}
