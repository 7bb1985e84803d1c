#pragma once

#include "comm/BleLink.h"

#include <QLowEnergyCharacteristic>

class QLowEnergyService;

// The Bluetooth LE link over a discovered service of the device: takes the service over, switches
// its notify (or indicate) characteristic on, passes its values on and writes chunks on the write
// characteristic (without response when the characteristic offers it).
class BleServiceLink : public BleLink
{
    Q_OBJECT
public:
    BleServiceLink(QLowEnergyService *service, const QLowEnergyCharacteristic &notify,
                   const QLowEnergyCharacteristic &write, QObject *parent = nullptr);

    void WriteChunk(const QByteArray &chunk) override;

private:
    QLowEnergyService *m_service;
    QLowEnergyCharacteristic m_notify;
    QLowEnergyCharacteristic m_write;
};
