#pragma once

#include "comm/CommLink.h"
#include "comm/Device.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A temperature source: the dry-well calibrator or liquid bath whose temperature a calibration
// sets point by point. It speaks text command lines ending "\r\n" and reads reply lines ending
// "\n" over its own transport (see CommLink).
//
// Every operation blocks the calling thread (reply waits are sleeps in that thread) and is called
// from worker threads only; callers drive one source from one thread at a time, since every
// exchange starts by clearing the shared receive buffer. Destruction sends nothing: the owner
// calls Close first.
class Field : public Device
{
    Q_OBJECT
public:
    Field();
    ~Field() override;

    // The source for a source type text: "QNVA" a bath, "QNVA-R" a bath read as reference,
    // "QNLK" a dry-well, "QNLK-R" a dry-well read as reference; any other text none (nullptr).
    // The caller owns the object.
    static Field *Create(const QString &type);

    // Asks the transport to close, then tests the open state up to 40 times 100 ms apart.
    bool Close() override;
    // The transport's connected flag.
    bool IsOpen() override;

    // The source's transport (for the words of its last failure).
    ToolComm *Comm() const { return m_Link.Comm(); }

    // Copies of the model names and connection types the source offers.
    virtual QStringList GetModelList();
    virtual QStringList GetSignalModeList();
    // Identity query; id receives the instrument's identity.
    virtual bool CheckID(QString &id) = 0;
    // Set-up commands after Open.
    virtual bool Init() = 0;
    // The temperature the instrument reports; fails when no reply or no finite number comes.
    virtual bool ReadTemp(double &t) = 0;
    // Writes a set point and verifies it by reading it back.
    virtual bool SetTemp(double t) = 0;
    // Stability query.
    virtual bool IsStable(bool &stable) = 0;
    // Waits for one reply line (terminators removed).
    virtual bool ReadData(QString &line) = 0;
    // Clears the receive buffer and sends one command line; fails when the transport is closed.
    virtual bool WriteData(const QString &line);

    // The set-point text: fixed notation with two decimals ("-10.00"). False (and nothing for
    // the instrument) when t is no finite number.
    static bool SetPointText(double t, QString &text);

signals:
    void Open_signals(QString type, QString address, int parameter);
    void Write_signals(QByteArray data);
    void Close_signals();

protected:
    // Asks the transport to open (parameter read as a decimal integer, 0 when it is none), tests
    // the open state up to `polls` times and identifies the instrument whether or not it
    // connected. On success (identified and still connected) sn receives the identity; on
    // failure sn becomes "ID Error" and the transport is told to close.
    bool OpenSource(const QString &type, const QString &address, const QString &parameter, QString &sn,
                    int polls);
    // Looks at the receive buffer up to `polls` times: a buffer ending "\n" is the reply, every
    // "\r" and "\n" removed; one that holds nothing else fails at once. Clears the buffer on
    // failure.
    bool ReadLine(QString &line, int polls);
    // Reads text as a finite decimal number.
    static bool ToNumber(const QString &text, double &value);

    // Filled by the concrete source's constructor.
    QStringList m_ModelList;
    QStringList m_SignalModeList;

private:
    CommLink m_Link;
};
