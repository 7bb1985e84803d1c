#pragma once

// Shared set-up of the calibration device tests: short waits, opening a device against a
// simulator in a worker thread (as the product's workers do) while this thread serves the peer.
#include "comm/CommTiming.h"
#include "comm/Device.h"
#include "comm/ToolComm.h"
#include "support/InstrumentSimulator.h"
#include "support/WorkerCall.h"

#include <QTest>

// Waits of milliseconds; replies that should come have a generous 600 ms.
inline CommTiming fastTiming()
{
    CommTiming t;
    t.connectPollMs = 5;
    t.connectPolls = 400;
    t.bathConnectPolls = 400;
    t.lineReplyPollMs = 2;
    t.dryWellReplyPolls = 300;
    t.bathReplyPolls = 300;
    t.dryWellPauseMs = 1;
    t.thermometerPauseMs = 50;
    t.readingPollMs = 2;
    t.readingPolls = 300;
    return t;
}

// Opens the device over TCP to the simulator; on success returns once the simulator has taken
// the connection, so that what it sends next reaches the device.
inline bool openOverTcp(Device &device, InstrumentSimulator &sim, QString &sn)
{
    const QString port = QString::number(sim.listen());
    return resultInWorker([&]() { return device.Open(ToolComm::TcpText, QStringLiteral("127.0.0.1"), port, sn); })
        && QTest::qWaitFor([&]() { return sim.linked(); }, 5000);
}

inline bool closeInWorker(Device &device)
{
    return resultInWorker([&]() { return device.Close(); });
}
