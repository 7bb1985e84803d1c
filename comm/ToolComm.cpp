#include "comm/ToolComm.h"

#include "comm/BleServiceLink.h"
#include "comm/CommTiming.h"
#include "common/PlainIni.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QBluetoothLocalDevice>
#include <QDebug>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QMutexLocker>
#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>

ToolComm::ToolComm(QObject *parent) : QObject(parent) {}

ToolComm::~ToolComm()
{
    // Children (port, socket, controller, services, link agent) go with the object.
    m_connected.store(false);
    // The search agent belongs to the thread that asked for the search.
    if (m_searchAgent) {
        if (m_searchAgent->thread() == QThread::currentThread())
            delete m_searchAgent;
        else
            m_searchAgent->deleteLater();
    }
}

void ToolComm::ClearBuffer()
{
    QMutexLocker lock(&m_mutex);
    m_buffer.clear();
}

QByteArray ToolComm::TakeBuffer() const
{
    QMutexLocker lock(&m_mutex);
    return m_buffer;
}

QString ToolComm::LastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}

void ToolComm::Failed(const QString &words)
{
    qWarning() << "ToolComm:" << words;
    QMutexLocker lock(&m_mutex);
    m_lastError = words;
}

void ToolComm::Received(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    if (m_passthrough.load()) {
        emit Read_signals(data);
        return;
    }
    QMutexLocker lock(&m_mutex);
    m_buffer.append(data);
}

void ToolComm::Open_slots(QString type, QString address, int parameter)
{
    Close_slots();
    {
        QMutexLocker lock(&m_mutex);
        m_lastError.clear();
    }
    if (type == SerialText)
        OpenSerial(address, parameter);
    else if (type == TcpText)
        OpenTcp(address, parameter);
    else if (type == BleText)
        OpenBle(address.isEmpty() ? BleConfigName() : address);
    else
        Failed(QStringLiteral("unknown connection type %1").arg(type));
}

void ToolComm::OpenSerial(const QString &port, int baud)
{
    m_type.store(Type::Serial);
    m_serial = new QSerialPort(this);
    m_serial->setPortName(port);
    if (baud <= 0 || !m_serial->setBaudRate(baud)) {
        Failed(QStringLiteral("invalid baud rate %1 for %2").arg(baud).arg(port));
        Close_slots();
        return;
    }
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    connect(m_serial, &QSerialPort::readyRead, this, [this]() {
        if (m_serial)
            Received(m_serial->readAll());
    });
    connect(m_serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // A port that disappears ends the link: an unplugged adapter reports a resource error, a
        // closed pseudo-terminal a read error on every read notification.
        if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError
            || error == QSerialPort::ReadError) {
            Failed(m_serial ? m_serial->errorString() : QStringLiteral("serial port error"));
            ConnectionLost();
        }
    });
    if (!m_serial->open(QIODevice::ReadWrite)) {
        Failed(QStringLiteral("%1: %2").arg(port, m_serial->errorString()));
        Close_slots();
        return;
    }
    m_connected.store(true);
}

void ToolComm::OpenTcp(const QString &host, int port)
{
    m_type.store(Type::Tcp);
    if (port <= 0 || port > 65535) {
        Failed(QStringLiteral("invalid port %1 for %2").arg(port).arg(host));
        Close_slots();
        return;
    }
    m_tcp = new QTcpSocket(this);
    connect(m_tcp, &QTcpSocket::readyRead, this, [this]() {
        if (m_tcp)
            Received(m_tcp->readAll());
    });
    connect(m_tcp, &QTcpSocket::connected, this, [this]() { m_connected.store(true); });
    connect(m_tcp, &QTcpSocket::disconnected, this, [this]() { m_connected.store(false); });
    connect(m_tcp, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        Failed(m_tcp ? m_tcp->errorString() : QStringLiteral("TCP error"));
        if (m_tcp && m_tcp->state() != QAbstractSocket::ConnectedState)
            m_connected.store(false);
    });
    m_tcp->connectToHost(host, quint16(port));
}

