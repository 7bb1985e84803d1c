#pragma once

#include <QtGlobal>

// The fixed waits of the on-line acquisition. The shipped program keeps the defaults; tests
// shorten them through set() before the objects that read them are created.
struct AcquisitionTiming {
    // Alarm mail: connection, TLS handshake, each server reply, and the reply to the closing quit.
    int MailConnectMs = 30000;
    int MailHandshakeMs = 30000;
    int MailReplyMs = 30000;
    int MailQuitMs = 1000;
    // Least time between two appends to the daily CSV files.
    qint64 CsvFlushMs = 1200 * 1000;

    static AcquisitionTiming get();
    static void set(const AcquisitionTiming &timing);
};
