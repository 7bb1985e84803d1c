#pragma once

#include "comm/CommLink.h"
#include "comm/Device.h"
#include "comm/Struct_Channel.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class ToolComm;

// Base of every acquisition driver. It owns the transport (a ToolComm in a thread of its own,
// see CommLink) and offers the operations that the acquisition run, the record-file import and
// the calibration call. The base bodies are those of an instrument that supports none of them:
// they fail (return false) except WriteOneScan, which has nothing to trigger, and
// GetEnabledChannels and getOneData, which work on the driver's channel records and scans.
//
// All operations block the calling thread; callers run them from worker threads and drive one
// driver from one thread at a time. A driver object is owned by whoever asked the factory for it.
class Collection : public Device
{
    Q_OBJECT
public:
    explicit Collection(QObject *parent = nullptr);
    ~Collection() override;

    // --- Connection ---------------------------------------------------------------------
    // Open stays abstract: each driver opens its transport (OpenTransport), identifies the
    // instrument and reports its serial number.
    // Asks the transport to close, then tests the open state up to 40 times 100 ms apart.
    bool Close() override;
    // The transport's connected flag.
    bool IsOpen() override;
    // Open again with the connection type, address and parameter of the last opening.
    virtual bool Reconnect(QString &text);

    // --- Channels and scans ---------------------------------------------------------------
    // Configures the channels from registered channel numbers and units; afterwards the
    // channel records hold number, enabled flag, type, function, wiring and unit.
    virtual bool GetChannelConfig(const QStringList &channels, const QStringList &units);
    // The channel records whose enabled flag is set, in channel order.
    virtual QList<Struct_Channel> GetEnabledChannels();
    // Starts continuous scanning at the given rate text.
    virtual bool StartScan(const QString &rate);
    // Triggers one scan where the instrument needs a trigger.
    virtual bool WriteOneScan();
    // The latest scan: one value per enabled channel, in the order of GetEnabledChannels.
    virtual bool ReadOneScan(QList<double> &values);

    // --- Record files -----------------------------------------------------------------------
    // Opens the instrument's record file and returns one channel record (number, unit) per
    // channel column; false when the file cannot be read as this instrument's record file.
    virtual bool OpenCSVFile(const QString &path, QList<Struct_Channel> &channels);
    // Clears values, then reads the next line: at the end of the file true with an empty list;
    // a line that does not fit false; otherwise true with the line's time and value texts.
    virtual bool GetCSVData(QDateTime &time, QStringList &values);
    // Closes the record file (also after a failed OpenCSVFile).
    virtual bool CloseCSVFile();

    // --- Channel coefficients (calibration) ---------------------------------------------------
    // Reads one channel's coefficient texts, factors and parameters into the record.
    virtual bool GetOneChannelParameter(Struct_Channel &channel);
    // Checks and writes type, function, wiring and unit of each channel; message holds the
    // reason on failure.
    virtual bool SetChannelConfig(const QList<Struct_Channel> &channels, QString &message);
    // Enables exactly the given channel numbers.
    virtual bool EnableOnlyChannels(const QList<Struct_Channel> &channels);
    // Triggers and reads one scan (WriteOneScan, then ReadOneScan).
    virtual bool getOneData(QList<double> &values);
    // Writes one channel's coefficient texts, factors and parameters.
    virtual bool SetOneChannelParameter(const Struct_Channel &channel);

    // --- Receive buffer -----------------------------------------------------------------------
    // Empties the transport's receive buffer.
    void ClearBuffer();
    // A copy of the transport's receive buffer, which keeps its content.
    QByteArray GetBuffer();

    // The connection texts of the last opening (empty before the first).
    QString LastSignalMode() const { return m_SignalMode; }
    QString LastSignal1() const { return m_Signal1; }
    QString LastSignal2() const { return m_Signal2; }

    ToolComm *Comm() const { return m_Link.Comm(); }

signals:
    void Open_signals(QString type, QString address, int parameter);
    void Write_signals(QByteArray data);
    void Close_signals();

protected:
    // Keeps the three connection texts for Reconnect.
    void RememberConnection(const QString &type, const QString &address, const QString &parameter);
    // Remembers the texts, closes a connection that is still open, asks the transport to open
    // (parameter read as a decimal integer, 0 when it is none) and tests the open state up to
    // 40 times 100 ms apart. True when the transport is connected.
    bool OpenTransport(const QString &type, const QString &address, const QString &parameter);

    // The driver's channel records, in channel order.
    QList<Struct_Channel> m_Channels;

private:
    CommLink m_Link;
    QString m_SignalMode;
    QString m_Signal1;
    QString m_Signal2;
};
