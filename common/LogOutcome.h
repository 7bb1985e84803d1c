#pragma once

#include <QString>

// What became of the messages one thread handed to the program's log handler. The handler notes
// every message it was given, in the thread that raised it: written and flushed to the day's log
// file, or not (with the file and the system's words). Code that must know whether its lines
// reached the file (a record kept only there) starts a count, raises its messages and reads the
// count back. Without the program's handler installed nothing is noted: no line counts as
// written.
//
//   LogOutcome::start();
//   qWarning() << ...;                     // the lines to keep
//   const LogOutcome::Count count = LogOutcome::count();
//   if (count.written == lines && count.failed == 0) ...
class LogOutcome
{
public:
    struct Count {
        int written = 0;   // lines written and flushed to the file
        int failed = 0;    // lines the file did not take
        QString file;      // absolute path of the file last tried
        QString error;     // the system's words for the last failure
    };

    // Starts a new count for the calling thread.
    static void start();
    // The calling thread's count since its start().
    static Count count();
    // The handler's note about one message of the calling thread; an empty error means written.
    static void note(const QString &file, const QString &error);
};
