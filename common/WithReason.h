#pragma once

#include <QString>

// A message for a box, and the reason (a path, the system's or the database's words) on a line
// of its own when there is one.
inline QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QLatin1Char('\n') + reason;
}