void ToolComm::Write_slots(QByteArray data)
{
    if (!m_connected.load()) {
        qWarning() << Q_FUNC_INFO << "write on a closed connection dropped," << data.size() << "bytes";
        return;
    }
    switch (m_type.load()) {
    case Type::Serial:
        if (m_serial && m_serial->write(data) != data.size())
            qWarning() << Q_FUNC_INFO << "serial write failed" << m_serial->errorString();
        break;
    case Type::Tcp:
        if (m_tcp && m_tcp->write(data) != data.size())
            qWarning() << Q_FUNC_INFO << "TCP write failed" << m_tcp->errorString();
        break;
    case Type::Ble:
        WriteBle(data);
        break;
    case Type::None:
        break;
    }
}

void ToolComm::Close_slots()
{
    m_connected.store(false);
    if (m_serial) {
        QSerialPort *port = m_serial;
        m_serial = nullptr;
        port->disconnect(this);
        port->close();
        port->deleteLater();
    }
    if (m_tcp) {
        QTcpSocket *socket = m_tcp;
        m_tcp = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    if (m_bleAgent) {
        m_bleAgent->disconnect(this);
        m_bleAgent->stop();
        m_bleAgent->deleteLater();
        m_bleAgent = nullptr;
    }
    for (QLowEnergyService *service : qAsConst(m_bleCandidates)) {
        service->disconnect(this);
        service->deleteLater();
    }
    m_bleCandidates.clear();
    if (m_bleLink) {
        m_bleLink->disconnect(this);
        m_bleLink->deleteLater();
        m_bleLink = nullptr;
    }
    if (m_bleController) {
        m_bleController->disconnect(this);
        m_bleController->disconnectFromDevice();
        m_bleController->deleteLater();
        m_bleController = nullptr;
    }
    m_type.store(Type::None);
}

void ToolComm::ConnectionLost()
{
    m_connected.store(false);
    // A port whose line is gone keeps signalling until it is closed; Close_slots or the next
    // Open_slots frees it.
    if (m_serial && m_serial->isOpen())
        m_serial->close();
}

// --- Bluetooth LE ----------------------------------------------------------------------

QString ToolComm::BleConfigName()
{
    return readPlainIni(QStringLiteral("BLE.ini")).value(QStringLiteral("Config/Name"));
}

bool ToolComm::BleOpenSearch()
{
    const QList<QBluetoothHostInfo> hosts = QBluetoothLocalDevice::allDevices();
    if (hosts.isEmpty())
        return false;
    QBluetoothLocalDevice local(hosts.first().address());
    if (!local.isValid() || local.hostMode() == QBluetoothLocalDevice::HostPoweredOff)
        return false;
    if (!m_searchAgent) {
        // Made in the caller's thread, which is not the transport's: no parent across threads.
        m_searchAgent = new QBluetoothDeviceDiscoveryAgent(hosts.first().address());
        m_searchAgent->setLowEnergyDiscoveryTimeout(0); // runs until the transport goes
    }
    if (!m_searchAgent->isActive())
        m_searchAgent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    return m_searchAgent->error() == QBluetoothDeviceDiscoveryAgent::NoError;
}

QStringList ToolComm::BleStartSearch()
{
    QStringList names;
    if (!BleOpenSearch())
        return names;
    const QList<QBluetoothDeviceInfo> seen = m_searchAgent->discoveredDevices();
    for (const QBluetoothDeviceInfo &info : seen) {
        if ((info.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration)
            && !info.name().isEmpty() && !names.contains(info.name()))
            names.append(info.name());
    }
    const QString stored = BleConfigName();
    if (!stored.isEmpty() && !names.contains(stored))
        names.append(stored);
    return names;
}

void ToolComm::OpenBle(const QString &name)
{
    m_type.store(Type::Ble);
    m_bleName = name;
    if (name.isEmpty()) {
        Failed(QStringLiteral("no Bluetooth LE device name"));
        Close_slots();
        return;
    }
    m_bleAgent = new QBluetoothDeviceDiscoveryAgent(this);
    m_bleAgent->setLowEnergyDiscoveryTimeout(CommTiming::get().bleDiscoveryMs);
    connect(m_bleAgent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this, &ToolComm::BleDeviceFound);
    connect(m_bleAgent, QOverload<QBluetoothDeviceDiscoveryAgent::Error>::of(&QBluetoothDeviceDiscoveryAgent::error),
            this, [this](QBluetoothDeviceDiscoveryAgent::Error) {
                Failed(m_bleAgent ? m_bleAgent->errorString() : QStringLiteral("Bluetooth LE search failed"));
            });
    connect(m_bleAgent, &QBluetoothDeviceDiscoveryAgent::finished, this, [this]() {
        if (!m_bleController)
            Failed(QStringLiteral("Bluetooth LE device not found: %1").arg(m_bleName));
    });
    m_bleAgent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void ToolComm::BleDeviceFound(const QBluetoothDeviceInfo &info)
{
    if (m_bleController || info.name() != m_bleName
        || !(info.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration))
        return;
    m_bleAgent->stop();
    m_bleController = QLowEnergyController::createCentral(info, this);
    connect(m_bleController, &QLowEnergyController::connected, this, [this]() {
        m_bleController->discoverServices();
    });
    connect(m_bleController, &QLowEnergyController::discoveryFinished, this, &ToolComm::BleServicesFound);
    connect(m_bleController, &QLowEnergyController::disconnected, this, &ToolComm::ConnectionLost);
    connect(m_bleController, QOverload<QLowEnergyController::Error>::of(&QLowEnergyController::error),
            this, [this](QLowEnergyController::Error) {
                Failed(m_bleController ? m_bleController->errorString() : QStringLiteral("Bluetooth LE link error"));
                ConnectionLost();
            });
    m_bleController->connectToDevice();
}

void ToolComm::BleServicesFound()
{
    // Services are examined one after the other in the order the device lists them, so the
    // first suitable one wins whatever the order in which their details arrive.
    const QList<QBluetoothUuid> uuids = m_bleController->services();
    for (const QBluetoothUuid &uuid : uuids) {
        if (QLowEnergyService *service = m_bleController->createServiceObject(uuid, this))
            m_bleCandidates.append(service);
    }
    BleNextService();
}

void ToolComm::BleNextService()
{
    if (m_bleCandidates.isEmpty()) {
        qWarning() << "ToolComm: no service with notify and write characteristics on" << m_bleName;
        return;
    }
    QLowEnergyService *service = m_bleCandidates.first();
    connect(service, &QLowEnergyService::stateChanged, this, [this, service](QLowEnergyService::ServiceState state) {
        if (state == QLowEnergyService::ServiceDiscovered && !m_bleCandidates.isEmpty()
            && m_bleCandidates.first() == service)
            BleServiceReady();
    });
    connect(service, QOverload<QLowEnergyService::ServiceError>::of(&QLowEnergyService::error),
            this, [this, service](QLowEnergyService::ServiceError error) {
                qWarning() << "ToolComm: Bluetooth LE service error" << error;
                if (!m_bleCandidates.isEmpty() && m_bleCandidates.first() == service) {
                    m_bleCandidates.removeFirst();
                    service->deleteLater();
                    BleNextService();
                }
            });
    service->discoverDetails();
}

void ToolComm::BleServiceReady()
{
    QLowEnergyService *service = m_bleCandidates.takeFirst();
    QLowEnergyCharacteristic notify, write;
    const QList<QLowEnergyCharacteristic> characteristics = service->characteristics();
    for (const QLowEnergyCharacteristic &c : characteristics) {
        const auto props = c.properties();
        if (!notify.isValid() && (props & (QLowEnergyCharacteristic::Notify | QLowEnergyCharacteristic::Indicate)))
            notify = c;
        if (!write.isValid() && (props & (QLowEnergyCharacteristic::Write | QLowEnergyCharacteristic::WriteNoResponse)))
            write = c;
    }
    if (!notify.isValid() || !write.isValid()) {
        service->disconnect(this);
        service->deleteLater();
        BleNextService();
        return;
    }
    for (QLowEnergyService *other : qAsConst(m_bleCandidates))
        other->deleteLater();
    m_bleCandidates.clear();
    service->disconnect(this);
    AttachBle(new BleServiceLink(service, notify, write));
}

void ToolComm::AttachBle(BleLink *link)
{
    link->setParent(this);
    m_bleLink = link;
    m_type.store(Type::Ble);
    connect(link, &BleLink::Received, this, &ToolComm::Received);
    connect(link, &BleLink::Lost, this, &ToolComm::ConnectionLost);
    m_connected.store(true);
}

void ToolComm::WriteBle(const QByteArray &data)
{
    if (!m_bleLink)
        return;
    for (int offset = 0; offset < data.size(); offset += BleLink::ChunkSize)
        m_bleLink->WriteChunk(data.mid(offset, BleLink::ChunkSize));
}
