// The transport in its thread, driven through an instrument object as the drivers drive it:
// TCP against a QTcpServer, serial over a socat pseudo-terminal pair, links broken by the peer,
// pass-through, Bluetooth LE without an adapter and over a stand-in link, and the thread ownership
// of the instrument object.
#include "comm/Collection.h"
#include "comm/CommTiming.h"
#include "comm/ToolComm.h"
#include "support/FakeBleLink.h"
#include "support/SocatPtyPair.h"
#include "support/WorkerCall.h"

#include <QBluetoothLocalDevice>
#include <QElapsedTimer>
#include <QPointer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
// An instrument speaking a line protocol: "SN?\n" is answered by the serial number and "\r\n".
class LineInstrument : public Collection
{
    Q_OBJECT
public:
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override
    {
        if (!OpenTransport(type, address, parameter)) {
            text = QStringLiteral("Open Error");
            return false;
        }
        ClearBuffer();
        emit Write_signals("SN?\n");
        const CommTiming timing = CommTiming::get();
        for (int i = 0; i < timing.replyPolls; ++i) {
            QThread::msleep(timing.replyPollMs);
            if (GetBuffer().endsWith('\n')) {
                text = QString::fromLatin1(GetBuffer()).trimmed();
                return IsOpen();
            }
        }
        emit Close_signals();
        text = QStringLiteral("Get SN Error");
        return false;
    }
    void Send(const QByteArray &data) { emit Write_signals(data); }
};

// The instrument's side of the wire: records what arrives and answers "SN?" in two chunks.
class Peer : public QObject
{
    Q_OBJECT
public:
    explicit Peer(QIODevice *device) : m_device(device)
    {
        connect(device, &QIODevice::readyRead, this, [this]() {
            received += m_device->readAll();
            while (received.contains("SN?\n")) {
                received.remove(received.indexOf("SN?\n"), 4);
                m_device->write("SN-");
                QTimer::singleShot(30, this, [this]() { m_device->write("4711\r\n"); });
            }
        });
    }
    QByteArray received;

private:
    QIODevice *m_device;
};

bool openInWorker(LineInstrument &instrument, const QString &type, const QString &address, const QString &parameter,
                  QString &text)
{
    return resultInWorker([&]() { return instrument.Open(type, address, parameter, text); });
}

bool closeInWorker(LineInstrument &instrument)
{
    return resultInWorker([&]() { return instrument.Close(); });
}

// On an open instrument: writes reach the peer; chunks are collected in the buffer and copying
// leaves it as it is; in pass-through each chunk goes out as it comes and nothing is buffered;
// close; reopen with the same texts.
void exchangeCloseReopen(LineInstrument &instrument, QIODevice *wire, Peer &peer)
{
    instrument.Send("MEAS?\n");
    QTRY_COMPARE(peer.received, QByteArray("MEAS?\n"));
    instrument.ClearBuffer();
    wire->write("12.5,");
    QTRY_COMPARE(instrument.GetBuffer(), QByteArray("12.5,"));
    wire->write("13.25\n");
    QTRY_COMPARE(instrument.GetBuffer(), QByteArray("12.5,13.25\n"));
    QCOMPARE(instrument.GetBuffer(), QByteArray("12.5,13.25\n"));
    instrument.ClearBuffer();

    QList<QByteArray> chunks;
    const auto tap = QObject::connect(instrument.Comm(), &ToolComm::Read_signals, &peer,
                                      [&](const QByteArray &chunk) { chunks.append(chunk); });
    instrument.Comm()->SetPassthrough(true);
    wire->write("\xAA\x01");
    QTRY_COMPARE(chunks.join(), QByteArray("\xAA\x01"));
    wire->write("\x02\x03");
    QTRY_COMPARE(chunks.join(), QByteArray("\xAA\x01\x02\x03"));
    QVERIFY(chunks.size() >= 2 && instrument.GetBuffer().isEmpty());
    instrument.Comm()->SetPassthrough(false); // the identification below needs the buffer again
    QObject::disconnect(tap);

    QVERIFY(closeInWorker(instrument));
    QVERIFY(!instrument.IsOpen());
    QString text;
    QVERIFY(resultInWorker([&]() { return instrument.Reconnect(text); }));
    QCOMPARE(text, QStringLiteral("SN-4711"));
    QVERIFY(instrument.IsOpen());
}

