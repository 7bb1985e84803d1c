#pragma once

#include "comm/BleLink.h"

#include <QByteArray>
#include <QList>

// A Bluetooth LE link without a radio: records each chunk written; tests emit Received and Lost
// themselves to play the device.
class FakeBleLink : public BleLink
{
    Q_OBJECT
public:
    using BleLink::BleLink;
    void WriteChunk(const QByteArray &chunk) override { Chunks.append(chunk); }

    QList<QByteArray> Chunks;
};
