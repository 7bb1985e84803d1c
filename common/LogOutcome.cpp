#include "common/LogOutcome.h"

namespace {
thread_local LogOutcome::Count t_count;
}

void LogOutcome::start()
{
    t_count = Count();
}

LogOutcome::Count LogOutcome::count()
{
    return t_count;
}

void LogOutcome::note(const QString &file, const QString &error)
{
    t_count.file = file;
    if (error.isEmpty()) {
        ++t_count.written;
        return;
    }
    ++t_count.failed;
    t_count.error = error;
}
