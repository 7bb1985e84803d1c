#pragma once

#include "common/TimingSeam.h"

#include <QtGlobal>

#include <functional>

// The fixed waits of the on-line acquisition. The shipped program keeps the defaults; tests
// shorten them through set() before the objects that read them are created.
struct AcquisitionTiming : TimingSeam<AcquisitionTiming> {
    // Alarm mail: connection, TLS handshake, each server reply, and the reply to the closing quit.
    int MailConnectMs = 30000;
    int MailHandshakeMs = 30000;
    int MailReplyMs = 30000;
    int MailQuitMs = 1000;
    // How long closing a run waits for alarm mails still on their way before it cancels them.
    int MailCloseGraceMs = 5000;
    // Least time between two appends to the daily CSV files.
    qint64 CsvFlushMs = 1200 * 1000;
    // Acquisition run: the display tick that drains the sample queue, the pause between two looks
    // at the start time, the pause between two looks at the stop and waiting flags during a
    // recovery, and how long the instruments stay closed before they are reconnected.
    int DisplayTickMs = 1000;
    int SetupPollMs = 10;
    int RecoveryPollMs = 100;
    int ReconnectDelayMs = 25000;
    // Sample store: how long one try waits for another program's write lock, and the pause
    // before samples it refused are tried again.
    int StoreLockWaitMs = 1000;
    int StoreRetryMs = 500;
    // Tests only: called by the sample store before each transaction, where a test plants a
    // fault; empty in the shipped program.
    std::function<void()> BeforeStore;
};
