#include "comm/BleServiceLink.h"

#include <QDebug>
#include <QLowEnergyDescriptor>
#include <QLowEnergyService>

BleServiceLink::BleServiceLink(QLowEnergyService *service, const QLowEnergyCharacteristic &notify,
                               const QLowEnergyCharacteristic &write, QObject *parent)
    : BleLink(parent), m_service(service), m_notify(notify), m_write(write)
{
    service->setParent(this);
    connect(service, &QLowEnergyService::characteristicChanged, this,
            [this](const QLowEnergyCharacteristic &c, const QByteArray &value) {
                if (c.uuid() == m_notify.uuid())
                    emit Received(value);
            });
    connect(service, QOverload<QLowEnergyService::ServiceError>::of(&QLowEnergyService::error), this,
            [this](QLowEnergyService::ServiceError error) {
                qWarning() << "BleServiceLink: Bluetooth LE service error" << error;
                emit Lost();
            });
    const QLowEnergyDescriptor config = notify.descriptor(QBluetoothUuid::ClientCharacteristicConfiguration);
    if (config.isValid()) {
        const bool indicate = !(notify.properties() & QLowEnergyCharacteristic::Notify);
        service->writeDescriptor(config, QByteArray::fromHex(indicate ? "0200" : "0100"));
    }
}

void BleServiceLink::WriteChunk(const QByteArray &chunk)
{
    const auto mode = (m_write.properties() & QLowEnergyCharacteristic::WriteNoResponse)
        ? QLowEnergyService::WriteWithoutResponse
        : QLowEnergyService::WriteWithResponse;
    m_service->writeCharacteristic(m_write, chunk, mode);
}
