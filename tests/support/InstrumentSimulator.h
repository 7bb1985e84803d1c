#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QIODevice;
class QSerialPort;
class QTcpServer;
class QTimer;

// The instrument's side of a calibration link, for tests: a dry-well or a bath answering its
// text command lines ("\r\n"-terminated commands, replies ending "\r\n"), or the reference
// thermometer streaming reading frames after its start frame. Reachable over TCP (listen) or
// over the far end of a socat pseudo-terminal pair (attach). Lives in the test's thread, so the
// code under test runs in a worker (callInWorker) while this thread answers.
//
// Default answers (dry-well): "*IDN?" -> identity, "t" and "READ?" -> temperature,
// "SOUR1:STAB:TEST?" -> stability, "s <x>" stores x, "s" -> the stored set point.
// Default answers (bath): "sn" -> "sn:" + identity, "r" -> "r: " + temperature + " C",
// "st" -> "st:" + stability, "s=<x>" stores x, "s" -> "set: " + set point + " C".
// Anything else gets no answer. Thermometer: "0405020003" starts streaming frames of
// `temperature` every streamMs (0: the test sends frames itself), "0405010101" stops it.
//
// Knobs: script() queues the next raw answers to one command (an empty answer is silence);
// silent answers nothing; delayMs sends every answer late; splitAt > 0 sends it in two chunks,
// splitGapMs apart; dropLink() closes the connection for real; dropAfter names a command whose
// answer is the last thing sent before the instrument closes its end of the link.
class InstrumentSimulator : public QObject
{
    Q_OBJECT
public:
    enum class Dialect { DryWell, Bath, Thermometer };

    explicit InstrumentSimulator(Dialect dialect, QObject *parent = nullptr);
    ~InstrumentSimulator() override;

    // Listens on 127.0.0.1, port 0; returns the port (0 on failure). The newest connection serves.
    quint16 listen();
    // Opens the given pseudo-terminal as the instrument's serial port.
    bool attach(const QString &portName);
    void dropLink();
    bool linked() const;

    // The next answers to a command (without its terminator), one per arrival, in order.
    void script(const QString &command, const QList<QByteArray> &answers);
    // Writes bytes to the link at once.
    void send(const QByteArray &bytes);
    // A reading frame of the thermometer carrying t (bytes 18 to 21, big-endian float).
    static QByteArray frame(float t);

    // Every byte received, and the text commands among them (terminators removed).
    QByteArray received;
    QStringList commands;
    bool streaming() const { return m_streaming; }

    QString identity;
    QString temperature = QStringLiteral("25.000");
    QString stability = QStringLiteral("1");
    QString setPoint = QStringLiteral("0.00");

    bool silent = false;
    int delayMs = 0;
    int splitAt = 0;
    int splitGapMs = 40;
    int streamMs = 0;
    QString dropAfter;

private:
    void adopt(QIODevice *device);
    void onReadyRead();
    void onCommand(const QString &command);
    void onFrames();
    QByteArray defaultAnswer(const QString &command);
    void answer(const QByteArray &bytes, bool drop);
    // Closes the link once what was sent has gone out.
    void hangUp();

    Dialect m_dialect;
    QTcpServer *m_server = nullptr;
    QSerialPort *m_serial = nullptr;
    QPointer<QIODevice> m_device;
    QByteArray m_pending;
    QHash<QString, QList<QByteArray>> m_script;
    QTimer *m_stream = nullptr;
    bool m_streaming = false;
};