void writeBleIni(const QByteArray &content)
{
    QFile ini("BLE.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate) && ini.write(content) == content.size());
}
} // namespace

class tst_ToolComm : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        CommTiming timing;
        timing.connectPolls = 40;
        timing.connectPollMs = 50; // a loaded machine may take a while to open a port in its thread
        timing.replyPolls = 1000;
        timing.bleDiscoveryMs = 300;
        CommTiming::set(timing);
        QVERIFY(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
    }

    void cleanupTestCase() { CommTiming::reset(); }

    // Open, exchange, close and reopen; opening while open moves to the new peer and closes the old
    // connection; the peer hanging up ends the connection; destroying an open instrument ends its
    // thread and frees the transport.
    void tcp()
    {
        QTcpServer server, other;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0) && other.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket *> accepted;
        QList<Peer *> peers;
        for (QTcpServer *listener : {&server, &other}) {
            connect(listener, &QTcpServer::newConnection, this, [listener, &accepted, &peers]() {
                while (QTcpSocket *socket = listener->nextPendingConnection()) {
                    accepted.append(socket);
                    peers.append(new Peer(socket));
                }
            });
        }
        const auto port = [](const QTcpServer &s) { return QString::number(s.serverPort()); };
        auto instrument = std::make_unique<LineInstrument>();
        QVERIFY(instrument->Comm()->thread() != QThread::currentThread());
        QString text;
        QVERIFY(openInWorker(*instrument, ToolComm::TcpText, "127.0.0.1", port(server), text));
        QCOMPARE(text, QStringLiteral("SN-4711"));
        QVERIFY(instrument->IsOpen() && instrument->Comm()->ConnectionType() == ToolComm::Type::Tcp);
        QCOMPARE(accepted.size(), 1);

        exchangeCloseReopen(*instrument, accepted.first(), *peers.first());
        QTRY_COMPARE(accepted.first()->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(accepted.size(), 2);
        text.clear();
        QVERIFY(openInWorker(*instrument, ToolComm::TcpText, "127.0.0.1", port(other), text));
        QCOMPARE(text + " " + instrument->LastSignal2(), "SN-4711 " + port(other));
        QTRY_COMPARE(accepted.at(1)->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(accepted.size(), 3);
        accepted.last()->close(); // the instrument hangs up
        QTRY_VERIFY(!instrument->IsOpen());

        QVERIFY(openInWorker(*instrument, ToolComm::TcpText, "127.0.0.1", port(server), text));
        QPointer<ToolComm> comm = instrument->Comm();
        QPointer<QThread> thread = comm->thread();
        QVERIFY(thread->isRunning());
        instrument.reset();
        QVERIFY(comm.isNull() && thread.isNull());
        QTRY_COMPARE(accepted.last()->state(), QAbstractSocket::UnconnectedState);
        qDeleteAll(peers);
    }

    // A refused connection fails within the poll budget; a missing port or a baud rate that is
    // no number fails too.
    void openFailures()
    {
        LineInstrument instrument;
        QString text;
        QElapsedTimer clock;
        clock.start();
        quint16 unused = 0;
        {
            QTcpServer probe;
            unused = probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
        }
        QVERIFY(!openInWorker(instrument, ToolComm::TcpText, "127.0.0.1", QString::number(unused), text));
        const CommTiming timing = CommTiming::get();
        QVERIFY2(clock.elapsed() < timing.connectPolls * timing.connectPollMs + 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(text, QStringLiteral("Open Error"));

        // A port above 65535 is refused, not wrapped round to the listening port it names modulo 65536.
        QTcpServer listening;
        QVERIFY(listening.listen(QHostAddress::LocalHost, 0));
        text.clear();
        QVERIFY(!openInWorker(instrument, ToolComm::TcpText, "127.0.0.1", QString::number(listening.serverPort() + 65536), text));
        QCOMPARE(text, QStringLiteral("Open Error"));
        QVERIFY2(!listening.hasPendingConnections() && !listening.waitForNewConnection(0), "connected to the wrapped port");

        text.clear();
        QVERIFY(!openInWorker(instrument, ToolComm::SerialText, m_dir.filePath("no-such-port"), "9600", text));
        QCOMPARE(text, QStringLiteral("Open Error"));
        SocatPtyPair pty;
        QVERIFY(pty.start());
        QVERIFY(!openInWorker(instrument, ToolComm::SerialText, pty.first(), "fast", text));
        QVERIFY(!instrument.IsOpen());
    }

    void serialOverPseudoTerminal()
    {
        SocatPtyPair pty;
        QVERIFY(pty.start());
        QSerialPort peerPort;
        peerPort.setPortName(pty.second());
        peerPort.setBaudRate(9600);
        QVERIFY2(peerPort.open(QIODevice::ReadWrite), qPrintable(peerPort.errorString()));
        Peer peer(&peerPort);

        LineInstrument instrument;
        QString text;
        QVERIFY(openInWorker(instrument, ToolComm::SerialText, pty.first(), "9600", text));
        QCOMPARE(text, QStringLiteral("SN-4711"));
        QCOMPARE(instrument.Comm()->ConnectionType(), ToolComm::Type::Serial);

        exchangeCloseReopen(instrument, &peerPort, peer);
        pty.stop(); // the link vanishes (the adapter is pulled)
        QTRY_VERIFY(!instrument.IsOpen());
        QVERIFY(closeInWorker(instrument));
    }

    void bluetoothWithoutAdapterNeverHangs()
    {
        // The stored name is plain text, whatever it looks like (no serialised value is decoded).
        const QByteArray crafted = "@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)";
        writeBleIni("[Config]\nName=" + crafted + "\n");
        QCOMPARE(ToolComm::BleConfigName(), QString::fromLatin1(crafted));
        if (!QBluetoothLocalDevice::allDevices().isEmpty())
            QSKIP("this machine has a Bluetooth adapter");
        QFile::remove("BLE.ini");
        ToolComm comm;
        QVERIFY(comm.BleStartSearch().isEmpty());
        // No search, no names: the stored name is not offered without a radio to reach it.
        writeBleIni("[Config]\r\nName = P710W-温度\r\n");
        QCOMPARE(ToolComm::BleConfigName(), QStringLiteral("P710W-温度"));
        QVERIFY(comm.BleStartSearch().isEmpty());

        // Opening searches for the device, finds nothing and fails within the poll budget.
        LineInstrument instrument;
        QString text;
        QVERIFY(!openInWorker(instrument, ToolComm::BleText, QString(), QString(), text));
        QCOMPARE(text, QStringLiteral("Open Error"));
        QVERIFY(!instrument.IsOpen());
        QFile::remove("BLE.ini");
    }

    // Writes go out whole in chunks the link takes, a short one included; values come in; a lost
    // link closes the connection.
    void bluetoothLinkChunksWritesAndEndsWhenLost()
    {
        ToolComm comm;
        auto *link = new FakeBleLink;
        comm.AttachBle(link);
        QVERIFY(comm.IsConnected());
        for (const int size : {1, BleLink::ChunkSize, 2 * BleLink::ChunkSize + 5}) {
            link->Chunks.clear();
            QByteArray data;
            for (int i = 0; i < size; ++i)
                data.append(char(i));
            comm.Write_slots(data);
            QCOMPARE(link->Chunks.join(), data);
            for (const QByteArray &chunk : qAsConst(link->Chunks))
                QVERIFY(!chunk.isEmpty() && chunk.size() <= BleLink::ChunkSize);
        }
        emit link->Received("\x10\x20");
        QCOMPARE(comm.TakeBuffer(), QByteArray("\x10\x20"));
        emit link->Lost();
        QVERIFY(!comm.IsConnected());
    }
};

QTEST_GUILESS_MAIN(tst_ToolComm)
#include "tst_ToolComm.moc"
