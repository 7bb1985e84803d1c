#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class BleLink;
class QBluetoothDeviceDiscoveryAgent;
class QBluetoothDeviceInfo;
class QLowEnergyController;
class QLowEnergyService;
class QSerialPort;
class QTcpSocket;

// The transport of one instrument: a serial port, a TCP socket or a Bluetooth LE link.
// Its owner creates it without a parent, moves it into a thread of its own and drives it only
// through the three slots (queued calls from the owner's signals). Received bytes are appended
// to a receive buffer under a mutex, which callers in any thread clear and copy; in
// pass-through mode each received chunk is emitted by Read_signals instead.
class ToolComm : public QObject
{
    Q_OBJECT
public:
    enum class Type { None, Serial, Tcp, Ble };

    // Connection type texts shared by drivers, records and dialogs.
    static inline const QString SerialText = QStringLiteral("串口");
    static inline const QString TcpText = QStringLiteral("网络");
    static inline const QString BleText = QStringLiteral("蓝牙");

    explicit ToolComm(QObject *parent = nullptr);
    ~ToolComm() override;

    // The connected flag; safe to read from any thread.
    bool IsConnected() const { return m_connected.load(); }
    Type ConnectionType() const { return m_type.load(); }

    // The system's words for the last failure of the connection (the port could not be opened,
    // the peer refused, the link was lost); empty after a connection came up and nothing failed
    // since. Cleared by each Open_slots. Safe to read from any thread.
    QString LastError() const;

    // Empties the receive buffer.
    void ClearBuffer();
    // A copy of the receive buffer; the buffer keeps its content.
    QByteArray TakeBuffer() const;

    // When on, received chunks go out through Read_signals and the buffer stays untouched.
    void SetPassthrough(bool on) { m_passthrough.store(on); }
    bool IsPassthrough() const { return m_passthrough.load(); }

    // Starts a Bluetooth LE search and returns at once: the names of the devices seen so far,
    // followed by the name in "BLE.ini" when it is set and not yet listed. Without a usable
    // adapter no search starts and the list is empty, the "BLE.ini" name included.
    QStringList BleStartSearch();
    // The device name stored in "BLE.ini" (working directory) under "/Config/Name", read as plain
    // text.
    static QString BleConfigName();

    // Takes the open Bluetooth LE link (made while opening a "蓝牙" connection) over: from now on
    // writes go out on it in chunks, its values are received, its loss ends the connection. Called
    // in the transport's thread.
    void AttachBle(BleLink *link);

public slots:
    // Opens the connection named by type: "串口" (address = port name or device path,
    // parameter = baud rate, 8N1, no flow control), "网络" (address = host, parameter = port)
    // or "蓝牙" (address = device name; when empty, the "BLE.ini" name). An open connection is
    // closed first. The connected flag is set once the connection is up.
    void Open_slots(QString type, QString address, int parameter);
    // Writes the bytes on the open connection.
    void Write_slots(QByteArray data);
    // Closes the connection and clears the connected flag.
    void Close_slots();

signals:
    // One received chunk, in pass-through mode only.
    void Read_signals(QByteArray data);

private:
    void Received(const QByteArray &data);
    void OpenSerial(const QString &port, int baud);
    void OpenTcp(const QString &host, int port);
    void OpenBle(const QString &name);
    bool BleOpenSearch();
    void BleDeviceFound(const QBluetoothDeviceInfo &info);
    void BleServicesFound();
    void BleNextService();
    void BleServiceReady();
    void WriteBle(const QByteArray &data);
    void ConnectionLost();
    // Keeps the words of a failure for LastError and logs them.
    void Failed(const QString &words);

    std::atomic<bool> m_connected{false};
    std::atomic<Type> m_type{Type::None};
    std::atomic<bool> m_passthrough{false};

    mutable QMutex m_mutex;   // guards m_buffer and m_lastError
    QByteArray m_buffer;
    QString m_lastError;

    QSerialPort *m_serial = nullptr;
    QTcpSocket *m_tcp = nullptr;

    // Bluetooth LE link: search for the named device, connect, pick the first service that
    // offers a notify characteristic and a write characteristic.
    QString m_bleName;
    QBluetoothDeviceDiscoveryAgent *m_bleAgent = nullptr;
    QLowEnergyController *m_bleController = nullptr;
    QList<QLowEnergyService *> m_bleCandidates;
    BleLink *m_bleLink = nullptr;

    // Device search started by BleStartSearch (lives in the caller's thread).
    QBluetoothDeviceDiscoveryAgent *m_searchAgent = nullptr;
};
