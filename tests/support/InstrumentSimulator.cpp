#include "support/InstrumentSimulator.h"

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

#include <cstring>

namespace {
const QByteArray StartFrame = QByteArray::fromHex("0405020003");
const QByteArray StopFrame = QByteArray::fromHex("0405010101");
}

InstrumentSimulator::InstrumentSimulator(Dialect dialect, QObject *parent)
    : QObject(parent), m_dialect(dialect), m_stream(new QTimer(this))
{
    identity = dialect == Dialect::Bath ? QStringLiteral("B-2041") : QStringLiteral("KOVRA-ELEC,QNLK-350H,D1234,V1.2");
    connect(m_stream, &QTimer::timeout, this, [this]() { send(frame(temperature.toFloat())); });
}

InstrumentSimulator::~InstrumentSimulator()
{
    dropLink();
}

quint16 InstrumentSimulator::listen()
{
    m_server = new QTcpServer(this);
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        return 0;
    connect(m_server, &QTcpServer::newConnection, this, [this]() {
        while (QTcpSocket *socket = m_server->nextPendingConnection())
            adopt(socket);
    });
    return m_server->serverPort();
}

bool InstrumentSimulator::attach(const QString &portName)
{
    m_serial = new QSerialPort(portName, this);
    if (!m_serial->open(QIODevice::ReadWrite))
        return false;
    adopt(m_serial);
    return true;
}

void InstrumentSimulator::adopt(QIODevice *device)
{
    if (m_device && m_device != device)
        m_device->close();
    m_device = device;
    m_pending.clear();
    connect(device, &QIODevice::readyRead, this, &InstrumentSimulator::onReadyRead);
}

void InstrumentSimulator::dropLink()
{
    m_stream->stop();
    m_streaming = false;
    if (auto *socket = qobject_cast<QTcpSocket *>(m_device.data()))
        socket->abort();
    else if (m_device)
        m_device->close();
}

bool InstrumentSimulator::linked() const
{
    if (auto *socket = qobject_cast<QTcpSocket *>(m_device.data()))
        return socket->state() == QAbstractSocket::ConnectedState;
    return m_device && m_device->isOpen();
}

void InstrumentSimulator::script(const QString &command, const QList<QByteArray> &answers)
{
    m_script[command].append(answers);
}

void InstrumentSimulator::send(const QByteArray &bytes)
{
    if (m_device && m_device->isOpen())
        m_device->write(bytes);
}

QByteArray InstrumentSimulator::frame(float t)
{
    QByteArray bytes(24, '\0');
    bytes[0] = 0x17;
    bytes[1] = 0x05;
    quint32 bits = 0;
    std::memcpy(&bits, &t, sizeof bits);
    qToBigEndian(bits, bytes.data() + 18);
    bytes[23] = char(0x5a);
    return bytes;
}

void InstrumentSimulator::onReadyRead()
{
    const QByteArray chunk = m_device->readAll();
    received += chunk;
    m_pending += chunk;
    if (m_dialect == Dialect::Thermometer) {
        onFrames();
        return;
    }
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QString command = QString::fromLatin1(m_pending.left(end));
        m_pending.remove(0, end + 1);
        if (command.endsWith(QLatin1Char('\r')))
            command.chop(1);
        onCommand(command);
    }
}

void InstrumentSimulator::onFrames()
{
    while (m_pending.size() >= 5) {
        const QByteArray command = m_pending.left(5);
        m_pending.remove(0, 5);
        if (command == StartFrame) {
            m_streaming = true;
            if (streamMs > 0)
                m_stream->start(streamMs);
        } else if (command == StopFrame) {
            m_streaming = false;
            m_stream->stop();
        }
    }
}

void InstrumentSimulator::onCommand(const QString &command)
{
    commands.append(command);
    QList<QByteArray> &queued = m_script[command];
    const QByteArray bytes = !queued.isEmpty() ? queued.takeFirst() : defaultAnswer(command);
    if (silent || bytes.isEmpty())
        return;
    const bool drop = command == dropAfter;
    if (delayMs > 0)
        QTimer::singleShot(delayMs, this, [this, bytes, drop]() { answer(bytes, drop); });
    else
        answer(bytes, drop);
}

QByteArray InstrumentSimulator::defaultAnswer(const QString &command)
{
    const bool bath = m_dialect == Dialect::Bath;
    QString reply;
    if (bath ? command.startsWith(QLatin1String("s=")) : command.startsWith(QLatin1String("s ")))
        setPoint = command.mid(2);
    else if (command == QLatin1String("s"))
        reply = bath ? QStringLiteral("set: %1 C").arg(setPoint) : setPoint;
    else if (command == QLatin1String(bath ? "sn" : "*IDN?"))
        reply = bath ? QStringLiteral("sn:") + identity : identity;
    else if (bath ? command == QLatin1String("r") : (command == QLatin1String("t") || command == QLatin1String("READ?")))
        reply = bath ? QStringLiteral("r: %1 C").arg(temperature) : temperature;
    else if (command == QLatin1String(bath ? "st" : "SOUR1:STAB:TEST?"))
        reply = bath ? QStringLiteral("st:") + stability : stability;
    return reply.isEmpty() ? QByteArray() : reply.toLatin1() + "\r\n";
}

void InstrumentSimulator::answer(const QByteArray &bytes, bool drop)
{
    if (splitAt <= 0 || splitAt >= bytes.size()) {
        send(bytes);
        if (drop)
            hangUp();
        return;
    }
    send(bytes.left(splitAt));
    const QByteArray rest = bytes.mid(splitAt);
    QTimer::singleShot(splitGapMs, this, [this, rest, drop]() {
        send(rest);
        if (drop)
            hangUp();
    });
}

void InstrumentSimulator::hangUp()
{
    if (auto *socket = qobject_cast<QTcpSocket *>(m_device.data())) {
        socket->disconnectFromHost(); // after the pending bytes, unlike dropLink's abort
    } else if (m_device) {
        m_device->waitForBytesWritten(1000);
        m_device->close();
    }
}
