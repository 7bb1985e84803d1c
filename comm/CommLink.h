#pragma once

#include <QByteArray>

class QObject;
class QThread;
class ToolComm;

// The transport side of an instrument object: creates the ToolComm and its thread, moves the
// transport into the thread, connects the owner's signals
//     Open_signals(QString,QString,int), Write_signals(QByteArray), Close_signals()
// to the transport's Open_slots, Write_slots and Close_slots, lets the thread's finished signal
// delete the transport, and starts the thread. Destroying the link quits the thread and waits
// for it, so the transport is gone when the destructor returns.
//
// Every instrument object that talks over a transport (acquisition drivers, temperature
// sources, reference thermometers) holds one as a member and declares the three signals.
//
// In pass-through mode the transport keeps no receive buffer: each received chunk goes out by
// ToolComm::Read_signals to the owner's slot ReadData_slots(QByteArray), delivered queued into
// the owner's thread.
class CommLink
{
public:
    enum class Mode { Buffered, Passthrough };

    explicit CommLink(QObject *owner, Mode mode = Mode::Buffered);
    ~CommLink();
    CommLink(const CommLink &) = delete;
    CommLink &operator=(const CommLink &) = delete;

    ToolComm *Comm() const { return m_comm; }
    QThread *Thread() const { return m_thread; }

    // The transport's connected flag.
    bool IsConnected() const;
    // Empties the transport's receive buffer (under its mutex).
    void ClearBuffer();
    // A copy of the transport's receive buffer (under its mutex); the buffer is unchanged.
    QByteArray GetBuffer() const;

    // Tests the connected flag up to `polls` times, CommTiming::connectPollMs apart, and
    // returns true as soon as it equals `connected`.
    bool WaitConnected(bool connected, int polls) const;

private:
    QThread *m_thread = nullptr;
    ToolComm *m_comm = nullptr;
};
