#pragma once

#include "calibration/Criteria.h"
#include "comm/CommLink.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

// The precision thermometer "QN P710W". After its start frame it streams 24-byte reading frames
// by itself; the object collects their temperatures as they arrive (ReadData_slots, in the
// object's thread) and hands out the newest on request (ReadTemp, in a worker thread).
//
// Command frames are hex texts: the command and its check byte (GetCheckSum). A reading frame
// starts 0x17 0x05 and carries the temperature in bytes 18 to 21 as a big-endian IEEE 754 single.
// At most 10 readings wait: an eleventh empties the list. Readings never outlive the link they
// came over: closing, reopening or losing the link empties the list.
class CriteriaP710W : public Criteria
{
    Q_OBJECT
public:
    CriteriaP710W();
    ~CriteriaP710W() override;

    // Fails at once on an open transport (sn untouched); else opens it (40 polls of the open
    // state); sn and the identity become the address. Sends nothing.
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &sn) override;
    // Stop frame (a failed write is logged and passed over), pause, then close the transport.
    bool Close() override;
    bool IsOpen() override;

    // The address of the last Open.
    bool GetID(QString &id) override;
    // Pause, then the start frame.
    bool Start() override;
    // Waits for a reading and hands out the newest, dropping the others; fails after 1000 polls
    // of 10 ms, at once when the transport is not connected, and when the newest reading is no
    // temperature (see Criteria::IsTemperature).
    bool ReadTemp(double &t) override;
    bool IsReady() override;
    // Clears the receive buffer and sends the hex text's bytes (no check byte added).
    bool WriteHex(const QString &hex) override;

    // The check byte of a command text: the XOR of its first (up to 8) bytes given as hex pairs,
    // as two lower-case hex digits.
    static QString GetCheckSum(const QString &command);

    ToolComm *Comm() const { return m_Link.Comm(); }

signals:
    void Open_signals(QString type, QString address, int parameter);
    void Write_signals(QByteArray data);
    void Close_signals();

public slots:
    // One chunk received by the transport.
    void ReadData_slots(QByteArray data);

private:
    // Empties the receive buffer and the readings.
    void Forget();

    mutable QMutex m_Mutex; // guards the fields below
    QString m_ID;
    QByteArray m_Buffer;
    QList<double> m_Readings;

    CommLink m_Link;
};
