#pragma once

#include "common/WithReason.h"
#include "store/Tool.h"

#include <QString>

// A box's message for a failed change of the store, with the reason on a second line: that
// another program holds the database and nothing was changed, or else the database's own words
// ("database disk image is malformed"), as this thread's last failed statement gave them.
inline QString withStoreReason(const QString &message)
{
    return Tool::lastFailureWasLock() ? Tool::withLockNote(message) : withReason(message, Tool::lastFailureText());
}
