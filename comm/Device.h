#pragma once

#include <QObject>
#include <QString>

// Common interface of every instrument object: acquisition drivers, temperature sources and
// reference thermometers. Operations block the calling thread and are called from worker
// threads; each reports failure by returning false.
class Device : public QObject
{
    Q_OBJECT
public:
    explicit Device(QObject *parent = nullptr) : QObject(parent) {}
    ~Device() override = default;

    // Opens the connection of the given type ("串口", "网络", "蓝牙") to address (port name or
    // host) with parameter (baud rate or TCP port) and identifies the instrument. On success
    // text receives the instrument's serial number, on failure a short error message.
    virtual bool Open(const QString &type, const QString &address, const QString &parameter,
                      QString &text) = 0;
    // Closes the connection; true when it is closed.
    virtual bool Close() = 0;
    // Whether the connection is open.
    virtual bool IsOpen() = 0;
};
