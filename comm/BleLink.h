#pragma once

#include <QByteArray>
#include <QObject>

// The open Bluetooth LE link of a transport: a write characteristic that takes at most ChunkSize
// bytes per write (no larger MTU is negotiated) and a notify characteristic whose values come back
// through Received. Lost tells that the link broke. The transport owns the link; the real one
// wraps the device's service (BleServiceLink), tests put a stand-in in its place.
class BleLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int ChunkSize = 20;

    using QObject::QObject;
    // Writes one chunk of 1 to ChunkSize bytes.
    virtual void WriteChunk(const QByteArray &chunk) = 0;

signals:
    void Received(const QByteArray &data);
    void Lost();
};
