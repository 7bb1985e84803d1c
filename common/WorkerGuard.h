#pragma once

#include <QDebug>

#include <exception>
#include <new>
#include <string>
#include <type_traits>

// Runs the body of a worker thread so that no exception leaves the thread (which would end the
// whole process and lose every row not yet written). An escaping exception is logged with the
// worker's name and turns into a failed result. The body returns bool (its own success) or void.
template <class Body>
bool runGuarded(const char *worker, Body &&body) noexcept
{
    const char *reason = nullptr;
    std::string detail;
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return true;
        } else {
            return bool(body());
        }
    } catch (const std::bad_alloc &) {
        reason = "ran out of memory";
    } catch (const std::exception &e) {
        reason = "stopped by an exception:";
        try { detail = e.what(); } catch (...) {}
    } catch (...) {
        reason = "stopped by an unknown exception";
    }
    // Logging allocates; when memory is what ran out, the failure result still stands.
    try {
        qWarning().noquote() << worker << reason << QString::fromStdString(detail)
                             << "- the work ends as a failure";
    } catch (...) {
    }
    return false;
}
